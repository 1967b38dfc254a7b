# src/platform/mci: what the devices and the service share: the device interface, its
# requests and the MCI error numbers, with the MciError type of platform/Mci.h.
vorlo_platform_layer(mci
  SOURCES mci/MciErrors.cpp
  LINKS vorlo_platform_api)
