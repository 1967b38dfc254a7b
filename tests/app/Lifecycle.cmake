# The window's dialogs and ending, the program's identity, and what `cmake --install`
# puts under a prefix. Included from this folder's CMakeLists.txt.
vorlo_add_gtest(app_lifecycle_tests
  SOURCES AppTestMain.cpp LifecycleTest.cpp
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
