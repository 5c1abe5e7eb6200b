#!/usr/bin/env bash
# Saves a picture of the tool as a user first sees it: runs build/bin/TQ2ZULSetup.exe
# in a Wine virtual desktop on a private Xvfb, answers the start-up warning, waits for
# the dialog and captures the screen, then closes the dialog.
# Usage: scripts/screenshot.sh [output.png]    (default docs/screenshot.png)
# Run scripts/build.sh and scripts/make_sample_host.sh first (scripts/demo.sh does).
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/env.sh"
# Hangul arguments reach Windows programs intact only from a UTF-8 locale.
export LC_ALL=C.UTF-8

out=${1:-$root/docs/screenshot.png}
case "$out" in /*) ;; *) out=$PWD/$out ;; esac
exe=$BUILD_DIR/bin/TQ2ZULSetup.exe
waiter=$BUILD_DIR/bin/wait_window.exe
for f in "$exe" "$waiter"; do
  [ -f "$f" ] || { echo "screenshot: $f is missing; build first (bash scripts/build.sh)" >&2; exit 1; }
done

width=1000 height=600
if [ -z "${TQ2ZUL_SCREENSHOT_XVFB:-}" ]; then
  export TQ2ZUL_SCREENSHOT_XVFB=1
  exec xvfb-run -a -s "-screen 0 ${width}x${height}x24" bash "$0" "$out"
fi

desktop=tq2zul-shot
caption='TOLVAN-QUORAL2 ZUL Setup'
warning='TOLVAN-QUORAL2 가 구동되어 있으면'
timeout_ms=60000

cd "$(dirname "$exe")"
wine explorer "/desktop=$desktop,${width}x${height}" "$(basename "$exe")" </dev/null >/dev/null 2>&1 &
app=$!
stop() {
  if kill -0 "$app" 2>/dev/null; then
    wine "$waiter" --desktop "$desktop" --timeout 5000 --caption "$caption" --press-ok </dev/null || true
    for _ in $(seq 100); do kill -0 "$app" 2>/dev/null || break; sleep 0.1; done
    kill "$app" 2>/dev/null || true
  fi
}
trap stop EXIT

wait_for() {
  local what=$1
  shift
  if ! wine "$waiter" --desktop "$desktop" --timeout "$timeout_ms" "$@" </dev/null; then
    echo "screenshot: $what did not appear within $((timeout_ms / 1000)) s" >&2
    exit 1
  fi
}
wait_for "the start-up warning" --text "$warning" --press-ok
wait_for "the dialog \"$caption\"" --caption "$caption"
# The waiter returns once the dialog has handled its queued messages; give the
# list a moment to finish painting its rows.
sleep 1
mkdir -p "$(dirname "$out")"
import -window root "$out"
echo "screenshot: $out"
