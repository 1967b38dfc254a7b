# Sources of src/platform/tools: the vorlo-mci command-line front end.
add_executable(vorlo-mci tools/vorlo-mci.cpp)
target_link_libraries(vorlo-mci PRIVATE vorlo_platform_internals)
install(TARGETS vorlo-mci RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
