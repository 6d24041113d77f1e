# Shared by ./run and ./test (POSIX sh, sourced): install what is missing,
# then configure and build incrementally.

# Debian and Ubuntu packages the build needs. fonts-dejavu-core gives the
# headless tests a font to lay text out with.
# desktop-file-utils and appstream check the menu entry and the AppStream file.
QUILLFORT_PACKAGES="cmake make g++ qt6-base-dev googletest fonts-dejavu-core desktop-file-utils appstream"

# quillfort_install [--no-install-recommends] PACKAGE...
# Installs the named packages that are not installed yet, saying which.
quillfort_install() {
  options=""
  if [ "${1:-}" = --no-install-recommends ]; then
    options=$1
    shift
  fi
  missing=""
  for package in "$@"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
      missing="$missing $package"
    fi
  done
  [ -z "$missing" ] && return 0
  if ! command -v apt-get >/dev/null 2>&1; then
    echo "Missing packages:$missing. Install them (or Qt 6 and CMake by hand, see README.md)." >&2
    exit 1
  fi
  echo "Installing the missing packages:$missing"
  if [ "$(id -u)" -eq 0 ]; then sudo=""; else sudo="sudo"; fi
  $sudo apt-get update -qq
  $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq $options $missing
}

# quillfort_build DIR [CMAKE OPTIONS...]: configure (again, cheaply) and build
# only the target named in QUILLFORT_TARGET if set (./run: the editor).
quillfort_build() {
  dir=$1
  shift
  # Warnings are errors in CI; a newer compiler elsewhere may warn about new things.
  if [ -n "${CI:-}" ]; then werror=ON; else werror=OFF; fi
  mkdir -p "$dir"
  cmake -S . -B "$dir" -DQUILLFORT_WERROR=$werror "$@" >"$dir/configure.log" 2>&1 || {
    cat "$dir/configure.log" >&2
    exit 1
  }
  cmake --build "$dir" ${QUILLFORT_TARGET:+--target $QUILLFORT_TARGET} -j "$(nproc 2>/dev/null || echo 2)"
}
