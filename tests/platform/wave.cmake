# Tests for src/platform/wave: drive C:, WAV files, the waveaudio device and the sound calls.
vorlo_add_gtest(wave_tests
  SOURCES wave/DrivePathTest.cpp wave/WavSaveTest.cpp
  LIBS vorlo_platform PkgConfig::SNDFILE)
