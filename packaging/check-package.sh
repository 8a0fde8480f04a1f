#!/usr/bin/env bash
# Builds the Debian package and tries it: as root it is installed for real (apt resolves
# its dependencies), the data folder its maintainer script created is checked with
# deskadmin, and the package is removed again, which must keep the data. Without root the
# package is unpacked into a scratch root and an inn is created and checked there.
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${TESARO_BUILD_DIR:-$here/build}"
say() { printf 'check-package: %s\n' "$*"; }

cmake --build "$build" --target package >/dev/null
deb="$(ls -t "$build"/tesaro_*.deb | head -n 1)"
say "built $(basename "$deb")"

if [ "$(id -u)" -eq 0 ] && [ ! -e /var/lib/tesaro ]; then
    DEBIAN_FRONTEND=noninteractive apt-get install -y -q "$deb" >/dev/null
    say "installed; checking /var/lib/tesaro"
    /usr/bin/deskadmin check /var/lib/tesaro
    test "$(stat -c %G /var/lib/tesaro)" = tesaro
    DEBIAN_FRONTEND=noninteractive apt-get remove -y -q tesaro >/dev/null
    test -e /var/lib/tesaro/BTSales.mdb || { say "removing the package lost the data"; exit 1; }
    say "removed; the data folder is kept"
else
    scratch="$(mktemp -d)"
    trap 'rm -rf "$scratch"' EXIT
    dpkg -x "$deb" "$scratch/root"
    test "$(cat "$scratch/root/usr/lib/tesaro/DPath.txt")" = /var/lib/tesaro/
    "$scratch/root/usr/lib/tesaro/deskadmin" init "$scratch/data" >/dev/null
    say "unpacked into a scratch root; checking a new inn made by its deskadmin"
    "$scratch/root/usr/lib/tesaro/deskadmin" check "$scratch/data"
fi
say "ok"
