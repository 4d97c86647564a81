#!/bin/sh
# Installs the Debian packages Velmora needs to build, run and test. Safe to run again.
set -eu

PACKAGES="
  build-essential cmake ninja-build ccache pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-multimedia-dev libgl-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  fonts-dejavu-core fontconfig locales
  clang clang-format libclang-rt-dev
  gpsd libgps-dev gpsd-clients
  libxml2-utils gpsbabel python3-gpxpy time
  libpugixml-dev
  libosmium2-dev libprotozero-dev libboost-dev zlib1g-dev libbz2-dev libexpat1-dev
"

missing=""
for p in $PACKAGES; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done

if [ -n "$missing" ]; then
  SUDO=""
  [ "$(id -u)" -eq 0 ] || SUDO="sudo"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends $missing
fi
