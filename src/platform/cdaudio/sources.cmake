# Sources of src/platform/cdaudio: the cdaudio device over libcdio.
target_sources(vorlo_platform PRIVATE
  cdaudio/CdAudioDevice.cpp
  cdaudio/CdioMedium.cpp
  cdaudio/CdTime.cpp
  cdaudio/DiscLoader.cpp
  cdaudio/DiscLocator.cpp
  cdaudio/DiscText.cpp
  cdaudio/DiscToc.cpp
  cdaudio/DiscTransport.cpp
  cdaudio/Retirer.cpp
  cdaudio/SerialWorker.cpp
  cdaudio/StatusResponder.cpp
  cdaudio/WorkerSource.cpp
)
