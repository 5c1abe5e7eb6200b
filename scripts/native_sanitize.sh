#!/usr/bin/env bash
# Builds the window-free menu line functions natively with the host's g++ under
# AddressSanitizer and UndefinedBehaviourSanitizer and checks them against the rules
# on random lines (first argument: how many; 200000 by default). scripts/test.sh runs it.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
out=${BUILD_DIR:-$root/build}/native
mkdir -p "$out"
g++ -std=c++20 -g -O1 -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer \
  -Wall -Wextra -I "$root/src" -I "$root/tests" \
  "$root/src/core/menu/MenuFormat.cpp" "$root"/tests/native/*.cc -o "$out/menu_format_property"
"$out/menu_format_property" "$@"
