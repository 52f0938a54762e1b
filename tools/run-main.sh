#!/usr/bin/env bash
# The main job: builds everything and runs the sample app through the whole stack.
# The launcher lends the device font directory /system/fonts itself when the
# machine has none (VEL_FONT_SOURCE chooses the fonts lent).
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
BUILD="${BUILD_DIR:-$ROOT/build}"
cmake -S "$ROOT" -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE="${BUILD_TYPE:-RelWithDebInfo}"
cmake --build "$BUILD"
if [ ! -x "$BUILD/bin/vel-android-run" ] || [ ! -e "$BUILD/examples/libhello.so" ]; then
  # Until the launcher and sample apps exist, the core demo shows what runs.
  exec "$BUILD/bin/vel-core-demo"
fi

RUN=("$BUILD/bin/vel-android-run" --plugin "$BUILD/lib/libandroidplatformplugin.so")
if [ -n "${VEL_FONT_SOURCE:-}" ]; then
  RUN+=(--fonts "$VEL_FONT_SOURCE")
fi
if [ -n "${DISPLAY:-}" ] && [ -z "${VEL_HEADLESS:-}" ]; then
  RUN+=(--timeout 30)
else
  RUN+=(--headless --frames 3 --screenshot "$ROOT/out.png")
fi
exec "${RUN[@]}" "$BUILD/examples/libhello.so"
