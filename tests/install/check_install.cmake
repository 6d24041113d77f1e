# Installs the build into WORK/<n> as DESTDIR and checks it (cmake -P).
#   MODE=files       every prefix gets exactly the EXPECTED files (comma list,
#                    relative to the prefix); the programs carry no run path;
#                    the menu entry's program and icon are among them, each
#                    icon has the size its folder names.
#   MODE=validators  desktop-file-validate and appstreamcli validate --no-net
#                    accept the installed menu entry and AppStream file.
#   MODE=windows_resource  WINDRES compiles the generated quillfort.rc, and the
#                    result carries the icon, the names and VERSION.
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

    # The programs link only system libraries: a run path would send the
    # loader looking for Qt beside the program (or, empty, in the current
    # directory) before the system's own.
    file(GLOB programs ${root}/bin/*)
    foreach(program IN LISTS programs)
      file(READ_ELF ${program} RPATH rpath RUNPATH runpath)
      if(rpath OR runpath)
        message(FATAL_ERROR "${program} carries a run path: ${rpath}${runpath}")
      endif()
    endforeach()

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
elseif(MODE STREQUAL "windows_resource")
  if(NOT WINDRES)
    message("SKIPPED: no MinGW resource compiler (./test-windows installs it)")
  else()
    file(MAKE_DIRECTORY ${WORK})
    execute_process(COMMAND ${WINDRES} ${BUILD}/src/gui/quillfort.rc -O coff -o ${WORK}/quillfort.res
                    RESULT_VARIABLE rc ERROR_VARIABLE out)
    if(NOT rc EQUAL 0)
      message(FATAL_ERROR "windres failed:\n${out}")
    endif()
    file(READ ${WORK}/quillfort.res res HEX)
    # Each name with its value: UTF-16 (every ASCII character followed by a
    # zero byte), the name's terminating zero, padding to four bytes, the value.
    foreach(pair "ProductName=Quillfort" "FileVersion=${VERSION}" "ProductVersion=${VERSION}"
                 "LegalCopyright=Copyright (c) 2026 the Quillfort authors")
      string(REPLACE "=" ";" pair "${pair}")
      set(wide "")
      foreach(text IN LISTS pair)
        string(HEX "${text}" hex)
        string(REGEX REPLACE "(..)" "\\100" hex "${hex}")
        if(wide)
          set(wide "${wide}0000(0000)?${hex}")
        else()
          set(wide "${hex}")
        endif()
      endforeach()
      if(NOT res MATCHES "${wide}")
        message(FATAL_ERROR "the compiled resource lacks ${pair}")
      endif()
    endforeach()
    # The icon: the PNG images of quillfort.ico are in the resource.
    if(NOT res MATCHES "89504e470d0a1a0a")
      message(FATAL_ERROR "the compiled resource holds no icon image")
    endif()
  endif()
else()
  message(FATAL_ERROR "MODE must be files, validators or windows_resource")
endif()
