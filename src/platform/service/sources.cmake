# Sources of src/platform/service: the command parser, the alias table and the service
# object behind the entry points.
target_sources(vorlo_platform PRIVATE
  service/MciErrors.cpp
)
# The wave area supplies the waveaudio device; until its file exists, a stand-in does.
if(NOT EXISTS ${CMAKE_CURRENT_LIST_DIR}/../wave/WaveAudioDevice.cpp)
  target_sources(vorlo_platform PRIVATE service/WaveAudioStandIn.cpp)
endif()
