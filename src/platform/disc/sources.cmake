# src/platform/disc: the table of contents, CD time arithmetic in sectors and CD-Text.
# Pure data and pure functions over it; it links nothing.
vorlo_platform_layer(disc
  SOURCES
    disc/CdTime.cpp
    disc/DiscToc.cpp)
