#!/usr/bin/env bash
# The main job: builds everything and runs the sample app through the whole stack.
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
if [ -n "${DISPLAY:-}" ] && [ -z "${VEL_HEADLESS:-}" ]; then
  RUN+=(--timeout 30)
else
  RUN+=(--headless --frames 3 --screenshot "$ROOT/out.png")
fi
RUN+=("$BUILD/examples/libhello.so")

# The device font directory is /system/fonts. A desktop has none: lend it one
# in a private mount namespace, and leave the machine as it was found.
FONTS="${VEL_FONT_SOURCE:-/usr/share/fonts/truetype/dejavu}"
if [ -d /system/fonts ] && [ -n "$(ls /system/fonts/*.ttf 2>/dev/null)" ]; then
  exec "${RUN[@]}"
fi
created=()
[ -d /system ] || created+=(/system)
[ -d /system/fonts ] || created+=(/system/fonts)
cleanup() {
  for ((i = ${#created[@]} - 1; i >= 0; i--)); do rmdir "${created[$i]}" 2>/dev/null || true; done
}
trap cleanup EXIT
mkdir -p /system/fonts
status=0
unshare -m sh -c 'mount --make-rprivate / && mount --bind "$0" /system/fonts && exec "$@"' \
  "$FONTS" "${RUN[@]}" || status=$?
exit $status
