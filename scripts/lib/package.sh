# The release packages of the Windows program (sourced from the repository's
# root; scripts/package calls it):
#
#   k726_build_packages   dist/k726-VERSION-win64.zip, dist/k726-VERSION-win32.zip
#                         and dist/SHA256SUMS
#   k726_check_packages   the packages hold the tested k726.exe byte for byte,
#                         stripped, with the version; a readme in code page
#                         932 with CR LF; sums that verify; and a clean clone
#                         of HEAD at another path, built again, gives the
#                         same k726.exe, so anyone can reproduce the sums
#
# Each zip holds one folder k726-VERSION-winNN with k726.exe as the mingw64 or
# mingw32 Release build left it, README.txt and SHA256SUMS.txt. VERSION is
# the CMake project version, which also goes into the version resource and
# the manifest. Entries carry the last commit's time (or SOURCE_DATE_EPOCH)
# and fixed modes, so the same build gives the same zips whatever the umask.

# preset:package suffix:MinGW machine
k726_package_targets=(mingw64:win64:x86_64 mingw32:win32:i686)

k726_package_version() {
  sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "build/$1/CMakeCache.txt"
}

k726_package_exe() { echo "build/$1/platform/win32/k726.exe"; }

# The commit the packages are built from, for the readme; a tree with
# changes not committed says so, since no clone can rebuild that exe.
k726_package_commit() {
  local commit
  commit=$(git rev-parse HEAD 2>/dev/null) || { echo "(not a git clone)"; return; }
  git diff --quiet HEAD -- 2>/dev/null || commit+=" (with changes not committed)"
  echo "$commit"
}

