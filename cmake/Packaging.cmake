# CPack: a .deb for Debian and Ubuntu, and a source archive. ./package runs it.
set(CPACK_PACKAGE_NAME quillfort)
set(CPACK_PACKAGE_VENDOR "The Quillfort authors")
set(CPACK_PACKAGE_CONTACT "The Quillfort authors")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "mission briefing editor that writes SQF scripts")
set(CPACK_PACKAGE_DESCRIPTION
    "Quillfort writes the briefing of a game mission (tasks, notes, the side and the current task) \
and saves it as an SQF script, which it also opens again for editing.")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_STRIP_FILES ON)

set(CPACK_GENERATOR DEB)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# The Qt 6 runtime packages (and the C++ runtime) come from dpkg-shlibdeps,
# which reads the libraries the executables link.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)

set(CPACK_SOURCE_GENERATOR TGZ)
set(CPACK_SOURCE_PACKAGE_FILE_NAME quillfort-${PROJECT_VERSION})
set(CPACK_SOURCE_IGNORE_FILES
    "/\\\\.git$" "/\\\\.git/" "/build$" "/build/" "/build-[^/]*" "/out/" "/_CPack_Packages/"
    "/__pycache__/" "\\\\.user$")

include(CPack)
