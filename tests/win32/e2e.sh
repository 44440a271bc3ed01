#!/usr/bin/env bash
# End-to-end checks of the Windows program under Wine. k726.exe runs from a
# scratch folder with its settings file (k726.dat: order, CR LF, delimiter,
# CR LF) and interchange file beside it; the driver, a second Win32 process,
# looks at its windows; xdotool moves the pointer and holds Escape.
#
#   e2e.sh SCENARIO K726_EXE DRIVER_EXE
#
# Runs inside the session of scripts/wine-session; outside one it exits 77,
# which ctest counts as skipped.
set -u
scenario=$1
k726=$2
driver=$3

if [ -z "${WINEPREFIX:-}" ] || [ -z "${DISPLAY:-}" ] || ! command -v xdotool >/dev/null; then
  echo "skipped: no Wine session (run inside scripts/wine-session)"
  exit 77
fi

dir=$(mktemp -d /tmp/k726-e2e.XXXXXX)
focus_pid=
cleanup() {
  if [ -n "$focus_pid" ]; then
    xdotool keyup Escape 2>/dev/null
    wine "$driver" close-focus-window
    wait "$focus_pid" 2>/dev/null
  fi
  rm -rf "$dir"
}
trap cleanup EXIT
cp "$k726" "$dir/k726.exe"
exe="Z:${dir//\//\\}\\k726.exe"
failed=0

fail() {
  echo "FAILED: $*"
  failed=1
}
drive() { wine "$driver" "$@" || failed=1; }
settings() { printf -- "$1" >"$dir/k726.dat"; }
# The settings file must hold exactly these bytes (printf escapes).
expect_settings() {
  if ! cmp -s <(printf -- "$1") "$dir/k726.dat"; then
    fail "k726.dat holds $(od -An -tx1 "$dir/k726.dat" | tr -s ' '), expected $(printf -- "$1" | od -An -tx1 | tr -s ' ')"
  fi
}
# Moves the pointer and waits until X reports it there (--sync would wait
# forever when it is there already).
pointer() {
  xdotool mousemove "$1" "$2"
  local tries=0
  until xdotool getmouselocation | grep -q "^x:$1 y:$2 "; do
    tries=$((tries + 1))
    [ "$tries" -lt 50 ] || { fail "pointer did not reach $1,$2"; return; }
    sleep 0.05
  done
}

