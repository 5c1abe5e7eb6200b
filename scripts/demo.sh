#!/usr/bin/env bash
# Builds the tool, sets up a sample host in the private Wine prefix and runs the tool
# against it: on your display when there is one; without a display, under Xvfb,
# saving what it shows to build/demo-screenshot.png.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/env.sh"

# Only what the demo runs: the tool, the maker of sample modules and the window waiter.
bash "$root/scripts/setup.sh"
cmake -S "$root" -B "$BUILD_DIR" -G Ninja --toolchain "$root/cmake/mingw-w64-x86_64.cmake" >/dev/null
cmake --build "$BUILD_DIR" --target TQ2ZULSetup make_module wait_window
bash "$root/scripts/make_sample_host.sh"

if [ -n "${DISPLAY:-}" ]; then
  echo "Starting TQ2ZULSetup. Modules to add are in C:\\SampleModules; close it with CLOSE."
  cd "$BUILD_DIR/bin"
  exec wine TQ2ZULSetup.exe
fi
bash "$root/scripts/screenshot.sh" "$BUILD_DIR/demo-screenshot.png"
