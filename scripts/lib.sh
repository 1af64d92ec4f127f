# Shared by scripts/test, scripts/demo and .ci/run (sourced, not run).

# Debian packages the build and the tests need.
PACKAGES=(cmake ninja-build g++ libgtest-dev python3-pexpect python3-pyte python3-pytest
          python3-pytest-xdist tmux clang libclang-rt-14-dev ansible-core)
# The Win32 build under Wine: the MinGW-w64 cross compiler, GoogleTest's sources (built
# with that compiler) and Wine to run the results.
WIN32_PACKAGES=(mingw-w64 googletest wine wine64)
# Making the packages and checking them and the manual page.
PACKAGING_PACKAGES=(dpkg-dev lintian mandoc man-db unzip)

REPO_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD_DIR="$REPO_ROOT/build"
WIN32_BUILD_DIR="$REPO_ROOT/build-win32"
SANITIZE_DIR="$REPO_ROOT/build-sanitize"
JOBS="${JOBS:-2}"

# Makes sure the given Debian packages are installed. As root the missing ones are
# installed (the package lists are updated first); otherwise the one apt-get line that
# installs them is printed and the script stops.
ensure_packages() {
  local missing=() p
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  if [ "$(id -u)" -eq 0 ]; then
    echo "Installing ${missing[*]}" >&2
    DEBIAN_FRONTEND=noninteractive apt-get update -q
    DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
  else
    echo "Missing Debian packages. Install them with:" >&2
    echo "  sudo apt-get update && sudo apt-get install -y ${missing[*]}" >&2
    exit 1
  fi
}

# Configures and builds the POSIX program and the unit tests into build/.
build_posix() {
  cmake -S "$REPO_ROOT" -B "$BUILD_DIR" -G Ninja
  ninja -C "$BUILD_DIR" -j "$JOBS" "$@"
}

# The same program and unit tests, and the fuzz targets, built once with clang,
# AddressSanitizer and UndefinedBehaviorSanitizer into build-sanitize/. Any report stops
# the process that made it. Arguments: the targets to build (default all).
build_sanitize() {
  cmake -S "$REPO_ROOT" -B "$SANITIZE_DIR" -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DZOR_FUZZ=ON \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  ninja -C "$SANITIZE_DIR" -j "$JOBS" "$@"
}
export ASAN_OPTIONS="${ASAN_OPTIONS:-halt_on_error=1:detect_leaks=1:detect_stack_use_after_return=1:check_initialization_order=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-halt_on_error=1:print_stacktrace=1}"

# --- Win32 build under Wine ------------------------------------------------------------

# Cross-builds zorsetup.exe and the unit tests with MinGW-w64 into build-win32/.
build_win32() {
  local toolchain=(-DCMAKE_TOOLCHAIN_FILE="$REPO_ROOT/cmake/mingw-w64.cmake")
  [ -f "$WIN32_BUILD_DIR/CMakeCache.txt" ] && toolchain=()  # a configured folder keeps its own
  cmake -S "$REPO_ROOT" -B "$WIN32_BUILD_DIR" -G Ninja "${toolchain[@]}"
  ninja -C "$WIN32_BUILD_DIR" -j "$JOBS" "$@"
}

# Makes a throwaway Wine prefix for this run and exports it as ZOR_WINEPREFIX (the
# end-to-end tests take it over); wine_prefix_remove takes it away again. Wine's first
# start in a prefix takes a while, so it is done once.
wine_prefix_make() {
  ZOR_WINEPREFIX="$(mktemp -d "${TMPDIR:-/tmp}/zorsetup-wine-XXXXXX")"
  export ZOR_WINEPREFIX
  if ! (export WINEPREFIX="$ZOR_WINEPREFIX" WINEDEBUG=-all; unset DISPLAY
         wineserver -p && wine wineboot -i) >"$ZOR_WINEPREFIX.log" 2>&1; then
    echo "Wine could not set up its prefix:" >&2
    cat "$ZOR_WINEPREFIX.log" >&2
    rm -f "$ZOR_WINEPREFIX.log"
    return 1
  fi
  rm -f "$ZOR_WINEPREFIX.log"
}

