# The media service: grammar, error numbers, aliases, entry points, trace and vorlo-mci.
include(${PROJECT_SOURCE_DIR}/tests/support/support.cmake)

vorlo_add_gtest(service_tests
  SOURCES ServiceGrammarTest.cpp EntryPointTest.cpp
  LIBS vorlo_platform vorlo_test_support)

add_test(NAME vorlo_mci_acceptance
  COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/vorlo-mci-acceptance.sh $<TARGET_FILE:vorlo-mci>
          ${PROJECT_SOURCE_DIR}/tests/data/libcdio)
