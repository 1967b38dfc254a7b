# The shared test helpers in tests/support: link vorlo_test_support for TestDisc.h;
# TempFolder.h is header-only. Tests and benchmarks both include this file; the first
# include defines the library.
include_guard(GLOBAL)
add_library(vorlo_test_support STATIC ${CMAKE_CURRENT_LIST_DIR}/TestDisc.cpp)
target_include_directories(vorlo_test_support PUBLIC ${PROJECT_SOURCE_DIR}/tests)
