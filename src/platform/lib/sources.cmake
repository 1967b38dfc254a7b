# src/platform/lib: one thin RAII wrapper per C library (libcdio with cdparanoia, libpulse,
# libsndfile). They know nothing of media commands or of the player. Their headers show
# the libraries' own types, so the libraries are linked publicly.
vorlo_platform_layer(lib
  SOURCES
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
  LINKS Threads::Threads PkgConfig::CDIO PkgConfig::PULSE PkgConfig::SNDFILE)
target_link_libraries(vorlo_platform_lib PRIVATE vorlo_common)
# The program's name, icon and desktop id, which the sound server shows.
target_include_directories(vorlo_platform_lib PRIVATE ${PROJECT_BINARY_DIR}/resources/generated)
