#!/usr/bin/env bash
# Builds everything and runs every test. Starts a private X server (for
# Mesa's EGL window surfaces) and a private D-Bus session when none is there,
# and the accessibility registry on a bus of its own for the desktop tests.
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
BUILD="${BUILD_DIR:-$ROOT/build}"

# VEL_SANITIZE=thread (or address,undefined) with a BUILD_DIR of its own makes
# a sanitizer build (README).
cmake -S "$ROOT" -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE="${BUILD_TYPE:-RelWithDebInfo}" \
  ${VEL_SANITIZE:+-DVEL_SANITIZE="$VEL_SANITIZE"}
cmake --build "$BUILD"

cleanup() {
  if [ -n "${A11Y_REGISTRY_PID:-}" ]; then kill "$A11Y_REGISTRY_PID" 2>/dev/null || true; fi
  if [ -n "${A11Y_BUS_PID:-}" ]; then kill "$A11Y_BUS_PID" 2>/dev/null || true; fi
  if [ -n "${XVFB_PID:-}" ]; then kill "$XVFB_PID" 2>/dev/null || true; fi
  if [ -n "${DBUS_SESSION_BUS_PID:-}" ]; then kill "$DBUS_SESSION_BUS_PID" 2>/dev/null || true; fi
}
trap cleanup EXIT

if [ -z "${DISPLAY:-}" ] && command -v Xvfb >/dev/null; then
  for n in $(seq 90 120); do
    if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then
      # -noreset: a server that resets when its last client leaves refuses
      # the next test's connection while it does.
      Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp -noreset >/dev/null 2>&1 &
      XVFB_PID=$!
      export DISPLAY=":$n"
      for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
      break
    fi
  done
fi
if [ -z "${DBUS_SESSION_BUS_ADDRESS:-}" ] && command -v dbus-launch >/dev/null; then
  eval "$(dbus-launch --sh-syntax)"
fi

# The desktop tests' registry: AT_SPI_BUS_ADDRESS alone leads it (and the
# tests) to its bus; the tests wait for it to own its name.
REGISTRYD=/usr/libexec/at-spi2-registryd
if [ -z "${AT_SPI_BUS_ADDRESS:-}" ] && [ -x "$REGISTRYD" ] && command -v dbus-daemon >/dev/null; then
  A11Y_PIDFILE="$(mktemp)"
  AT_SPI_BUS_ADDRESS="$(dbus-daemon --session --fork --print-address=1 --print-pid=3 3>"$A11Y_PIDFILE")"
  A11Y_BUS_PID="$(cat "$A11Y_PIDFILE")"
  rm -f "$A11Y_PIDFILE"
  export AT_SPI_BUS_ADDRESS
  "$REGISTRYD" >/dev/null 2>&1 &
  A11Y_REGISTRY_PID=$!
fi

cd "$BUILD"
# A failed test fails the run: a test that fails only sometimes is a fault to
# find, not one to retry.
ctest --output-on-failure -j"$(nproc)" "$@"
