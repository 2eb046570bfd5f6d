#!/usr/bin/env bash
# Builds the Debian package from a finished build and checks what it installs.
# Usage: scripts/check-package.sh BUILD_FOLDER SOURCE_FOLDER
set -euo pipefail
build="$1"
source="$2"
out="$(mktemp -d)"
trap 'rm -rf "$out"' EXIT

(cd "$build" && cpack -G DEB -B "$out" >"$out/cpack.log" 2>&1) || { cat "$out/cpack.log"; exit 1; }
debs=("$out"/*.deb)
deb="${debs[0]}"
[ -f "$deb" ] || { echo "no package was made"; exit 1; }

contents="$(dpkg-deb -c "$deb" | awk '{print $NF}')"
expected=(./usr/bin/fenwa5 ./usr/bin/fenwa5-baza ./usr/share/applications/fenwa5.desktop
  ./usr/share/man/man1/fenwa5-baza.1)
for size in 16 22 24 32 48 64 128 256; do
  expected+=("./usr/share/icons/hicolor/${size}x${size}/apps/fenwa5.png")
done
status=0
for f in "${expected[@]}"; do
  grep -qxF "$f" <<<"$contents" || { echo "missing in the package: $f"; status=1; }
done
if grep -q '^\./usr/\(lib\|include\)/' <<<"$contents"; then
  echo "the package carries build files:"; grep '^\./usr/\(lib\|include\)/' <<<"$contents"; status=1
fi
dpkg-deb -f "$deb" Depends | grep -q 'libqt6widgets6' || { echo "no dependency on Qt's widgets"; status=1; }

desktop-file-validate "$source/packaging/fenwa5.desktop" || status=1
man --warnings -l "$source/packaging/fenwa5-baza.1" >/dev/null 2>"$out/man.log" || true
if [ -s "$out/man.log" ]; then cat "$out/man.log"; status=1; fi
exit $status
