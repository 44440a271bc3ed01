# Installs the Debian packages that are missing, and only those: a second run
# finds everything in place, installs nothing and needs no network.
# Usage (sourced): ensure_packages pkg...
#
# Never removes or downgrades a package of the machine (--no-remove, no
# --allow-downgrades) and never skips apt's signatures or hashes.
#
# The Wine of 32-bit programs needs every i386 library at the version of its
# amd64 twin. When a mirror serves an update suite's index for i386 broken
# ("File has unexpected size ... Mirror sync in progress?"), apt offers the
# amd64 side at that suite's version and the i386 side only at the main
# suite's, and the install fails with "held broken packages". So before the
# first install of a shell, one update over both architectures (dpkg is not
# told of i386 by it) tells whether every index came; if one of a suite other
# than the main one did not, every install of the project takes the main
# suite's versions (apt-get -t CODENAME), the amd64 libraries included, so
# that the demo's packages do not pull the amd64 side ahead of the i386 one.

k726_sudo() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

# Sets k726_apt_target to () or (-t CODENAME); runs once per shell.
k726_choose_suite() {
  [ -n "${k726_suite_chosen:-}" ] && return 0
  k726_suite_chosen=1
  k726_apt_target=()
  local codename log failed
  codename=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
  log=$(mktemp /tmp/k726-apt-update.XXXXXX)
  k726_sudo apt-get update -o APT::Architectures::=amd64 -o APT::Architectures::=i386 >"$log" 2>&1 ||
    echo "apt-get update reported errors; installing from the lists it has"
  # "E: Failed to fetch http://…/dists/bookworm-security/main/binary-i386/Packages.xz  File has …"
  failed=$(sed -n 's|^[EW]: Failed to fetch .*/dists/\([^/]*\)/.*|\1|p' "$log" | sort -u | tr '\n' ' ')
  rm -f "$log"
  [ -n "$failed" ] || return 0
  if [ -n "$codename" ] && ! grep -qx "$codename" <<<"${failed// /$'\n'}"; then
    k726_apt_target=(-t "$codename")
    echo "The mirror's index of ${failed% } cannot be had now: installing from $codename alone"
  else
    echo "The mirror's index of ${failed% } cannot be had now; installing from the lists apt has"
  fi
}

# Whether this machine runs 32-bit x86 programs. Some kernels and sandboxes
# keep the 32-bit emulation off ("Exec format error"); there the 32-bit Wine
# cannot start anything, and Debian's `wine` would prefer it once installed.
# Asked once per shell of a 93-byte static i386 program that only exits.
k726_runs_i386() {
  if [ -z "${k726_i386_answer:-}" ]; then
    local probe
    probe=$(mktemp /tmp/k726-i386.XXXXXX)
    printf '%b' '\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00' \
      '\x01\x00\x00\x00\x54\x80\x04\x08\x34\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00' \
      '\x34\x00\x20\x00\x01\x00\x00\x00\x00\x00\x00\x00\x01\x00\x00\x00\x00\x00\x00\x00' \
      '\x00\x80\x04\x08\x00\x80\x04\x08\x5d\x00\x00\x00\x5d\x00\x00\x00\x05\x00\x00\x00' \
      '\x00\x10\x00\x00\xb8\x01\x00\x00\x00\x31\xdb\xcd\x80' >"$probe"
    chmod +x "$probe"
    if "$probe" 2>/dev/null; then k726_i386_answer=yes; else k726_i386_answer=no; fi
    rm -f "$probe"
  fi
  [ "$k726_i386_answer" = yes ]
}

ensure_packages() {
  local missing=()
  local pkg
  for pkg in "$@"; do
    case "$pkg" in
      *:i386)
        if ! k726_runs_i386; then
          [ -n "${k726_i386_told:-}" ] ||
            echo "This machine runs no 32-bit programs (its kernel's 32-bit emulation is off): leaving out $pkg"
          k726_i386_told=1
          continue
        fi
        ;;
    esac
    if [ "$(dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null)" != "install ok installed" ]; then
      missing+=("$pkg")
    fi
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  k726_choose_suite
  case " ${missing[*]}" in *:i386*) ensure_i386_architecture ;; esac
  echo "Installing: ${missing[*]}"
  local log
  log=$(mktemp /tmp/k726-apt-install.XXXXXX)
  if DEBIAN_FRONTEND=noninteractive k726_sudo apt-get install -y -qq --no-install-recommends \
    --no-remove "${k726_apt_target[@]}" "${missing[@]}" >"$log" 2>&1; then
    rm -f "$log"
    return 0
  fi
  # One line: what could not be installed, the packages apt held back, and why.
  local held reason
  held=$(sed -n 's/^ *\([^ ]*\) : Depends: \([^ ]*\).*/\2/p' "$log" | sort -u | tr '\n' ' ')
  reason=$(grep -m1 '^E: ' "$log" | sed 's/^E: //')
  echo "Could not install ${missing[*]}: ${reason:-apt-get failed}${held:+ (held back: ${held% })}; see $log" >&2
  return 1
}

# The Wine of 32-bit programs comes from the i386 architecture; the lists of
# that architecture were fetched by k726_choose_suite's update.
ensure_i386_architecture() {
  dpkg --print-foreign-architectures | grep -qx i386 && return 0
  echo "Adding the i386 architecture (for wine32:i386)"
  k726_sudo dpkg --add-architecture i386
}

# What the demo, the native build, its tests and the benchmarks need; python3,
# ImageMagick and IPA Gothic draw the demo's pictures, which a native test
# draws too.
NATIVE_PACKAGES=(build-essential cmake libgtest-dev libgmock-dev libbenchmark-dev bc time
  python3 imagemagick fonts-ipafont-gothic)
# The Windows cross builds and the Wine test bench (wine brings the wine and
# wineserver commands; wine64 and wine32:i386 run the 64- and 32-bit programs;
# fonts-wine brings Marlett, which draws the caption buttons), and the release
# packages (git clones HEAD to rebuild the exes and compare).
WINE_PACKAGES=(wine wine64 wine32:i386 fonts-wine xvfb xdotool x11-utils locales
  fonts-ipafont-gothic python3-fonttools imagemagick)
WINDOWS_PACKAGES=(g++-mingw-w64-x86-64 g++-mingw-w64-i686 googletest "${WINE_PACKAGES[@]}"
  zip unzip git)
# The fuzzer and the format check.
FUZZ_PACKAGES=(clang libclang-rt-14-dev)
CHECK_PACKAGES=(clang-format)
