# Sources of src/platform/audio: the playback engine, its reader, the read-ahead ring, the
# play clock and the sound outputs.
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
)
# The program's name, icon and desktop id, which the sound server shows.
target_include_directories(vorlo_platform PRIVATE ${PROJECT_BINARY_DIR}/resources/generated)
