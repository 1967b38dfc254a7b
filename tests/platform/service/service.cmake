# The media service: grammar, error numbers, aliases, entry points, trace and vorlo-mci.
include(${PROJECT_SOURCE_DIR}/tests/support/support.cmake)

vorlo_add_gtest(service_tests
  SOURCES service/ServiceGrammarTest.cpp service/EntryPointTest.cpp
  LIBS vorlo_platform_internals vorlo_test_support)

add_test(NAME vorlo_mci_acceptance
  COMMAND ${CMAKE_CURRENT_LIST_DIR}/vorlo-mci-acceptance.sh $<TARGET_FILE:vorlo-mci>
          ${PROJECT_SOURCE_DIR}/tests/data/libcdio)
