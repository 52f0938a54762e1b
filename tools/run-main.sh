#!/usr/bin/env bash
# The main job: builds everything and runs the sample app through the whole stack.
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
BUILD="${BUILD_DIR:-$ROOT/build}"
cmake -S "$ROOT" -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE="${BUILD_TYPE:-RelWithDebInfo}"
cmake --build "$BUILD"
if [ -x "$BUILD/bin/vel-android-run" ] && [ -e "$BUILD/examples/libhello.so" ]; then
  exec "$BUILD/bin/vel-android-run" --headless --frames 3 --screenshot "$ROOT/out.png" "$BUILD/examples/libhello.so"
fi
# Until the launcher and sample apps exist, the core demo shows what runs.
exec "$BUILD/bin/vel-core-demo"
