# The player on the desktop's session bus, and its command line. Every test starts a
# private session bus of its own through dbus-run-session, so tests run side by side.
find_program(VORLO_DBUS_RUN_SESSION dbus-run-session)
find_program(VORLO_PLAYERCTL playerctl)
find_package(Qt6 REQUIRED COMPONENTS DBus)

# As vorlo_add_gtest builds a test program, but with each test (and the discovery) run
# through dbus-run-session, which the test program's emulator names before it is discovered.
add_executable(app_mpris_tests AppTestMain.cpp mpris/BusClient.h mpris/MprisTest.cpp mpris/CommandLineTest.cpp)
target_link_libraries(app_mpris_tests PRIVATE vorlo_app vorlo_test_support Qt6::Test Qt6::DBus GTest::gtest)
target_include_directories(app_mpris_tests PRIVATE ${PROJECT_SOURCE_DIR}/tests)
target_compile_definitions(app_mpris_tests PRIVATE VORLO_LIBCDIO_DISCS="${PROJECT_SOURCE_DIR}/tests/data/libcdio")
set_target_properties(app_mpris_tests PROPERTIES CROSSCOMPILING_EMULATOR
  "${VORLO_DBUS_RUN_SESSION};--;env;QT_QPA_PLATFORM=offscreen;VORLO_AUDIO=null")
gtest_discover_tests(app_mpris_tests DISCOVERY_TIMEOUT 30)

# The version as the program shows it: major, a point, and the minor in two digits.
math(EXPR vorlo_minor_tens "${PROJECT_VERSION_MINOR} / 10")
math(EXPR vorlo_minor_ones "${PROJECT_VERSION_MINOR} % 10")
add_test(NAME app_desktop_session
  COMMAND ${VORLO_DBUS_RUN_SESSION} -- bash ${CMAKE_CURRENT_SOURCE_DIR}/mpris/desktop-session.sh
    $<TARGET_FILE:vorlo-player> "${PROJECT_VERSION_MAJOR}.${vorlo_minor_tens}${vorlo_minor_ones}" "${VORLO_PLAYERCTL}")
