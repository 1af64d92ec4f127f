# Shared by scripts/test, scripts/demo and .ci/run (sourced, not run).

# Debian packages the build and the tests need.
PACKAGES=(cmake ninja-build g++ libgtest-dev python3-pexpect python3-pyte python3-pytest tmux)
# The Win32 build under Wine adds its packages here (MinGW-w64 cross compiler, wine).
WIN32_PACKAGES=()

REPO_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD_DIR="$REPO_ROOT/build"
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
