# Faults the service must survive: a disc that goes away during play. A stalling drive is
# among the drive tests (devices/cdaudio/cdaudio.cmake), images that cannot be read are
# refused through vorlo-mci (service/vorlo-mci-acceptance.sh), and the sound server killed
# during play is in audio/audio.cmake, with the other tests that need one.
include(${PROJECT_SOURCE_DIR}/tests/support/support.cmake)

vorlo_add_gtest(fault_tests
  SOURCES faults/DiscGoneTest.cpp
  LIBS vorlo_platform_internals vorlo_test_support)
target_include_directories(fault_tests PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
