#!/usr/bin/env bash
# The program as a user gets it from `cmake --install`: installed into a
# fresh prefix, then run from there with the build and source folders out of
# sight (an empty folder mounted over each in a mount namespace of its own),
# so that anything it still took from them would fail. It answers --version,
# fills a demo folder and prints to PDF without a display, and its windows
# open under the X display with the installed user guide behind F1.
# usage: installed_program_test.sh BUILD_DIR SOURCE_DIR
set -euo pipefail
build=$1 source=$2
skip=77

if [ "${3:-}" != inside ]; then
  command -v unshare >/dev/null || { echo "needs unshare"; exit $skip; }
  work=$(mktemp -d)
  trap 'rm -rf "$work"' EXIT
  cmake --install "$build" --prefix "$work/prefix" >/dev/null
  cp "$0" "$work/test.sh"
  namespace=(unshare --mount)
  [ "$(id -u)" -eq 0 ] || namespace+=(--map-root-user)
  if ! "${namespace[@]}" true 2>/dev/null; then
    echo "cannot make a mount namespace here"
    exit $skip
  fi
  "${namespace[@]}" bash "$work/test.sh" "$build" "$source" inside "$work"
  exit
fi

work=$4
prefix=$work/prefix
mount -t tmpfs none "$build"
[ -d "$source" ] && mount -t tmpfs none "$source"
fail() { echo "FAIL: $*"; exit 1; }
ledora=$prefix/bin/ledora

version=$("$ledora" --version)
[[ $version =~ ^ledora\ [0-9]+\.[0-9]+ ]] || fail "--version: $version"

mkdir "$work/books" "$work/start"
cd "$work/start"
env -u DISPLAY -u WAYLAND_DISPLAY "$ledora" --data ../books demo || fail "demo"
env -u DISPLAY -u WAYLAND_DISPLAY "$ledora" --data ../books print invoices --from 1 --to 3 \
  --pdf invoices.pdf || fail "print"
[ "$(pdftotext invoices.pdf - | grep -c $'\f')" -eq 3 ] || fail "three invoice pages"

if [ -z "${DISPLAY:-}" ] || ! command -v xdotool >/dev/null || ! command -v strace >/dev/null; then
  echo "the windows need an X display, xdotool and strace"
  exit $skip
fi
"$ledora" --data ../books &
program=$!
trap 'kill $program 2>/dev/null; wait $program 2>/dev/null || true' EXIT
# wait_for TITLE TENTHS: the window's id in $found.
wait_for() {
  found=""
  for _ in $(seq "$2"); do
    found=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -1)
    [ -n "$found" ] && return 0
    sleep 0.1
  done
  return 1
}
wait_for '^Quorval Report Designer - Vennic demo program$' 900 || fail "the main window"
frame=$found
# Which guide the help opens: the one installed, as nothing else is in sight.
strace -f -qq -e trace=openat -o "$work/trace" -p $program &
sleep 1
for _ in 1 2 3; do
  xdotool windowfocus --sync "$frame" key alt+h c 2>/dev/null || true
  wait_for 'Help' 150 && break
done
[ -n "$found" ] || fail "the help window"
grep -q "\"$prefix/share/doc/ledora/guide/index.html\"" "$work/trace" || fail "the installed guide"
echo "the installed program runs without the build folder"
