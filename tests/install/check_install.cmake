# Installs the build into WORK/<n> as DESTDIR and checks it (cmake -P).
#   MODE=files       every prefix gets exactly the EXPECTED files (comma list,
#                    relative to the prefix); the menu entry's program and icon
#                    are among them, each icon has the size its folder names.
#   MODE=validators  desktop-file-validate and appstreamcli validate --no-net
#                    accept the installed menu entry and AppStream file.
cmake_minimum_required(VERSION 3.22)

function(install_into destdir prefix)
  file(REMOVE_RECURSE ${destdir})
  execute_process(COMMAND ${CMAKE_COMMAND} -E env DESTDIR=${destdir}
                          ${CMAKE_COMMAND} --install ${BUILD} --prefix ${prefix}
                  RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "cmake --install --prefix ${prefix} failed:\n${out}")
  endif()
endfunction()

function(desktop_key file key out)
  file(READ ${file} content)
  string(REGEX MATCH "\n${key}=([^\n]*)" line "${content}")
  set(${out} "${CMAKE_MATCH_1}" PARENT_SCOPE)
endfunction()

set(id org.quillfort.Quillfort)

if(MODE STREQUAL "files")
  string(REPLACE "," ";" expected "${EXPECTED}")
  set(n 0)
  foreach(prefix /usr /opt/quillfort)
    math(EXPR n "${n} + 1")
    set(destdir ${WORK}/${n})
    install_into(${destdir} ${prefix})
    set(root ${destdir}${prefix})
    file(GLOB_RECURSE found LIST_DIRECTORIES false RELATIVE ${root} ${destdir}/*)
    list(SORT found)
    if(NOT found STREQUAL expected)
      file(GLOB_RECURSE all LIST_DIRECTORIES false RELATIVE ${destdir} ${destdir}/*)
      string(REPLACE ";" "\n  " all "${all}")
      string(REPLACE ";" "\n  " want "${expected}")
      message(FATAL_ERROR "prefix ${prefix}: installed\n  ${all}\nexpected under the prefix\n  ${want}")
    endif()

    set(entry ${root}/share/applications/${id}.desktop)
    desktop_key(${entry} Exec exec)
    if(NOT exec STREQUAL "quillfort" OR NOT EXISTS ${root}/bin/${exec})
      message(FATAL_ERROR "Exec=${exec}: not the installed editor, or takes a file argument")
    endif()
    desktop_key(${entry} Categories categories)
    if(NOT categories STREQUAL "Development;Game;")
      message(FATAL_ERROR "Categories=${categories}")
    endif()
    desktop_key(${entry} Icon icon)
    file(GLOB icons ${root}/share/icons/hicolor/*/apps/${icon}.png)
    list(LENGTH icons count)
    if(count EQUAL 0)
      message(FATAL_ERROR "Icon=${icon}: no such icon installed")
    endif()
    foreach(png IN LISTS icons)
      # The PNG header holds width and height as 32-bit big-endian numbers at byte 16.
      file(READ ${png} header OFFSET 16 LIMIT 8 HEX)
      string(SUBSTRING "${header}" 0 8 w)
      string(SUBSTRING "${header}" 8 8 h)
      math(EXPR w "0x${w}")
      math(EXPR h "0x${h}")
      if(NOT png MATCHES "/${w}x${h}/apps/")
        message(FATAL_ERROR "${png} is ${w} by ${h} pixels")
      endif()
    endforeach()
    file(READ ${root}/share/metainfo/${id}.metainfo.xml metainfo)
    if(NOT metainfo MATCHES "<launchable type=\"desktop-id\">${id}.desktop</launchable>")
      message(FATAL_ERROR "the AppStream file does not launch ${id}.desktop")
    endif()
  endforeach()
elseif(MODE STREQUAL "validators")
  if(NOT DESKTOP_FILE_VALIDATE OR NOT APPSTREAMCLI)
    message("SKIPPED: desktop-file-validate or appstreamcli is not installed "
            "(Debian packages desktop-file-utils, appstream)")
  else()
    install_into(${WORK} /usr)
    foreach(check
        "${DESKTOP_FILE_VALIDATE};${WORK}/usr/share/applications/${id}.desktop"
        "${APPSTREAMCLI};validate;--no-net;${WORK}/usr/share/metainfo/${id}.metainfo.xml")
      execute_process(COMMAND ${check} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
      message("${out}")
      # desktop-file-validate prints hints on success; errors are lines with "error:".
      if(NOT rc EQUAL 0 OR out MATCHES "error:")
        message(FATAL_ERROR "${check} failed (${rc})")
      endif()
    endforeach()
  endif()
else()
  message(FATAL_ERROR "MODE must be files or validators")
endif()
