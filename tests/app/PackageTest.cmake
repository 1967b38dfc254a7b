# Builds the Debian package from the build folder with CPack and looks into it with
# dpkg-deb: its name, version and architecture, Depends worked out from the shared
# libraries, a changelog of the same version, and files under /usr alone, owned by root:
# both programs and their manual pages, the desktop entry, the metainfo, the icon at every
# size, the copyright file.
# cmake -DBUILD_DIR=... -DWORK_DIR=... -DCPACK=... -DVERSION=... -P PackageTest.cmake
cmake_minimum_required(VERSION 3.25)

function(fail)
  string(JOIN "" message ${ARGN})
  message(FATAL_ERROR "${message}")
endfunction()

# Runs a command that must succeed; its standard output goes to `out`.
function(run out)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE result OUTPUT_VARIABLE stdout ERROR_VARIABLE stderr)
  if(NOT result EQUAL 0)
    fail("${ARGN} (exit ${result}):\n${stdout}${stderr}")
  endif()
  set(${out} "${stdout}" PARENT_SCOPE)
endfunction()

file(REMOVE_RECURSE "${WORK_DIR}")
run(ignored ${CPACK} -G DEB -B "${WORK_DIR}" --config "${BUILD_DIR}/CPackConfig.cmake")
run(architecture dpkg --print-architecture)
string(STRIP "${architecture}" architecture)
set(deb "${WORK_DIR}/vorlo-player_${VERSION}_${architecture}.deb")
if(NOT EXISTS "${deb}")
  file(GLOB made "${WORK_DIR}/*.deb")
  fail("no ${deb}; cpack made: ${made}")
endif()

run(control dpkg-deb --field "${deb}" Package Version Architecture Section Maintainer Depends)
foreach(field "Package: vorlo-player" "Version: ${VERSION}" "Architecture: ${architecture}" "Section: sound"
              "Maintainer: [^\n]+<[^@\n]+@[^>\n]+>")
  if(NOT control MATCHES "(^|\n)${field}\n")
    fail("the control fields lack '${field}':\n${control}")
  endif()
endforeach()
# The libraries the programs link, as dpkg-shlibdeps names their packages.
foreach(library libc6 libstdc\\+\\+6 libqt6widgets6 libqt6gui6 libqt6core6 libcdio[0-9]+ libcdio-cdda[0-9]+
                libcdio-paranoia[0-9]+ libpulse0 libsndfile1)
  if(NOT control MATCHES "\nDepends: ([^\n]*, )?${library} \\(>= [^)]+\\)")
    fail("Depends lacks ${library}:\n${control}")
  endif()
endforeach()

run(listing dpkg-deb --contents "${deb}")
string(REPLACE "\n" ";" lines "${listing}")
set(paths)
foreach(line IN LISTS lines)
  if(line STREQUAL "")
    continue()
  endif()
  if(NOT line MATCHES "^[-dl][rwxs-]+ root/root +[0-9]+ [0-9-]+ [0-9:]+ (\\./[^ ]*)")
    fail("not owned by root, or not read: ${line}")
  endif()
  set(path "${CMAKE_MATCH_1}")
  if(NOT path STREQUAL "./" AND NOT path MATCHES "^\\./usr/")
    fail("outside /usr: ${path}")
  endif()
  list(APPEND paths "${path}")
endforeach()
set(share ./usr/share)
set(expected ./usr/bin/vorlo-player ./usr/bin/vorlo-mci ${share}/applications/vorlo-player.desktop
  ${share}/metainfo/com.vorloproductions.vorloplayer.metainfo.xml ${share}/icons/hicolor/scalable/apps/vorlo-player.svg
  ${share}/doc/vorlo-player/copyright ${share}/doc/vorlo-player/changelog.gz
  ${share}/man/man1/vorlo-player.1.gz ${share}/man/man1/vorlo-mci.1.gz)
foreach(size 32 48 64 128 256)
  list(APPEND expected ${share}/icons/hicolor/${size}x${size}/apps/vorlo-player.png)
endforeach()
foreach(path IN LISTS expected)
  if(NOT path IN_LIST paths)
    fail("the package lacks ${path}")
  endif()
endforeach()

# The changelog's latest entry is this version.
execute_process(COMMAND dpkg-deb --fsys-tarfile "${deb}"
                COMMAND tar -xO ${share}/doc/vorlo-player/changelog.gz
                COMMAND gzip -dc
                RESULTS_VARIABLE results OUTPUT_VARIABLE changelog)
if(NOT changelog MATCHES "^vorlo-player \\(${VERSION}\\) ")
  string(SUBSTRING "${changelog}" 0 80 head)
  fail("the changelog does not open with version ${VERSION}: '${head}' (${results})")
endif()
