#!/usr/bin/env bash
# Makes the pictures of docs/GUIDE.*.md again: builds the screenshot tool, copies the
# sample data directory (the pictures never change it) and grabs the main menu and the
# main window of every module on a virtual display.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
build="${TESARO_BUILD_DIR:-$here/build}"
cmake --build "$build" --target screenshots deskadmin >/dev/null
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
"$build/bin/deskadmin" init "$scratch/data" --sample >/dev/null
xvfb-run -a -s '-screen 0 1280x1024x24' "$build/bin/screenshots" "$scratch/data" "$here/docs/screenshots"
