#!/usr/bin/env bash
# Sets up what is missing, builds everything and runs all tests, then the core
# tests once more under the address and undefined-behaviour sanitizers.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
"$here/scripts/setup.sh" test
cd "$here/build"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j2 --timeout 300

source "$here/scripts/sanitizer-options.sh"
cd "$here/build-asan"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j2 --timeout 300 -L core
