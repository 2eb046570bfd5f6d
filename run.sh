#!/usr/bin/env bash
# Sets up what is missing, prepares the demo data folder and starts the program.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
"$here/scripts/setup.sh" run
demo="$here/demo"
if [ ! -f "$demo/fenwa5.sqlite" ]; then
  "$here/build/fenwa5-baza" demo "$demo"
  # The demo's administrator becomes the remembered login (unless there is one),
  # so the first start needs only Return.
  registry="${XDG_CONFIG_HOME:-$HOME/.config}/Zovra/fenwa5.conf"
  if ! grep -qs '^\[User\]' "$registry"; then
    mkdir -p "$(dirname "$registry")"
    printf '[User]\nLast=admin\n' >> "$registry"
  fi
fi
ini="$here/build/fenwa5.ini"
if [ ! -f "$ini" ]; then
  mkdir -p "$demo/archiwum" "$demo/eksport"
  printf '[Foldery]\r\nDane=%s\r\nArchiwizacja=%s\r\nEksport=%s\r\n' \
    "$demo" "$demo/archiwum" "$demo/eksport" > "$ini"
fi
exec "$here/build/fenwa5"