# The Debian packages whose versions decide k726.exe's bytes (compiler,
# linker, Windows headers and libraries): a rebuild matches with the same.
k726_package_toolchain() {  # MinGW machine
  local m=${1//_/-}
  dpkg-query -W -f '  ${Package} ${Version}\n' "g++-mingw-w64-$m-posix" \
    "binutils-mingw-w64-$m" "mingw-w64-$m-dev" 2>/dev/null || echo "  (a package of the tool chain is not known to dpkg)"
}

# The readme for one package: the template with the version, the machine,
# the commit and the tool chain, in code page 932 with CR LF, as Notepad on
# a Japanese Windows reads it.
k726_package_readme() {  # version, machine's words, preset, MinGW machine
  k726_package_toolchain "$4" |
    sed -e "s/@VERSION@/$1/g" -e "s/@ARCH@/$2/g" -e "s/@PRESET@/$3/g" \
      -e "s/@COMMIT@/$(k726_package_commit)/g" -e '/^@TOOLCHAIN@$/{r /dev/stdin' -e 'd}' \
      docs/package-readme.txt | iconv -f UTF-8 -t CP932 | LC_ALL=C sed -e 's/$/\r/'
}

k726_package_fail() {
  echo "package check: $zip: $*" >&2
  failed=$((failed + 1))
}

k726_build_packages() {
  local epoch target preset arch machine version="" stage name root=$PWD
  epoch=${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct 2>/dev/null || date +%s)}
  stage=$(mktemp -d /tmp/k726-package.XXXXXX) || return 1
  mkdir -p dist
  rm -f dist/k726-*-win64.zip dist/k726-*-win32.zip dist/SHA256SUMS
  local zips=()
  for target in "${k726_package_targets[@]}"; do
    IFS=: read -r preset arch machine <<<"$target"
    # Builds only what is missing: after the tests this changes nothing.
    [ -f "build/$preset/CMakeCache.txt" ] || cmake --preset "$preset" >/dev/null || return 1
    cmake --build --preset "$preset" -j2 --target k726 >/dev/null || return 1
    if [ -z "$version" ]; then
      version=$(k726_package_version "$preset")
    elif [ "$(k726_package_version "$preset")" != "$version" ]; then
      echo "package: build/$preset has version $(k726_package_version "$preset"), not $version" >&2
      return 1
    fi
    name="k726-$version-$arch"
    mkdir "$stage/$name"
    cp "$(k726_package_exe "$preset")" "$stage/$name/k726.exe"
    k726_package_readme "$version" "${arch#win}-bit Windows" "$preset" "$machine" \
      >"$stage/$name/README.txt" || return 1
    (cd "$stage/$name" && sha256sum k726.exe README.txt >SHA256SUMS.txt)
    chmod 0755 "$stage/$name/k726.exe"
    chmod 0644 "$stage/$name/README.txt" "$stage/$name/SHA256SUMS.txt"
    TZ=UTC touch -d "@$epoch" "$stage/$name" "$stage/$name"/*
    (cd "$stage" && TZ=UTC zip -X -D -q "$root/dist/$name.zip" \
      "$name/k726.exe" "$name/README.txt" "$name/SHA256SUMS.txt") || return 1
    zips+=("$name.zip")
  done
  (cd dist && sha256sum "${zips[@]}" >SHA256SUMS)
  rm -rf "$stage"
  local zip
  for zip in "${zips[@]}"; do
    echo "dist/$zip: $(stat -c %s "dist/$zip") bytes"
  done
}

k726_check_packages() {
  local target preset arch machine version name zip exe out passed=0 failed=0 before
  out=$(mktemp -d /tmp/k726-package-check.XXXXXX) || return 1
  k726_build_packages || return 1
  for target in "${k726_package_targets[@]}"; do
    IFS=: read -r preset arch machine <<<"$target"
    before=$failed
    version=$(k726_package_version "$preset")
    name="k726-$version-$arch"
    zip="dist/$name.zip"
    exe=$(k726_package_exe "$preset")
    [ -f "$zip" ] || { k726_package_fail "missing"; continue; }
    [ "$(unzip -Z1 "$zip" | sort | tr '\n' ' ')" = \
      "$name/README.txt $name/SHA256SUMS.txt $name/k726.exe " ] ||
      k726_package_fail "holds $(unzip -Z1 "$zip" | tr '\n' ' ')"
    unzip -q -d "$out" "$zip" || { k726_package_fail "does not unpack"; continue; }
    cmp -s "$out/$name/k726.exe" "$exe" || k726_package_fail "k726.exe is not $exe"
    [ -z "$("$machine-w64-mingw32-nm" "$out/$name/k726.exe" 2>/dev/null)" ] ||
      k726_package_fail "k726.exe is not stripped"
    "$machine-w64-mingw32-strings" -el "$out/$name/k726.exe" | grep -qxF "$version" ||
      k726_package_fail "k726.exe's version resource does not say $version"
    cmp -s "$out/$name/README.txt" <(k726_package_readme "$version" "${arch#win}-bit Windows" "$preset" "$machine") ||
      k726_package_fail "README.txt is not the template in code page 932 with CR LF"
    iconv -f CP932 -t UTF-8 "$out/$name/README.txt" | grep -q "^k726 $version " ||
      k726_package_fail "README.txt does not name version $version"
    ! grep -qv $'\r$' "$out/$name/README.txt" || k726_package_fail "README.txt has a line without CR LF"
    (cd "$out/$name" && sha256sum --quiet -c SHA256SUMS.txt) || k726_package_fail "sums do not verify"
    [ "$failed" = "$before" ] && passed=$((passed + 1))
  done
  (cd dist && sha256sum --quiet -c SHA256SUMS) || { echo "package check: dist/SHA256SUMS" >&2; failed=$((failed + 1)); }
  rm -rf "$out"
  k726_check_rebuild
  echo "$passed passed, $failed failed"
  [ "$failed" = 0 ]
}

# Rebuilds each release exe as the readme tells a user to: a clean clone of
# HEAD at another path, configured with the preset, built afresh. A byte that
# differs means the published sums cannot be reproduced, so dist/SHA256SUMS
# goes.
k726_check_rebuild() {
  local head src target preset arch machine exe again zip root=$PWD
  head=$(git rev-parse HEAD) || { echo "package check: not a git clone" >&2; failed=$((failed + 1)); return; }
  src=$(mktemp -d /tmp/k726-rebuild.XXXXXX)/k726 || { failed=$((failed + 1)); return; }
  # A local clone copies every object, so a detached HEAD is there too.
  if ! { git clone -q --no-checkout "$root" "$src" && git -C "$src" checkout -q --detach "$head"; }; then
    echo "package check: cannot clone $root at $head" >&2
    failed=$((failed + 1))
    rm -rf "${src%/k726}"
    return
  fi
  for target in "${k726_package_targets[@]}"; do
    IFS=: read -r preset arch machine <<<"$target"
    zip="rebuild of $preset"
    exe=$(k726_package_exe "$preset")
    again="$src/$exe"
    if ! (cd "$src" && cmake --preset "$preset" -DK726_BUILD_TESTS=OFF >/dev/null &&
      cmake --build --preset "$preset" -j2 --target k726 >/dev/null); then
      k726_package_fail "a clean clone of $head does not build"
    elif ! cmp -s "$exe" "$again"; then
      k726_package_fail "k726.exe from a clean clone of $head differs from $exe:" \
        "$(stat -c %s "$again") bytes against $(stat -c %s "$exe"), $(cmp -l "$exe" "$again" 2>/dev/null | wc -l) of them differ"
      git diff --quiet HEAD -- && [ -z "$(git ls-files --others --exclude-standard)" ] ||
        echo "package check: the working tree has changes not in HEAD; commit them and check again" >&2
      if [ -f dist/SHA256SUMS ]; then
        rm dist/SHA256SUMS
        echo "package check: dist/SHA256SUMS removed: its sums cannot be reproduced" >&2
      fi
    else
      passed=$((passed + 1))
      echo "$arch k726.exe rebuilt from $head in $src: same bytes, SHA-256 $(sha256sum "$again" | cut -d' ' -f1)"
    fi
  done
  rm -rf "${src%/k726}"
}
