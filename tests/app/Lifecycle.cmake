# The window's lifecycle and dialogs, the program's identity, and what `cmake --install`
# puts under a prefix. Included from this folder's CMakeLists.txt.
vorlo_add_gtest(app_lifecycle_tests
  SOURCES LifecycleTest.cpp IdentityTest.cpp
  LIBS vorlo_app Qt6::Test)
# Runs on the X server that scripts/test starts, and is skipped without one.
vorlo_add_gtest(app_screen_tests
  SOURCES LifecycleScreenTest.cpp
  LIBS vorlo_app Qt6::Test)

find_program(VORLO_DESKTOP_FILE_VALIDATE desktop-file-validate)
find_program(VORLO_APPSTREAMCLI appstreamcli)
add_test(NAME app_install
  COMMAND ${CMAKE_COMMAND}
    -DBUILD_DIR=${PROJECT_BINARY_DIR}
    -DPREFIX=${CMAKE_CURRENT_BINARY_DIR}/install-test
    -DDESKTOP_FILE_VALIDATE=${VORLO_DESKTOP_FILE_VALIDATE}
    -DAPPSTREAMCLI=${VORLO_APPSTREAMCLI}
    -P ${CMAKE_CURRENT_SOURCE_DIR}/InstallTest.cmake)
