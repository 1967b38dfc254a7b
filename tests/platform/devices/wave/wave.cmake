# Tests for src/platform/devices/wave: drive C:, WAV files, the waveaudio device and the sound calls.
vorlo_add_gtest(wave_tests
  SOURCES devices/wave/DriveCTest.cpp devices/wave/WaveAudioTest.cpp
  LIBS vorlo_platform_internals PkgConfig::SNDFILE)

# vorlo-mci records through the private sound server that scripts/test starts. Run alone,
# so that no other test's sound reaches the null sink's monitor meanwhile.
add_test(NAME vorlo_mci_capture COMMAND ${CMAKE_CURRENT_LIST_DIR}/vorlo-mci-capture.sh $<TARGET_FILE:vorlo-mci>)
set_tests_properties(vorlo_mci_capture PROPERTIES LABELS pulse RUN_SERIAL TRUE)
