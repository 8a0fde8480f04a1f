#!/usr/bin/env bash
# Fails when a source of the tree is not as clang-format (the committed .clang-format)
# writes it. "cmake --build build --target format" formats the same files.
#
#   tools/check-format.sh [SOURCE_ROOT]
set -euo pipefail
root="$(cd "${1:-$(dirname "${BASH_SOURCE[0]}")/..}" && pwd)"
cd "$root"
format="$(command -v clang-format || command -v clang-format-14 || true)"
if [ -z "$format" ]; then
    echo "check-format: clang-format is not installed" >&2
    exit 2
fi
find core components controls modules menu tools tests -type f \( -name '*.h' -o -name '*.cpp' \) -print0 |
    sort -z | xargs -0 "$format" --dry-run -Werror
echo "check-format: ok"
