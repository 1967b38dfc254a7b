# The cdaudio device: time formats and ranges, generated and shared disc images, drives.
include(${PROJECT_SOURCE_DIR}/tests/support/support.cmake)

vorlo_add_gtest(cdaudio_tests
  SOURCES TimeFormatTest.cpp DiscImageTest.cpp DriveTest.cpp CdioSafetyTest.cpp
  LIBS vorlo_platform vorlo_test_support)