case "$scenario" in
  resources)
    drive resources "$exe"
    ;;
  dialog)
    # A delimiter longer than four bytes is shown whole.
    settings '1\r\nABCDEF\r\n'
    pointer 500 400
    drive dialog "$exe" 500 400 1 414243444546
    expect_settings '1\r\nABCDEF\r\n'
    ;;
  dialog-corner)
    # Near the corner the form goes off screen, unclamped; 7 shows the
    # second choice.
    settings '7\r\n\x82\xa0\r\n'
    pointer 10 2
    drive dialog "$exe" 10 2 1 82A0
    ;;
  ok-as-loaded)
    # -3 marks no choice, and OK stores -1; the long delimiter goes back whole.
    settings '-3\r\n\x82\xa0\x82\xa2\x82\xa4\r\n'
    pointer 300 300
    drive ok "$exe"
    expect_settings '-1\r\n\x82\xa0\x82\xa2\x82\xa4\r\n'
    ;;
  type-ok)
    settings '0\r\n\r\n'
    pointer 400 300
    drive type-ok "$exe"
    expect_settings '1\r\n\x82\xa4\x82\xa6\r\n'
    ;;
  cancel | escape | close-box)
    settings '0\r\nAB\r\n'
    pointer 400 300
    drive "$scenario" "$exe"
    expect_settings '0\r\nAB\r\n'
    ;;
  enter)
    settings '0\r\nAB\r\n'
    pointer 400 300
    drive enter "$exe"
    expect_settings '1\r\nz\r\n'
    ;;
  codepage)
    settings '0\r\nAB\r\n'
    pointer 400 300
    drive codepage "$exe"
    expect_settings '0\r\n\x82\x60\x81\x94\r\n'
    ;;
  extension)
    # NEC and IBM extension characters, and a pair code page 932 leaves
    # unassigned, do not come back whole through UTF-16: shown as they
    # decode, and stored back byte for byte by an OK that changed nothing.
    settings '0\r\n\x87\x90\xed\x40\x85\x40\r\n'
    pointer 400 300
    drive dialog "$exe" 400 300 0 8790ED408540
    drive ok "$exe"
    expect_settings '0\r\n\x87\x90\xed\x40\x85\x40\r\n'
    ;;
  dpi-*)
    # The screen's dpi is the prefix's LogPixels, which the caller has set
    # (scripts/test-windows).
    settings '0\r\n\r\n'
    for at in 500,400 10,2 1001,700; do
      pointer "${at%,*}" "${at#*,}"
      drive dpi "$exe" "${at%,*}" "${at#*,}" "${scenario#dpi-}"
    done
    ;;
  no-argument)
    settings '1\r\nXY\r\n'
    drive no-argument "$exe"
    expect_settings '0\r\n\r\n'
    ;;
  minimised-other)
    # «1 » selects no mode: minimised, nothing read or written.
    printf 'untouched\r\n' >"$dir/KZC_TEMP.TXT"
    drive minimised "$exe" '"1 "' waits
    cmp -s <(printf 'untouched\r\n') "$dir/KZC_TEMP.TXT" || fail "KZC_TEMP.TXT changed"
    ;;
  minimised-1 | minimised-2)
    # A drawing large enough for the run to last a moment; for mode "2"
    # only its first two texts are kept (text lines carry a quote), so that
    # the pair is joined and the whole drawing written back.
    drive generate "Z:${dir//\//\\}\\input.txt" 60000
    if [ "$scenario" = minimised-2 ]; then
      awk '/^msg/ { next } /"/ { if (++texts > 2) next } { print }' "$dir/input.txt" >"$dir/KZC_TEMP.TXT"
    else
      cp "$dir/input.txt" "$dir/KZC_TEMP.TXT"
    fi
    drive minimised "$exe" "${scenario#minimised-}" exits
    head -n 1 "$dir/KZC_TEMP.TXT" | grep -q '^hd' || fail "the join did not run: $(head -c 40 "$dir/KZC_TEMP.TXT")"
    ;;
  no-display)
    # A join needs no window: without an X display k726.exe can create none
    # and still writes the same file as with one; the modes that wait for a
    # user end at once and leave everything as it was.
    settings '1\r\n\x81\x7c\r\n'
    mkdir "$dir/shown"
    cp "$dir/k726.exe" "$dir/k726.dat" "$dir/shown/"
    drive generate "Z:${dir//\//\\}\\input.txt" 20000
    awk '/^msg/ { next } /"/ { if (++texts > 2) next } { print }' "$dir/input.txt" >"$dir/pair.txt"
    for mode in 1 2; do
      input=input.txt
      [ "$mode" = 1 ] || input=pair.txt
      cp "$dir/$input" "$dir/KZC_TEMP.TXT"
      cp "$dir/$input" "$dir/shown/KZC_TEMP.TXT"
      (cd "$dir/shown" && wine ./k726.exe "$mode")
      (cd "$dir" && env -u DISPLAY wine ./k726.exe "$mode" 2>/dev/null)
      head -n 1 "$dir/KZC_TEMP.TXT" | grep -q '^hd' || fail "mode $mode without a display joined nothing"
      cmp -s "$dir/KZC_TEMP.TXT" "$dir/shown/KZC_TEMP.TXT" ||
        fail "mode $mode without a display wrote other bytes than with one"
    done
    printf 'untouched\r\n' >"$dir/KZC_TEMP.TXT"
    for arguments in 3 '' 'x'; do
      (cd "$dir" && timeout 20 env -u DISPLAY wine ./k726.exe $arguments 2>/dev/null) ||
        fail "k726.exe $arguments without a display did not end by itself"
    done
    cmp -s <(printf 'untouched\r\n') "$dir/KZC_TEMP.TXT" || fail "KZC_TEMP.TXT changed"
    expect_settings '1\r\n\x81\x7c\r\n'
    ;;
  escape-abort)
    drive generate "Z:${dir//\//\\}\\KZC_TEMP.TXT" 200000
    cp "$dir/KZC_TEMP.TXT" "$dir/input.txt"
    # Without Escape the join writes the whole drawing back...
    drive run "$exe" 1
    lines=$(wc -l <"$dir/KZC_TEMP.TXT")
    [ "$lines" -gt 1000 ] || fail "the join without Escape wrote only $lines lines"
    # ...with Escape held on a Wine window it drops what it wrote.
    cp "$dir/input.txt" "$dir/KZC_TEMP.TXT"
    wine "$driver" focus-window &
    focus_pid=$!
    window=$(xdotool search --sync --name k726-driver-focus | head -n 1)
    xdotool windowfocus --sync "$window"
    xdotool keydown Escape
    drive escape-down
    drive run "$exe" 1
    xdotool keyup Escape
    if ! grep -qvE $'^(lg[0-9A-F]|ly[0-9A-F])\r$' "$dir/KZC_TEMP.TXT"; then
      : # only the closing layer-group and layer lines, or nothing of them
    elif ! cmp -s <(printf 'hq\r\n') "$dir/KZC_TEMP.TXT"; then
      fail "after Escape the file holds $(wc -l <"$dir/KZC_TEMP.TXT") lines: $(head -c 200 "$dir/KZC_TEMP.TXT" | tr '\r\n' '  ')"
    fi
    [ "$(wc -l <"$dir/KZC_TEMP.TXT")" -le 2 ] || fail "more than two lines after Escape"
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
