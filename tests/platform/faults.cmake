# Faults the service must survive: a disc that goes away during play, a stalling drive,
# images that cannot be read. (The sound server killed during play is in audio.cmake,
# with the other tests that need one.)
include(${PROJECT_SOURCE_DIR}/tests/support/support.cmake)

vorlo_add_gtest(fault_tests
  SOURCES faults/DiscGoneTest.cpp faults/StallingDriveTest.cpp faults/BadInputTest.cpp
  LIBS vorlo_platform vorlo_test_support)
target_include_directories(fault_tests PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
