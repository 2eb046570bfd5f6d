#!/usr/bin/env bash
# Installs whatever Debian packages are missing and builds the program.
# Usage: scripts/setup.sh [run|test]   (test also installs the test tools)
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
mode="${1:-run}"

packages=(build-essential cmake pkg-config
  qt6-base-dev qt6-charts-dev libqt6opengl6-dev libqt6sql6-sqlite qt6-translations-l10n libgl1-mesa-dev
  libsqlite3-dev libxlsxwriter-dev libzip-dev pxlib-dev libsodium-dev
  libpq-dev postgresql
  fonts-liberation xdg-utils)
if [ "$mode" = test ]; then
  packages+=(libgtest-dev libgmock-dev libbenchmark-dev xvfb xauth poppler-utils
    libreoffice-calc-nogui sqlite3 desktop-file-utils man-db python3)
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Instalacja pakietów: ${missing[*]}"
  SUDO=""; [ "$(id -u)" -ne 0 ] && SUDO=sudo
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

build="$here/build"
# The test build adds the tests to the same build; running the program later
# leaves them configured.
options=(-DCMAKE_BUILD_TYPE=RelWithDebInfo)
# The test build treats every compiler warning as an error.
[ "$mode" = test ] && options+=(-DFENWA5_TESTS=ON -DFENWA5_WERROR=ON)
cmake -S "$here" -B "$build" "${options[@]}" >/dev/null
cmake --build "$build" -j"$(nproc)"

if [ "$mode" = test ]; then
  # The core tests once more under the address and undefined-behaviour
  # sanitizers, in a build of their own (the program's build stays plain for
  # run.sh and the package); -O1 keeps it quick to build and to run.
  sanitized="$here/build-asan"
  cmake -S "$here" -B "$sanitized" -DCMAKE_BUILD_TYPE=Debug "-DCMAKE_CXX_FLAGS_DEBUG=-O1 -g1" \
    -DFENWA5_TESTS=ON -DFENWA5_WERROR=ON -DFENWA5_SANITIZE=ON >/dev/null
  cmake --build "$sanitized" -j"$(nproc)" --target core_tests
fi
