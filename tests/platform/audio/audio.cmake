# Tests for src/platform/audio. The unit tests play to the null device; the end-to-end
# tests (label "pulse") play through the private sound server that scripts/test starts and
# record its null sink's monitor. Those run alone, so that no other sound reaches the sink.
# The sound server killed during play is among them: it runs a server of its own.
include(${PROJECT_SOURCE_DIR}/tests/support/support.cmake)
set(VORLO_DEMO_DEFINES VORLO_DEMO_CUE="${VORLO_DEMO_CUE}" VORLO_DEMO_BIN="${VORLO_DEMO_BIN}"
  VORLO_LIBCDIO_DISCS="${PROJECT_SOURCE_DIR}/tests/data/libcdio")

vorlo_add_gtest(audio_tests
  SOURCES audio/NullEngineTest.cpp
  LIBS vorlo_platform_audio)
target_compile_definitions(audio_tests PRIVATE ${VORLO_DEMO_DEFINES})
add_dependencies(audio_tests vorlo_demo_disc)

add_executable(audio_pulse_tests
  audio/SoundEndToEndTest.cpp audio/HeardPositionTest.cpp audio/ServerConnectionTest.cpp faults/ServerKilledTest.cpp
  audio/MonitorRecorder.cpp
  audio/SoundMatch.cpp)
target_link_libraries(audio_pulse_tests PRIVATE vorlo_platform_internals vorlo_test_support PkgConfig::PULSE
  GTest::gtest GTest::gtest_main)
target_include_directories(audio_pulse_tests PRIVATE ${PROJECT_SOURCE_DIR}/tests ${CMAKE_CURRENT_SOURCE_DIR})
target_compile_definitions(audio_pulse_tests PRIVATE ${VORLO_DEMO_DEFINES}
  VORLO_MCI_PATH="$<TARGET_FILE:vorlo-mci>")
add_dependencies(audio_pulse_tests vorlo_demo_disc vorlo-mci)
gtest_discover_tests(audio_pulse_tests DISCOVERY_TIMEOUT 30 NO_PRETTY_VALUES
  PROPERTIES LABELS pulse RUN_SERIAL TRUE)
