# src/platform/service: the command parser, the alias table, the trace and the service
# object behind the entry points. It knows devices only by their interface.
vorlo_platform_layer(service
  SOURCES
    service/AliasTable.cpp
    service/CommandParser.cpp
    service/ItemReader.cpp
    service/MciService.cpp
    service/TraceWriter.cpp
  LINKS vorlo_platform_mci)
target_link_libraries(vorlo_platform_service PRIVATE vorlo_common)
