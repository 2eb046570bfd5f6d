#!/usr/bin/env bash
# Sets up what is missing, builds everything and runs all tests (the core tests
# on SQLite); then, when the PostgreSQL server programs are installed, the core
# tests once more on a throwaway server cluster (FENWA5_TEST_PG); then the core
# tests under the address and undefined-behaviour sanitizers (on SQLite).
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
"$here/scripts/setup.sh" test
unset FENWA5_TEST_PG   # the first run is the SQLite one, whatever the caller's environment

# The cluster is stopped and its folder removed at the end, also after a
# failure or an interruption.
cluster=""
cleanup() {
  if [ -n "$cluster" ]; then
    "$here/scripts/pg-cluster.sh" stop "$cluster" >/dev/null 2>&1 || true
    rm -rf "$cluster"
  fi
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM
server=""
if "$here/scripts/pg-cluster.sh" available; then
  cluster="$(mktemp -d "${TMPDIR:-/tmp}/fenwa5-pg.XXXXXX")"
  server="$("$here/scripts/pg-cluster.sh" start "$cluster")"
fi

cd "$here/build"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j2 --timeout 300

if [ -n "$server" ]; then
  echo "Testy rdzenia na serwerze PostgreSQL: $server"
  FENWA5_TEST_PG="$server" QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j2 --timeout 300 -L core
fi

# Under the sanitizers (the build runs them in a few shares, see CMakeLists.txt).
source "$here/scripts/sanitizer-options.sh"
cd "$here/build-asan"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j2 --timeout 600 -L core
