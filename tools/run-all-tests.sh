#!/usr/bin/env bash
# Every test, three times over: the plain build, the build under
# AddressSanitizer and UndefinedBehaviorSanitizer, and the build under
# ThreadSanitizer. Each build has a directory of its own (build, build-asan,
# build-tsan) and each pass its own X server and D-Bus session
# (tools/run-tests.sh). The first failing pass ends the run.
#
# The sanitizers' run-time options for a process that hosts the Java VM are
# set on every test by the build (cmake/VelSanitize.cmake says why each one is
# there); the ThreadSanitizer suppressions are in cmake/sanitizers/tsan.supp,
# each with its reason.
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"

pass() {
  local name="$1"
  shift
  local start=$SECONDS
  echo "=== $name: start"
  "$@"
  echo "=== $name: passed in $((SECONDS - start)) s"
}

pass plain "$ROOT/tools/run-tests.sh"
pass address,undefined env BUILD_DIR="$ROOT/build-asan" VEL_SANITIZE=address,undefined \
  "$ROOT/tools/run-tests.sh"
pass thread env BUILD_DIR="$ROOT/build-tsan" VEL_SANITIZE=thread \
  "$ROOT/tools/run-tests.sh"
