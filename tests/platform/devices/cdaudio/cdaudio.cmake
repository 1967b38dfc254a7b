# The cdaudio device: time formats and ranges, generated and shared disc images, drives
# (a stalling one among them), and libcdio used from several threads.
include(${PROJECT_SOURCE_DIR}/tests/support/support.cmake)

vorlo_add_gtest(cdaudio_tests
  SOURCES devices/cdaudio/StatusResponderTest.cpp devices/cdaudio/TimeFormatTest.cpp
          devices/cdaudio/DiscImageTest.cpp devices/cdaudio/DriveTest.cpp devices/cdaudio/CdioSafetyTest.cpp
  LIBS vorlo_platform_internals vorlo_test_support)
target_compile_definitions(cdaudio_tests PRIVATE VORLO_LIBCDIO_DISCS="${PROJECT_SOURCE_DIR}/tests/data/libcdio")
