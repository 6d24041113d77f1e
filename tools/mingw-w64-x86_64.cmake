# Cross-compiling for 64-bit Windows with Debian's MinGW-w64 compiler
# (package g++-mingw-w64-x86-64-posix). Used by ./test-windows:
#   cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=tools/mingw-w64-x86_64.cmake -DQUILLFORT_CORE_ONLY=ON
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(QUILLFORT_MINGW_PREFIX x86_64-w64-mingw32)
# The posix flavour: its C++ library has std::thread and std::mutex.
set(CMAKE_C_COMPILER ${QUILLFORT_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${QUILLFORT_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${QUILLFORT_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${QUILLFORT_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Everything linked in, the compiler's own runtime too, so the programs run
# without any DLL beside them.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
