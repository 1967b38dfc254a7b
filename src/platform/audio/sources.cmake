# Sources of src/platform/audio: target_sources(vorlo_platform PRIVATE ...)
# Sound output: the playback engine, its reader and backends, and the libpulse and libcdio
# wrappers under them.
target_sources(vorlo_platform PRIVATE
  audio/AudioOutputs.cpp
  audio/PlaybackEngine.cpp
  audio/StreamEngine.cpp
  audio/SectorReader.cpp
  audio/SampleRing.cpp
  audio/PlayClock.cpp
  audio/NullOutput.cpp
  audio/PulseOutput.cpp
  audio/DiscSectorSource.cpp
  audio/cdio/CdioHandle.cpp
  audio/cdio/DriveState.cpp
  audio/cdio/Paranoia.cpp
  audio/pulse/Error.cpp
  audio/pulse/ThreadedMainloop.cpp
  audio/pulse/Connection.cpp
  audio/pulse/Context.cpp
  audio/pulse/Properties.cpp
  audio/pulse/Stream.cpp
)
# The program's name, icon and desktop id, which the sound server shows.
target_include_directories(vorlo_platform PRIVATE ${PROJECT_BINARY_DIR}/resources/generated)
