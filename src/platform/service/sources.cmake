# Sources of src/platform/service: the command parser, the alias table and the service
# object behind the entry points.
target_sources(vorlo_platform PRIVATE
  service/AliasTable.cpp
  service/CommandParser.cpp
  service/ItemReader.cpp
  service/MciService.cpp
  service/TraceWriter.cpp
)
