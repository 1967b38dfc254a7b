# Runs after every area of src/platform has listed its sources. The service needs the
# waveaudio device (CreateWaveAudioDevice) from the wave area: where a listed source
# defines it, it is used; otherwise a stand-in is built in its place.

# vorlo_platform_defines(AREA REGEX OUT): whether a listed source under AREA/ matches REGEX.
function(vorlo_platform_defines area regex out)
  get_target_property(sources vorlo_platform SOURCES)
  set(found FALSE)
  foreach(source IN LISTS sources)
    set(path ${CMAKE_CURRENT_LIST_DIR}/../${source})
    if(source MATCHES "^${area}/.*\\.cpp$" AND EXISTS ${path})
      file(STRINGS ${path} hits REGEX "${regex}")
      if(hits)
        set(found TRUE)
      endif()
    endif()
  endforeach()
  set(${out} ${found} PARENT_SCOPE)
endfunction()

vorlo_platform_defines(wave "CreateWaveAudioDevice\\(" _vorlo_has_wave)
if(NOT _vorlo_has_wave)
  target_sources(vorlo_platform PRIVATE service/WaveAudioStandIn.cpp)
endif()
