# Sources of src/platform/lib: one thin RAII wrapper per C library (libcdio with
# cdparanoia, libpulse, libsndfile). They know nothing of media commands or of the player.
target_sources(vorlo_platform PRIVATE
  lib/cdio/CdioHandle.cpp
  lib/cdio/DriveState.cpp
  lib/cdio/Paranoia.cpp
  lib/pulse/Error.cpp
  lib/pulse/ThreadedMainloop.cpp
  lib/pulse/Connection.cpp
  lib/pulse/Context.cpp
  lib/pulse/Properties.cpp
  lib/pulse/Stream.cpp
  lib/sndfile/SndFile.cpp
)
