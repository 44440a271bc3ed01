# Installs the Debian packages that are missing, and only those: a second run
# finds everything in place, installs nothing and needs no network.
# Usage (sourced): ensure_packages pkg...

ensure_packages() {
  local missing=()
  local pkg
  for pkg in "$@"; do
    if [ "$(dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null)" != "install ok installed" ]; then
      missing+=("$pkg")
    fi
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  local sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# What the native build, its tests and the benchmarks need.
NATIVE_PACKAGES=(build-essential cmake libgtest-dev libgmock-dev libbenchmark-dev bc)
# The Windows cross builds and the Wine test bench.
WINDOWS_PACKAGES=(g++-mingw-w64-x86-64 g++-mingw-w64-i686 googletest wine64 xvfb xdotool
  x11-utils locales fonts-ipafont-gothic imagemagick)
# The fuzzer.
FUZZ_PACKAGES=(clang libclang-rt-14-dev)
