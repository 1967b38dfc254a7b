# The simulated CD drive (see README.md here): the preloaded library vorlo_simdrive, its
# helper tools, and the header SimDrive.h that tells tests where they are. Tests and
# benchmarks both include this file; the first include defines the targets.
#
# The library and two tools are built without sanitizers in every build: the library is
# preloaded into programs that are not instrumented (cd-info, cd-paranoia), and into
# instrumented ones after the sanitizer's runtime (SimDrive.h's kPreload says how).
# The replaced C library functions check their pointer arguments although the C library
# declares them non-null: callers do pass null.
include_guard(GLOBAL)

pkg_check_modules(VORLO_SIMDRIVE_CDIO REQUIRED IMPORTED_TARGET libcdio)
set(simdrive_dir ${CMAKE_CURRENT_LIST_DIR})

add_library(vorlo_simdrive SHARED
  ${simdrive_dir}/log.c ${simdrive_dir}/knobs.c ${simdrive_dir}/drive.c
  ${simdrive_dir}/mmc.c ${simdrive_dir}/kernel.c ${simdrive_dir}/interpose.c)
target_compile_definitions(vorlo_simdrive PRIVATE _GNU_SOURCE _FORTIFY_SOURCE=0)
target_link_libraries(vorlo_simdrive PRIVATE PkgConfig::VORLO_SIMDRIVE_CDIO ${CMAKE_DL_LIBS} Threads::Threads m)

add_executable(vorlo-simdrive-noise-disc ${simdrive_dir}/tools/noise_disc.c)
add_executable(vorlo-simdrive-match-rip ${simdrive_dir}/tools/match_rip.c)

# Built as the build's programs are (instrumented in a sanitizer build), to read the drive.
add_executable(vorlo-simdrive-read-drive ${simdrive_dir}/tools/read_drive.c)
target_link_libraries(vorlo-simdrive-read-drive PRIVATE PkgConfig::VORLO_SIMDRIVE_CDIO)
set_target_properties(vorlo-simdrive-read-drive PROPERTIES AUTOMOC OFF)

foreach(target vorlo_simdrive vorlo-simdrive-noise-disc vorlo-simdrive-match-rip)
  set_target_properties(${target} PROPERTIES COMPILE_OPTIONS "-Wall;-Wextra;-Wno-nonnull-compare" LINK_OPTIONS "")
endforeach()

# SimDrive.h: the library's path and the LD_PRELOAD value for programs of this build.
set(SIMDRIVE_PRELOAD_PREFIX "")
if(VORLO_SANITIZE)
  # An instrumented program wants the sanitizer's runtime first among its libraries.
  execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=libasan.so
                  OUTPUT_VARIABLE simdrive_asan_runtime OUTPUT_STRIP_TRAILING_WHITESPACE)
  set(SIMDRIVE_PRELOAD_PREFIX "${simdrive_asan_runtime}:")
endif()
set(SIMDRIVE_LIBRARY "$<TARGET_FILE:vorlo_simdrive>")
configure_file(${simdrive_dir}/SimDrive.h.in ${CMAKE_BINARY_DIR}/simdrive/SimDrive.h.in @ONLY)
file(GENERATE OUTPUT ${CMAKE_BINARY_DIR}/simdrive/include/simdrive/SimDrive.h
     INPUT ${CMAKE_BINARY_DIR}/simdrive/SimDrive.h.in)
# The same for scripts: shell assignments of the library's and the noise tool's paths.
file(GENERATE OUTPUT ${CMAKE_BINARY_DIR}/simdrive/simdrive.env
     CONTENT "simdrive_library=$<TARGET_FILE:vorlo_simdrive>\nsimdrive_noise_disc=$<TARGET_FILE:vorlo-simdrive-noise-disc>\n")
add_library(vorlo_simdrive_env INTERFACE)
target_include_directories(vorlo_simdrive_env INTERFACE ${CMAKE_BINARY_DIR}/simdrive/include)
add_dependencies(vorlo_simdrive_env vorlo_simdrive vorlo-simdrive-noise-disc)

if(VORLO_BUILD_TESTS)
  # cd-info and cd-paranoia on the simulated drive agree with the disc images.
  add_test(NAME simdrive_matches_cd_tools
           COMMAND bash ${simdrive_dir}/check/check-cd-tools.sh
                   $<TARGET_FILE:vorlo_simdrive> $<TARGET_FILE:vorlo-simdrive-noise-disc>
                   $<TARGET_FILE:vorlo-simdrive-match-rip> ${PROJECT_SOURCE_DIR}/tests/data/libcdio
                   $<TARGET_FILE:vorlo-simdrive-read-drive> "${SIMDRIVE_PRELOAD_PREFIX}$<TARGET_FILE:vorlo_simdrive>")
  set_tests_properties(simdrive_matches_cd_tools PROPERTIES TIMEOUT 300)
endif()
