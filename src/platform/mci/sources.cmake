# Sources of src/platform/mci: what the devices and the service share: the device
# interface, its requests and the MCI error numbers.
target_sources(vorlo_platform PRIVATE
  mci/MciErrors.cpp
)
