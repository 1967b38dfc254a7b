# Faults the service must survive: a disc that goes away during play and a stalling drive.
# Images that cannot be read are refused through vorlo-mci (vorlo-mci-acceptance.sh); the
# sound server killed during play is in audio.cmake, with the other tests that need one.
include(${PROJECT_SOURCE_DIR}/tests/support/support.cmake)

vorlo_add_gtest(fault_tests
  SOURCES faults/DiscGoneTest.cpp faults/StallingDriveTest.cpp
  LIBS vorlo_platform vorlo_test_support)
target_include_directories(fault_tests PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
