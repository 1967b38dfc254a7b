# src/platform/audio: the playback engine, its reader, the read-ahead ring, the play clock,
# the sector sources and the sound outputs. Its errors are its own (PlayError).
vorlo_platform_layer(audio
  SOURCES
    audio/AudioOutputs.cpp
    audio/PlaybackEngine.cpp
    audio/StreamEngine.cpp
    audio/SectorReader.cpp
    audio/SampleRing.cpp
    audio/PlayClock.cpp
    audio/NullOutput.cpp
    audio/PulseOutput.cpp
    audio/DiscSectorSource.cpp
  LINKS vorlo_platform_lib vorlo_platform_disc)
