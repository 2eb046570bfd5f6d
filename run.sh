#!/usr/bin/env bash
# Sets up what is missing, prepares the demo data folder and starts the program.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
"$here/scripts/setup.sh" run
demo="$here/demo"
if [ ! -f "$demo/fenwa5.sqlite" ]; then
  "$here/build/fenwa5-baza" demo "$demo"
fi
ini="$here/build/fenwa5.ini"
if [ ! -f "$ini" ]; then
  mkdir -p "$demo/archiwum" "$demo/eksport"
  printf '[Foldery]\r\nDane=%s\r\nArchiwizacja=%s\r\nEksport=%s\r\n' \
    "$demo" "$demo/archiwum" "$demo/eksport" > "$ini"
fi
exec "$here/build/fenwa5"
