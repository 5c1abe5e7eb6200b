#!/usr/bin/env bash
# Runs a Windows executable under Wine in the project's private prefix, on the
# current X display or, without one, on a private Xvfb.
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export WINEPREFIX=${WINEPREFIX:-$here/build/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all}
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s '-screen 0 1280x800x24' wine "$@"
fi
exec wine "$@"
