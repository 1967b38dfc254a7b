# Tests for src/platform/wave: drive C:, WAV files, the waveaudio device and the sound calls.
vorlo_add_gtest(wave_tests
  SOURCES wave/DrivePathTest.cpp wave/WavSaveTest.cpp wave/WaveAudioTest.cpp
  LIBS vorlo_platform PkgConfig::SNDFILE)

# Through the private sound server that scripts/test starts. Run alone, so that no other
# test's sound reaches the null sink's monitor meanwhile.
add_executable(wave_pulse_tests wave/WaveAcceptanceTest.cpp)
target_link_libraries(wave_pulse_tests PRIVATE vorlo_platform PkgConfig::SNDFILE GTest::gtest GTest::gtest_main)
target_include_directories(wave_pulse_tests PRIVATE ${PROJECT_SOURCE_DIR}/tests)
target_compile_definitions(wave_pulse_tests PRIVATE VORLO_MCI_PATH="$<TARGET_FILE:vorlo-mci>")
add_dependencies(wave_pulse_tests vorlo-mci)
gtest_discover_tests(wave_pulse_tests DISCOVERY_TIMEOUT 30
  PROPERTIES LABELS pulse RUN_SERIAL TRUE)
