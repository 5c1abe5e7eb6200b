#!/usr/bin/env bash
# Installs what the build and the tests need (only what is missing) and creates the
# private Wine prefix. Idempotent: safe to run before every build.
set -euo pipefail

source "$(dirname "${BASH_SOURCE[0]}")/env.sh"

packages=(
  cmake ninja-build googletest g++
  g++-mingw-w64-x86-64-posix gcc-mingw-w64-i686-posix binutils-mingw-w64-x86-64
  wine wine64 xvfb xauth x11-utils fonts-nanum imagemagick xdotool
  libcli11-dev nlohmann-json3-dev
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "setup: installing ${missing[*]}"
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo=sudo
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# The posix-thread flavour of the cross compiler is the one we link statically with.
for t in x86_64-w64-mingw32-g++ x86_64-w64-mingw32-gcc i686-w64-mingw32-gcc; do
  posix=$(command -v "$t-posix" || true)
  [ -n "$posix" ] || { echo "setup: $t-posix not found" >&2; exit 1; }
done

# Bump the marker when the prefix's settings change, so existing prefixes get them.
marker="$WINEPREFIX/.tq2zul-ready-2"
if [ ! -f "$marker" ]; then
  echo "setup: creating Wine prefix in $WINEPREFIX"
  mkdir -p "$WINEPREFIX"
  wine wineboot -i >/dev/null 2>&1 || true
  wineserver -w
  key='HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes'
  for face in 'MS Shell Dlg' 'MS Shell Dlg 2'; do
    wine reg add "$key" /v "$face" /t REG_SZ /d NanumGothic /f >/dev/null 2>&1
  done
  # Xvfb has no window manager; without this Wine waits for one at every window close.
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
  wineserver -w
  touch "$marker"
fi
