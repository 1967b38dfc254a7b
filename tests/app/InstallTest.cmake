# Installs the built project into an empty prefix and checks what a desktop finds there:
# both programs, a desktop entry and AppStream metainfo that their validators accept, and
# the icon at 32, 48 and 64 px (palette PNGs with transparency), at 128 and 256 px (full
# colour with an alpha channel) and a scalable one.
# cmake -DBUILD_DIR=... -DPREFIX=... -DDESKTOP_FILE_VALIDATE=... -DAPPSTREAMCLI=... -P InstallTest.cmake

function(fail)
  string(JOIN "" message ${ARGN})
  message(FATAL_ERROR "${message}")
endfunction()

# Runs a validator; it must succeed and have nothing to say.
function(expect_clean tool)
  execute_process(COMMAND ${tool} ${ARGN} RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE err)
  string(STRIP "${out}${err}" said)
  if(NOT result EQUAL 0 OR (NOT said STREQUAL "" AND NOT said MATCHES "^✔ Validation was successful\\.?$"))
    fail("${tool} ${ARGN} (exit ${result}):\n${said}")
  endif()
endfunction()

# A PNG's width, height, bit depth and colour type, from its header chunk.
function(png_header file out)
  file(READ "${file}" hex OFFSET 16 LIMIT 10 HEX)
  string(SUBSTRING "${hex}" 0 8 width)
  string(SUBSTRING "${hex}" 8 8 height)
  string(SUBSTRING "${hex}" 16 2 depth)
  string(SUBSTRING "${hex}" 18 2 type)
  math(EXPR width "0x${width}")
  math(EXPR height "0x${height}")
  math(EXPR depth "0x${depth}")
  math(EXPR type "0x${type}")
  set(${out} "${width}x${height} depth ${depth} type ${type}" PARENT_SCOPE)
endfunction()

file(REMOVE_RECURSE "${PREFIX}")
execute_process(COMMAND ${CMAKE_COMMAND} --install "${BUILD_DIR}" --prefix "${PREFIX}"
                RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT result EQUAL 0)
  fail("cmake --install failed:\n${out}${err}")
endif()

foreach(program vorlo-player vorlo-mci)
  if(NOT EXISTS "${PREFIX}/bin/${program}")
    fail("bin/${program} is not installed")
  endif()
endforeach()

set(share "${PREFIX}/share")
set(desktop "${share}/applications/vorlo-player.desktop")
file(GLOB metainfo "${share}/metainfo/*.metainfo.xml")
if(NOT EXISTS "${desktop}" OR NOT metainfo)
  fail("the desktop entry or the metainfo is not installed")
endif()
expect_clean("${DESKTOP_FILE_VALIDATE}" "${desktop}")
expect_clean("${APPSTREAMCLI}" validate --no-net ${metainfo})
file(READ ${metainfo} metainfo_text)
if(NOT metainfo_text MATCHES "<project_license>GPL-3.0-or-later</project_license>")
  fail("the metainfo does not give the project's license, GPL-3.0-or-later")
endif()

# The entry names the icon and the program that the prefix holds.
file(STRINGS "${desktop}" icon_line REGEX "^Icon=")
file(STRINGS "${desktop}" exec_line REGEX "^Exec=")
string(REGEX REPLACE "^Icon=" "" icon "${icon_line}")
string(REGEX REPLACE "^Exec=([^ ]*).*" "\\1" exec "${exec_line}")
if(NOT EXISTS "${PREFIX}/bin/${exec}")
  fail("the desktop entry runs '${exec}', which is not in bin/")
endif()

# Each size of the icon is installed, as the PNG kind `type` names (colour type `code`).
function(expect_icon size code type)
  set(png "${share}/icons/hicolor/${size}x${size}/apps/${icon}.png")
  if(NOT EXISTS "${png}")
    fail("no ${size} px icon: ${png}")
  endif()
  png_header("${png}" header)
  if(NOT header STREQUAL "${size}x${size} depth 8 type ${code}")
    fail("${png} is ${header}, not a ${size} px ${type}")
  endif()
  set(png "${png}" PARENT_SCOPE)
endfunction()

foreach(size 32 48 64)
  # Colour type 3: 8-bit indices into a palette.
  expect_icon(${size} 3 "256-colour palette image")
  file(READ "${png}" bytes HEX)
  string(FIND "${bytes}" "74524e53" transparency)  # the tRNS chunk
  if(transparency EQUAL -1)
    fail("${png} has no transparent colour")
  endif()
endforeach()
foreach(size 128 256)
  # Colour type 6: red, green, blue and alpha, 8 bits each.
  expect_icon(${size} 6 "full-colour image with alpha")
endforeach()
if(NOT EXISTS "${share}/icons/hicolor/scalable/apps/${icon}.svg")
  fail("no scalable icon")
endif()
