# Faults the service must survive: a disc that goes away during play, a stalling drive,
# images that cannot be read; and, through the sound server (label "pulse"), a server
# killed during play and what a drive with simulated read faults sounds like.
include(${PROJECT_SOURCE_DIR}/tests/support/support.cmake)

vorlo_add_gtest(fault_tests
  SOURCES faults/DiscGoneTest.cpp faults/StallingDriveTest.cpp faults/BadInputTest.cpp
  LIBS vorlo_platform vorlo_test_support)
target_include_directories(fault_tests PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})

add_executable(fault_pulse_tests
  faults/ServerKilledTest.cpp faults/HeardReadFaultTest.cpp
  audio/MonitorRecorder.cpp audio/SoundMatch.cpp audio/PrivateServer.cpp)
target_link_libraries(fault_pulse_tests PRIVATE vorlo_platform PkgConfig::PULSE GTest::gtest GTest::gtest_main)
target_include_directories(fault_pulse_tests PRIVATE ${PROJECT_SOURCE_DIR}/tests ${CMAKE_CURRENT_SOURCE_DIR})
target_compile_definitions(fault_pulse_tests PRIVATE VORLO_DEMO_CUE="${VORLO_DEMO_CUE}" VORLO_DEMO_BIN="${VORLO_DEMO_BIN}")
add_dependencies(fault_pulse_tests vorlo_demo_disc)
gtest_discover_tests(fault_pulse_tests DISCOVERY_TIMEOUT 30
  PROPERTIES LABELS pulse RUN_SERIAL TRUE)
