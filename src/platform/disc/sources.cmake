# Sources of src/platform/disc: the table of contents, CD time arithmetic and CD-Text.
target_sources(vorlo_platform PRIVATE
  disc/CdTime.cpp
  disc/DiscToc.cpp
)
