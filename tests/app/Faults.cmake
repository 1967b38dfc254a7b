# The window on a machine without a sound server, against the real media service.
# Included from this folder's CMakeLists.txt.
include(${PROJECT_SOURCE_DIR}/tests/support/support.cmake)
vorlo_add_gtest(app_no_sound_tests
  SOURCES AppTestMain.cpp NoSoundServerTest.cpp
  LIBS vorlo_app vorlo_test_support Qt6::Test)
