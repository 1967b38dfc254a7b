# Sources of src/platform/wave: drive C:, WAV files, the waveaudio recording device and the
# sound calls.
target_sources(vorlo_platform PRIVATE
  wave/DrivePath.cpp
  wave/SndFile.cpp
  wave/VolumeWords.cpp
  wave/WavSave.cpp
)
