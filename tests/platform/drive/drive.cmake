# The cdaudio device on a drive: the whole program runs with the simulated drive preloaded
# (tests/support/simdrive), which answers for one device node with a disc image. The tests
# share the drive's control file and log, and those that listen share the sound server's
# sink, so they run one at a time.
include(${PROJECT_SOURCE_DIR}/tests/support/support.cmake)
include(${PROJECT_SOURCE_DIR}/tests/support/simdrive/simdrive.cmake)

set(drive_dir ${CMAKE_CURRENT_BINARY_DIR}/simulated-drive)
file(MAKE_DIRECTORY ${drive_dir})
# A node no machine has, which the library makes a CD drive.
set(drive_node /dev/vorlo-simulated-cd)
add_executable(drive_tests drive/SimulatedDriveTest.cpp drive/DriveSoundTest.cpp audio/MonitorRecorder.cpp audio/SoundMatch.cpp)
target_link_libraries(drive_tests PRIVATE vorlo_platform_internals vorlo_test_support vorlo_simdrive_env PkgConfig::PULSE
  GTest::gtest GTest::gtest_main)
target_include_directories(drive_tests PRIVATE ${PROJECT_SOURCE_DIR}/tests ${CMAKE_CURRENT_SOURCE_DIR})
target_compile_definitions(drive_tests PRIVATE VORLO_DEMO_CUE="${VORLO_DEMO_CUE}" VORLO_DEMO_BIN="${VORLO_DEMO_BIN}"
  VORLO_MCI_PATH="$<TARGET_FILE:vorlo-mci>")
add_dependencies(drive_tests vorlo_demo_disc vorlo-mci)
set_target_properties(drive_tests PROPERTIES CROSSCOMPILING_EMULATOR
  "env;QT_QPA_PLATFORM=offscreen;VORLO_AUDIO=null;LD_PRELOAD=${SIMDRIVE_PRELOAD_PREFIX}$<TARGET_FILE:vorlo_simdrive>;VORLO_SIMDRIVE_DEVICE=${drive_node};VORLO_SIMDRIVE_CONTROL=${drive_dir}/control;VORLO_SIMDRIVE_LOG=${drive_dir}/drive.log;VORLO_CDROM=${drive_node}")
gtest_discover_tests(drive_tests DISCOVERY_TIMEOUT 30 NO_PRETTY_VALUES
  PROPERTIES LABELS pulse RUN_SERIAL TRUE TIMEOUT 300)
