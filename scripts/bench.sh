#!/usr/bin/env bash
# Builds everything and runs every benchmark under Wine, on a private Xvfb when there
# is no display; each benchmark prints its own figures.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/env.sh"

if [ -z "${TQ2ZUL_BUILT:-}" ]; then
  bash "$root/scripts/build.sh"
  export TQ2ZUL_BUILT=1
fi
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s '-screen 0 1280x1024x24' bash "$0" "$@"
fi

wineserver -p >/dev/null 2>&1 || true
trap 'wineserver -k 2>/dev/null || true' EXIT
shopt -s nullglob
for exe in "$BUILD_DIR"/bench/*.exe; do
  echo "== $(basename "$exe" .exe)"
  bash "$root/cmake/wine-run.sh" "$exe"
done