wine_prefix_remove() {
  [ -n "${ZOR_WINEPREFIX:-}" ] || return 0
  WINEPREFIX="$ZOR_WINEPREFIX" wineserver -k >/dev/null 2>&1 || true
  rm -rf "$ZOR_WINEPREFIX"
  unset ZOR_WINEPREFIX
}

# The unit tests of the Win32 build, in one run of the test program under Wine.
test_win32_units() {
  (cd "$WIN32_BUILD_DIR" && WINEPREFIX="$ZOR_WINEPREFIX" WINEDEBUG=-all DISPLAY= \
     wine ./zorsetup_tests.exe --gtest_brief=1)
}

# --- Packages ---------------------------------------------------------------------------

# Makes the packages (scripts/package) and checks them: lintian finds no error in the
# Debian package; its program, unpacked into a throwaway root, gives the package's version;
# the zip holds zorsetup.exe and the README; the manual pages pass mandoc's lint, man finds
# the German one for German, and it is in step with the English one. With CI=true as root
# the package is also installed for real, tried and removed again.
test_packages() {
  "$REPO_ROOT/scripts/package"
  local deb zip version root lint
  deb="$(echo "$REPO_ROOT"/dist/zorsetup_*.deb)"
  zip="$(echo "$REPO_ROOT"/dist/zorsetup-*-win64.zip)"
  version="$(dpkg-deb -f "$deb" Version)"

  echo "== lintian $(basename "$deb")"
  lintian --fail-on error "$deb" 2>&1 | sed '/running with root privileges/d' || return 1

  root="$(mktemp -d "${TMPDIR:-/tmp}/zorsetup-deb-XXXXXX")"
  (set -e; trap 'rm -rf "$root"' EXIT
   dpkg-deb -x "$deb" "$root"
   _expect_version "$root/usr/bin/zorsetup" "$version"
   man -l "$root/usr/share/man/man1/zorsetup.1.gz" >/dev/null
   german="$(MANPATH="$root/usr/share/man" man -L de -w zorsetup)"
   [ "$german" = "$root/usr/share/man/de/man1/zorsetup.1.gz" ] || { echo "man -L de finds $german" >&2; exit 1; }
   man -l "$german" >/dev/null)

  local listed expected="zorsetup-$version-win64/README.md
zorsetup-$version-win64/zorsetup.exe"
  listed="$(unzip -Z1 "$zip" | sort)"
  if [ "$listed" != "$expected" ]; then
    printf '%s holds:\n%s\nnot:\n%s\n' "$zip" "$listed" "$expected" >&2
    return 1
  fi

  local page
  for page in zorsetup.1 zorsetup.de.1; do
    echo "== mandoc -T lint docs/$page"
    if ! lint="$(mandoc -T lint -W style "$REPO_ROOT/docs/$page" 2>&1)" || [ -n "$lint" ]; then
      echo "$lint" >&2
      return 1
    fi
  done
  echo "== docs/zorsetup.de.1 in step with docs/zorsetup.1"
  if ! diff <(_man_outline "$REPO_ROOT/docs/zorsetup.1") <(_man_outline "$REPO_ROOT/docs/zorsetup.de.1") >&2; then
    echo "the German manual page names other options, settings or keys, or has other sections or entries" >&2
    return 1
  fi

  if [ "${CI:-}" = true ] && [ "$(id -u)" -eq 0 ]; then
    dpkg -i "$deb"
    _expect_version zorsetup "$version"
    man -w zorsetup >/dev/null
    dpkg -r zorsetup
  fi
  echo "packages checked: $(basename "$deb") $(basename "$zip")"
}

# What the two manual pages must share: the number of sections and of entries, and every
# name with a dash in it (options, settings, the keys of --check).
_man_outline() {
  echo "sections $(grep -c '^\.SH' "$1"), entries $(grep -c '^\.T[PQ]' "$1")"
  grep -v '^\.\\"' "$1" | grep -oE '(\\-)+[a-z]+(\\-[a-z]+)*|[a-z]+(\\-[a-z]+)+' | sort -u
}

# Fails unless the program says it is the given version.
_expect_version() {
  local said
  said="$("$1" --version)"
  [ "$said" = "zorsetup $2" ] || { echo "$1 --version: '$said', not 'zorsetup $2'" >&2; return 1; }
}
