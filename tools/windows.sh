# Shared by ./test-windows and ./package windows (POSIX sh, sourced after
# tools/build.sh, from the repository's root): the project built for Windows
# against the Qt that tools/build-qt-windows makes, the DLLs the programs need
# beside them, and Wine to run them.

# quillfort_windows_qt: builds Qt for Windows the first time (about an hour;
# cached afterwards) and sets qt_windows to its prefix. QUILLFORT_QT_WINDOWS
# names another prefix instead, one that tools/build-qt-windows made.
quillfort_windows_qt() {
  qt_windows=${QUILLFORT_QT_WINDOWS:-$(./tools/build-qt-windows | tail -n 1)}
  [ -f "$qt_windows/.complete" ] || {
    echo "Qt for Windows was not built (tools/build-qt-windows)" >&2
    exit 1
  }
}

# quillfort_windows_build DIR [CMAKE OPTIONS...]: the whole project for
# Windows, Release, in DIR. Two programs run during the build, so they are
# built for this machine first, in build-windows-host: the background packer
# the build needs, and the command line, whose scripts the Windows one's must
# equal.
quillfort_windows_build() {
  windows_dir=$1
  shift
  QUILLFORT_TARGET="quillfort_pack_background quillfort-cli"
  quillfort_build build-windows-host -DCMAKE_BUILD_TYPE=Release -DQUILLFORT_TESTS=OFF
  unset QUILLFORT_TARGET
  # Release at -O2, as Qt itself is built: GCC 12's -O3 warns of overlapping
  # copies inside std::string that cannot happen (GCC bug 105329).
  quillfort_build "$windows_dir" -DCMAKE_TOOLCHAIN_FILE="$qt_windows/lib/cmake/Qt6/qt.toolchain.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_FLAGS_RELEASE="-O2 -DNDEBUG" \
    -DQUILLFORT_PACK_BACKGROUND="$(pwd)/build-windows-host/src/gui/quillfort_pack_background" "$@"
}

# quillfort_windows_runtime: the MinGW runtime DLLs that the programs and Qt
# link, one path a line.
quillfort_windows_runtime() {
  for dll in libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll; do
    found=$(x86_64-w64-mingw32-g++-posix -print-file-name=$dll)
    [ -f "$found" ] || {
      echo "$dll is not where the MinGW compiler looks for it" >&2
      exit 1
    }
    readlink -f "$found"
  done
}

# quillfort_windows_path PATH: the path as Wine's programs see it (drive Z:).
quillfort_windows_path() { printf 'Z:%s' "$(readlink -m "$1")" | tr / '\\'; }

# quillfort_wine_find: sets wine to the 64-bit loader and wineserver to its
# server (Debian's "wine" asks for a 32-bit Wine besides).
quillfort_wine_find() {
  wine=""
  for candidate in /usr/lib/wine/wine64 wine64 wine; do
    if command -v "$candidate" >/dev/null 2>&1; then
      wine=$(command -v "$candidate")
      break
    fi
  done
  [ -n "$wine" ] || {
    echo "Wine is not installed." >&2
    exit 1
  }
  wineserver=$(dirname "$wine")/wineserver
  [ -x "$wineserver" ] || wineserver=$(command -v wineserver || echo true)
}

# quillfort_wine_prefix DIR: a new Wine prefix in DIR, quiet, without the Mono
# and Gecko installers or desktop menu entries, with the Windows-1252 code page
# that a C.UTF-8 locale gives. Wine draws the windows' frames and captions
# itself, as there is no window manager on Xvfb.
quillfort_wine_prefix() {
  export WINEPREFIX="$1" WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
  export LC_ALL=C.UTF-8
  rm -rf "$WINEPREFIX"
  mkdir -p "$(dirname "$WINEPREFIX")"
  "$wine" wineboot -i >"$WINEPREFIX.log" 2>&1 &&
    "$wine" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >>"$WINEPREFIX.log" 2>&1 &&
    "$wineserver" -w || {
    cat "$WINEPREFIX.log" >&2
    exit 1
  }
}

# quillfort_xvfb: an X server of our own on a free display, for Wine (which
# needs one even for Qt's offscreen platform); sets DISPLAY and xvfb_pid.
quillfort_xvfb() {
  fd_file=$(mktemp)
  Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$fd_file" >/dev/null 2>&1 &
  xvfb_pid=$!
  tries=0
  while [ ! -s "$fd_file" ] && [ $tries -lt 100 ]; do
    sleep 0.1
    tries=$((tries + 1))
  done
  [ -s "$fd_file" ] || {
    echo "Xvfb did not start" >&2
    exit 1
  }
  export DISPLAY=":$(cat "$fd_file")"
  rm -f "$fd_file"
  unset WAYLAND_DISPLAY
}
