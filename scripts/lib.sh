# Shared by the scripts: paths, the build steps and the Wine environment.
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD="$ROOT/build"
# The QEMU guest's kernel, initramfs and root image (scripts/guest).
GUEST=${GUEST_DIR:-$BUILD/guest}
JOBS=${JOBS:-$(nproc)}

# build/native: the sanitizer build the tests run on. The benchmark programs are built here too,
# never run, so that a change that breaks them is seen at once (scripts/bench runs them from an
# optimised tree of their own).
configure_native() {
  cmake -S "$ROOT" -B "$BUILD/native" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DQUILLMARK_SANITIZE=ON \
    -DQUILLMARK_BENCH=ON "$@" >/dev/null
}

# build/release: the optimised program without sanitizers or tests, as it is run and installed,
# with Debian's hardening flags.
configure_release() {
  cmake -S "$ROOT" -B "$BUILD/release" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DQUILLMARK_TESTS=OFF -DQUILLMARK_HARDEN=ON "$@" >/dev/null
}

# lintian on a Debian package: prints every tag it finds, down to the pedantic and informational
# ones, and fails on any error or warning (lintian itself fails only on errors).
lint_package() {
  lintian --pedantic --display-info --fail-on error,warning "$1"
}

# hardening-check on the program as the package installs it: fortify, stack protector, PIE,
# relro, bind-now and control-flow protection must all be there.
check_package_hardening() {
  local tree status=0
  tree=$(mktemp -d)
  dpkg-deb -x "$1" "$tree"
  hardening-check "$tree/usr/bin/quillmark" || status=$?
  rm -rf "$tree"
  return $status
}

build_native() {
  configure_native
  cmake --build "$BUILD/native" -j "$JOBS"
}

# The x86_64 tree builds Brevin's benchmark as well (never run here; scripts/bench-filter runs it).
build_windows() {
  local arch
  for arch in x86_64 i686; do
    local dir="$BUILD/windows" bench=ON
    [[ $arch == i686 ]] && dir="$BUILD/windows-i686" bench=OFF
    cmake -S "$ROOT" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBREVIN_BENCH=$bench \
      -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-w64-$arch.cmake" >/dev/null
    cmake --build "$dir" -j "$JOBS"
  done
}

# Wine keeps its prefix and its sockets inside the build tree.
wine_environment() {
  export WINEPREFIX="$BUILD/windows/wineprefix"
  export WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml=;winealsa.drv=d"
  export WINEARCH=win64
  mkdir -p "$BUILD/windows/tmp"
  export TMPDIR="$BUILD/windows/tmp"
}

# Starts a persistent wineserver and boots the prefix, with the standard streams detached so no
# Wine service holds a pipe of ours open.
wine_start() {
  wine_environment
  wineserver -p </dev/null >/dev/null 2>&1
  /usr/lib/wine/wine64 wineboot -i </dev/null >/dev/null 2>&1 || true
}

wine_stop() {
  wine_environment
  wineserver -k </dev/null >/dev/null 2>&1 || true
}
