#!/usr/bin/env bash
# Builds everything and runs every test under Wine, on a private Xvfb when there is
# no display. Extra arguments go to ctest (for instance -R menu).
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/env.sh"

if [ -z "${TQ2ZUL_BUILT:-}" ]; then
  bash "$root/scripts/build.sh"
  # The window-free menu line code, natively under AddressSanitizer and UBSan.
  bash "$root/scripts/native_sanitize.sh" 50000
  export TQ2ZUL_BUILT=1
fi
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s '-screen 0 1280x1024x24' bash "$0" "$@"
fi

# One wineserver for the whole run saves its start in every test process. Wine's
# background services are started here, away from ctest's output pipes, which they
# would otherwise inherit and hold open after the test ends.
wineserver -p >/dev/null 2>&1 || true  # one may already serve this prefix
wine wineboot >/dev/null 2>&1 </dev/null || true
trap 'wineserver -k 2>/dev/null || true' EXIT
# Long stress runs carry the label "stress" and run only when asked: -L stress.
select=(-LE stress)
for arg in "$@"; do [ "$arg" = -L ] && select=(); done
ctest --test-dir "$BUILD_DIR" --output-on-failure -V -j2 "${select[@]}" "$@"
