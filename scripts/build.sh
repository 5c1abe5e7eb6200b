#!/usr/bin/env bash
# Installs what is missing, configures and builds everything (exe, tests, benchmarks).
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/env.sh"
bash "$root/scripts/setup.sh"
cmake -S "$root" -B "$BUILD_DIR" -G Ninja --toolchain "$root/cmake/mingw-w64-x86_64.cmake" >/dev/null
cmake --build "$BUILD_DIR" -- -k 0
