#!/usr/bin/env bash
# Installs every Debian package the build, the tests and the main job need.
set -euo pipefail
SUDO=""
if [ "$(id -u)" != 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update
$SUDO apt-get install -y --no-install-recommends \
  build-essential cmake ninja-build pkg-config ccache clang clang-format libclang-rt-14-dev \
  libgtest-dev libgmock-dev libbenchmark-dev \
  libicu-dev nlohmann-json3-dev zlib1g-dev libpng-dev libfreetype-dev libharfbuzz-dev \
  libegl-dev libgles-dev libegl-mesa0 libgl1-mesa-dri libx11-dev \
  xvfb xauth x11-utils dbus dbus-x11 at-spi2-core libdbus-1-dev \
  openjdk-17-jdk-headless \
  python3 python3-fonttools fonts-dejavu-core

