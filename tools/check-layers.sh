#!/usr/bin/env bash
# Fails on an #include that points up a layer. Dependencies point down only:
#   core/convert < core/data < core/ui, core/report, core/sampledata < core/entry < components < controls
#   < modules < menu < tools
# Components never include core/ui, and they, core/data and core/convert never include a
# QtWidgets header. Test folders and core/testsupport may include what they test; nothing
# else includes core/testsupport.
#
#   tools/check-layers.sh [SOURCE_ROOT]
set -euo pipefail
root="$(cd "${1:-$(dirname "${BASH_SOURCE[0]}")/..}" && pwd)"
cd "$root"

# QtWidgets' own header names, to tell <QLineEdit> from <QString>.
widgets_dir=""
for dir in "$(qtpaths6 --query QT_INSTALL_HEADERS 2>/dev/null || true)" /usr/include/*/qt6 /usr/include/qt6; do
    if [ -n "$dir" ] && [ -d "$dir/QtWidgets" ]; then
        widgets_dir="$dir/QtWidgets"
        break
    fi
done
if [ -z "$widgets_dir" ]; then
    echo "check-layers: the QtWidgets headers are not found" >&2
    exit 2
fi

folders="core components controls modules menu tools"
# shellcheck disable=SC2086
find $folders -type f -print | sort >"${TMPDIR:-/tmp}/check-layers.$$.files"
trap 'rm -f "${TMPDIR:-/tmp}/check-layers.$$.files"' EXIT

# One pass over every include of the tree. Quoted includes name a folder by their first
# part ("data/RowSet.h" is core/data: every library exposes the folder above its own) or
# a file beside the includer (its own, a uic "ui_X.h" of an X.ui, a header made from X.in).
# shellcheck disable=SC2086
grep -n '^[[:space:]]*#[[:space:]]*include' $(grep -E '\.(h|cpp)$' "${TMPDIR:-/tmp}/check-layers.$$.files") |
    awk -v widgets="$(ls "$widgets_dir" | tr '\n' ' ')" -v filelist="${TMPDIR:-/tmp}/check-layers.$$.files" '
function rank(folder) {
    if (folder == "core/convert") return 0
    if (folder == "core/data") return 1
    if (folder == "core/ui" || folder == "core/report" || folder == "core/sampledata") return 2
    if (folder == "core/entry") return 3
    if (folder == "core/testsupport") return 99
    if (folder ~ /^components\//) return 4
    if (folder ~ /^controls\//) return 5
    if (folder ~ /^modules\//) return 6
    if (folder ~ /^menu\//) return 7
    if (folder ~ /^tools\//) return 8
    return -1
}
function complain(text) {
    print "check-layers: " text > "/dev/stderr"
    failures++
}
BEGIN {
    n = split(widgets, names, " ")
    for (i = 1; i <= n; i++) widget[names[i]] = 1
    while ((getline line < filelist) > 0) {
        exists[line] = 1
        split(line, parts, "/")
        folder[parts[2]] = parts[1] "/" parts[2]
    }
}
{
    file = $0; sub(/:.*/, "", file)
    rest = substr($0, length(file) + 2)
    number = rest; sub(/:.*/, "", number)
    text = substr(rest, length(number) + 2)
    if (file ~ /\/tests\// || file ~ /^core\/testsupport\//) next
    split(file, parts, "/")
    own = parts[1] "/" parts[2]
    ownRank = rank(own)
    if (ownRank < 0) { complain(file ": the folder " own " has no place in the layers"); next }
    dir = file; sub(/\/[^\/]*$/, "", dir)
    if (match(text, /"[^"]+"/)) {
        inc = substr(text, RSTART + 1, RLENGTH - 2)
        if ((dir "/" inc) in exists || (dir "/" inc ".in") in exists) next
        if (inc ~ /^ui_.*\.h$/) {
            form = substr(inc, 4); sub(/\.h$/, ".ui", form)
            if ((dir "/" form) in exists) next
        }
        first = inc; sub(/\/.*/, "", first)
        if (!(first in folder) || inc !~ /\//) { complain(file ":" number ": \"" inc "\" names no file of the tree"); next }
        target = folder[first]
        if (target == own) next
        targetRank = rank(target)
        if (targetRank == 99) complain(file ":" number ": only tests include " target)
        else if (targetRank > ownRank) complain(file ":" number ": " own " includes " target ", a layer above it")
        else if (own ~ /^components\// && target == "core/ui") complain(file ":" number ": a component includes core/ui")
    } else if (match(text, /<[^>]+>/)) {
        inc = substr(text, RSTART + 1, RLENGTH - 2)
        if (own ~ /^components\// || own == "core/data" || own == "core/convert")
            if (inc ~ /^QtWidgets\// || inc in widget)
                complain(file ":" number ": " own " includes the widget header <" inc ">")
    }
}
END {
    if (failures > 0) {
        print "check-layers: " failures " include(s) against the layers" > "/dev/stderr"
        exit 1
    }
    print "check-layers: ok"
}'
