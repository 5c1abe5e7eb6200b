#!/usr/bin/env bash
# Builds the window-free menu line functions natively with the host's g++ under
# AddressSanitizer and UndefinedBehaviourSanitizer and runs the seeded generators over
# them (first argument: number of cases, 200000 by default). scripts/test.sh runs it.
# The native sources end in .cc, so the
# Windows build, which takes every tests/<area>/*.cpp, leaves them alone.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
out=${BUILD_DIR:-$root/build}/native
mkdir -p "$out"
g++ -std=c++20 -g -O1 -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer \
  -Wall -Wextra -I "$root/src" -I "$root/tests" \
  "$root/src/menu/MenuFormat.cpp" "$root"/tests/native/*.cc -o "$out/menu_format_fuzz"
"$out/menu_format_fuzz" "$@"
