#!/usr/bin/env bash
# scripts/demo on small selections of its own: every option, the file the
# tool leaves (as the demo shows it), the refusals, the pictures, and that
# the user's file stays as it was.
#
#   demo_test.sh PROGRAM     (the k726 the demo runs instead of building one)
set -uo pipefail
demo="$(cd "$(dirname "$0")/../.." && pwd)/scripts/demo"
K726_DEMO_BINARY=$(realpath "$1")
export K726_DEMO_BINARY
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
failed() {
  echo "FAILED: $*"
  failures=$((failures + 1))
}

# Shift-JIS with CR LF, as the host writes it.
selection() {
  local name=$1
  shift
  printf '%s\r\n' "$@" | iconv -f UTF-8 -t CP932 >"$work/$name.txt"
}
# The arguments of a table row: separated by ";", the row's padding dropped.
arguments() {
  local trimmed=${1%"${1##*[! ]}"}
  mapfile -t argv < <(printf '%s' "${trimmed#"${trimmed%%[! ]*}"}" | tr ';' '\n')
}
# Three texts whose left-to-right and top-to-bottom orders differ.
selection three 'lc1' '0 0 40 0' 'ch 10 0 1 0 "AA' 'ch 20 20 1 0 "BB' 'ch 30 10 1 0 "CC'
# Two texts listed right one first.
selection two 'ch 30 0 1 0 "AA' 'ch 10 0 1 0 "BB'
cp "$work/three.txt" "$work/three.original"

# name | arguments, ";" between them | the line the answer must hold
while IFS='|' read -r name args expected; do
  arguments "$args"
  out=$("$demo" "${argv[@]}" 2>&1) || {
    failed "$name: exit status $? ($out)"
    continue
  }
  answer=$(sed -n '/^What the host applies/,$p' <<<"$out")
  grep -qxF "    $expected" <<<"$answer" || failed "$name: no line '$expected' in the answer: $answer"
done <<EOF
no arguments: the title block|                                        |ch 5 25 1 0 "株式会社ソフト設計事務所
left to right               |$work/three.txt                          |ch 10 0 1 0 "AABBCC
top to bottom               |$work/three.txt;--order;vertical         |ch 20 20 1 0 "BBCCAA
full-width delimiter        |$work/three.txt;--order;vertical;--delimiter;・|ch 20 20 1 0 "BB・CC・AA
four bytes, the most        |$work/three.txt;--delimiter;・・         |ch 10 0 1 0 "AA・・BB・・CC
half-width delimiter        |$work/three.txt;--mode;1;--delimiter;-+  |ch 10 0 1 0 "AA-+BB-+CC
mode 2 in the listed order  |$work/two.txt;--mode;2                   |ch 30 0 1 0 "AABB
mode 1 in positional order  |$work/two.txt                            |ch 10 0 1 0 "BBAA
mode 2 wants two texts      |$work/three.txt;--mode;2                 |hq
EOF

# name | arguments | what the message must say
while IFS='|' read -r name args expected; do
  arguments "$args"
  out=$("$demo" "${argv[@]}" 2>&1)
  status=$?
  [ "$status" -eq 2 ] || failed "$name: exit status $status, not 2"
  grep -qF "$expected" <<<"$out" || failed "$name: message '$out' does not say '$expected'"
done <<EOF
no such file             |$work/missing.txt                 |no file
mode 3                   |$work/three.txt;--mode;3          |settings dialog
mode 4                   |$work/three.txt;--mode;4          |takes 1 or 2
not in code page 932     |$work/three.txt;--delimiter;한    |cannot hold
over 4 bytes             |$work/three.txt;--delimiter;・・・|6 bytes
EOF

cmp -s "$work/three.txt" "$work/three.original" || failed "the demo changed the user's file"

# Pictures: both drawn, in one frame, the joined text framed in the after
# picture only; paths relative to where the demo is started from.
(cd "$work" && "$demo" three.txt --order vertical --picture pictures >/dev/null 2>"$work/err") ||
  failed "--picture: $(cat "$work/err")"
for picture in before after; do
  file="$work/pictures/$picture.png"
  info=$(identify -format '%m %w %h %k' "$file" 2>&1) || {
    failed "$picture.png: $info"
    continue
  }
  read -r format width height colours <<<"$info"
  [ "$format" = PNG ] && [ "$width" -ge 200 ] && [ "$height" -ge 100 ] && [ "$colours" -ge 8 ] ||
    failed "$picture.png is $info (format, width, height, colours): empty or no drawing"
  marks=$(convert "$file" -format %c histogram:info:- | grep -ci 'ff8c00')
  case "$picture:$marks" in
    before:0 | after:[1-9]*) ;;
    *) failed "$picture.png: $marks runs of the mark's colour" ;;
  esac
done
cmp -s "$work/pictures/before.png" "$work/pictures/after.png" && failed "before.png and after.png are the same"

[ "$failures" -eq 0 ] || exit 1
echo "demo: every case passed"
