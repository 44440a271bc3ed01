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
  case " ${missing[*]}" in *:i386*) ensure_i386_architecture ;; esac
  echo "Installing: ${missing[*]}"
  local sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo apt-get update -qq || echo "apt-get update reported errors; installing from the lists it has"
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# The Wine of 32-bit programs comes from the i386 architecture; adding it makes
# the next apt-get update fetch that architecture's lists.
ensure_i386_architecture() {
  dpkg --print-foreign-architectures | grep -qx i386 && return 0
  echo "Adding the i386 architecture (for wine32:i386)"
  local sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo dpkg --add-architecture i386
}

# What the demo, the native build, its tests and the benchmarks need.
NATIVE_PACKAGES=(build-essential cmake libgtest-dev libgmock-dev libbenchmark-dev bc time)
# The Windows cross builds and the Wine test bench (wine brings the wine and
# wineserver commands; wine64 and wine32:i386 run the 64- and 32-bit programs).
WINDOWS_PACKAGES=(g++-mingw-w64-x86-64 g++-mingw-w64-i686 googletest wine wine64 wine32:i386
  xvfb xdotool x11-utils locales fonts-ipafont-gothic python3-fonttools imagemagick zip unzip)
# The fuzzer and the format check.
FUZZ_PACKAGES=(clang libclang-rt-14-dev)
CHECK_PACKAGES=(clang-format)
