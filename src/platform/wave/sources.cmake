# Sources of src/platform/wave: drive C:, WAV files, the waveaudio recording device and the
# sound calls.
target_sources(vorlo_platform PRIVATE
  wave/DrivePath.cpp
  wave/NullCapture.cpp
  wave/PlaySound.cpp
  wave/PulseCapture.cpp
  wave/RingSoundOutput.cpp
  wave/SndFile.cpp
  wave/SoundDevices.cpp
  wave/VolumeWords.cpp
  wave/WaveAudioDevice.cpp
  wave/WaveRecorder.cpp
  wave/WavSave.cpp
)
