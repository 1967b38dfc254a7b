# src/platform/devices: the cdaudio device over libcdio and the waveaudio (recording)
# device with drive C: and WAV files. Engine results become MCI error numbers here.
vorlo_platform_layer(devices
  SOURCES
    devices/cdaudio/CdAudioDevice.cpp
    devices/cdaudio/CdTimeFormats.cpp
    devices/cdaudio/DiscTextReply.cpp
    devices/cdaudio/CdioMedium.cpp
    devices/cdaudio/DiscLoader.cpp
    devices/cdaudio/DiscLocator.cpp
    devices/cdaudio/DiscShelf.cpp
    devices/cdaudio/DiscTransport.cpp
    devices/cdaudio/Retirer.cpp
    devices/cdaudio/SerialWorker.cpp
    devices/cdaudio/StatusResponder.cpp
    devices/cdaudio/WorkerSource.cpp
    devices/wave/DrivePath.cpp
    devices/wave/NullCapture.cpp
    devices/wave/PulseCapture.cpp
    devices/wave/RingSoundOutput.cpp
    devices/wave/SoundDevices.cpp
    devices/wave/WaveAudioDevice.cpp
    devices/wave/WaveRecorder.cpp
    devices/wave/WavSave.cpp
  LINKS vorlo_platform_audio vorlo_platform_mci)
target_link_libraries(vorlo_platform_devices PRIVATE vorlo_common)
