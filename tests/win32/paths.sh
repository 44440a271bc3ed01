#!/usr/bin/env bash
# The Windows program in folders of any name, and beside a busy file, under
# Wine. k726.exe joins the same selection, with the same settings file
# beside it, in a plain folder and in each other one; every result must be
# byte-identical to the plain folder's.
#
#   paths.sh SCENARIO K726_EXE HOLD_FILE_EXE
#
# Scenarios: folders (Zoë, 한글, ソ and 表 in the folder and the exe name),
# busy-file (another process holds KZC_TEMP.TXT
# open without sharing for 300 ms while the join starts). Runs inside the
# session of scripts/wine-session; outside one it exits 77 (skipped). Paths
# reach Wine as UTF-8 through the ja_JP.UTF-8 locale the session sets.
set -u
scenario=$1
k726=$2
hold=$3

if [ -z "${WINEPREFIX:-}" ] || [ -z "${DISPLAY:-}" ]; then
  echo "skipped: no Wine session (run inside scripts/wine-session)"
  exit 77
fi

root=$(mktemp -d /tmp/k726-paths.XXXXXX)
trap 'rm -rf "$root"' EXIT
failed=0
fail() {
  echo "FAILED: $*"
  failed=1
}

# Two texts to join with the settings' delimiter (－), a line between them.
selection=$'ch 0 0 1 0 "\x90\x7d\x96\xca\r\n0 0 10 10\r\nch 5 0 1 0 "\x83\x5c\x95\x5c\r\n'
settings=$'0\r\n\x81\x7c\r\n'

# Runs NAME.exe in FOLDER (created) with the selection and NAME.dat beside it.
run_in() {
  local folder=$1 name=$2
  mkdir -p "$folder"
  cp "$k726" "$folder/$name.exe"
  printf '%s' "$selection" >"$folder/KZC_TEMP.TXT"
  printf '%s' "$settings" >"$folder/$name.dat"
  (cd "$folder" && wine "./$name.exe" 1)
}

run_in "$root/plain" k726
expected=$(od -An -tx1 "$root/plain/KZC_TEMP.TXT")
case "$expected" in
  " 68 64"*) ;;
  *) fail "the plain folder's join did not run: $expected" ;;
esac
# Without its settings the delimiter would be missing: the result shows the
# settings file was read.
grep -q $'\x81\x7c' "$root/plain/KZC_TEMP.TXT" || fail "the plain folder's settings were not read"

case "$scenario" in
  folders)
    # Wine 8 starts no program from a path over 260 characters (CreateProcessW
    # fails with "file not found"); win32_tests run a join in process in a
    # folder whose path is over 300 characters instead.
    for target in "Zoë:k726" "한글:k726" "ソ表:k726" "plain2:ソ表" "十能:能ソ" "Zoë 한글 ソ:表"; do
      folder=${target%:*}
      name=${target##*:}
      [ "${folder:0:1}" = / ] || folder=$root/$folder
      run_in "$folder" "$name"
      got=$(od -An -tx1 "$folder/KZC_TEMP.TXT")
      [ "$got" = "$expected" ] || fail "${folder#"$root"/} $name.exe: $(head -c 60 "$folder/KZC_TEMP.TXT" | tr '\r\n' '  ')"
      ls "$folder" | grep -q '\.k726-' && fail "${folder#"$root"/}: a temporary file was left"
    done
    ;;
  busy-file)
    folder=$root/busy
    mkdir -p "$folder"
    cp "$k726" "$folder/k726.exe"
    printf '%s' "$selection" >"$folder/KZC_TEMP.TXT"
    printf '%s' "$settings" >"$folder/k726.dat"
    # The holder starts the program once it has the file, so that the hold
    # covers the join's start whatever Wine's start-up costs.
    wine "$hold" "Z:${folder//\//\\}\\KZC_TEMP.TXT" 300 "Z:${folder//\//\\}\\k726.exe" 1 \
      >"$root/hold.log" || fail "the holder failed"
    echo "$(tr -d '\r' <"$root/hold.log")"
    grep -q "still running" "$root/hold.log" || fail "k726.exe ended while the file was held"
    got=$(od -An -tx1 "$folder/KZC_TEMP.TXT")
    [ "$got" = "$expected" ] || fail "beside a busy file: $(head -c 60 "$folder/KZC_TEMP.TXT" | tr '\r\n' '  ')"
    ;;
  *)
    echo "unknown scenario $scenario"
    exit 2
    ;;
esac

if [ "$failed" = 0 ]; then
  echo "$scenario: passed"
else
  echo "$scenario: FAILED"
fi
exit "$failed"
