#!/usr/bin/env bash
# Set-up, run and test of the Tesaro front-desk suite on Debian 12.
#   ./tesaro.sh run    install what is missing, build, prepare sample data, start deskmain
#   ./tesaro.sh test   install what is missing, build, prepare sample data, run every test
#   ./tesaro.sh package  install what is missing, build, make the Debian package
#   ./tesaro.sh sanitize install what is missing, build once more with AddressSanitizer and
#                        UndefinedBehaviorSanitizer (in build-sanitize), run the file-engine tests
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
build="${TESARO_BUILD_DIR:-$here/build}"
data="${TESARO_DATA_DIR:-$here/sample-data}"
mode="${1:-}"

packages=(
    cmake ninja-build g++ ccache pkg-config
    qt6-base-dev qt6-base-dev-tools libqt6sql6-sqlite libsqlite3-dev libgl-dev
    qt6-translations-l10n fonts-noto-cjk xvfb xauth poppler-utils clang-format
    qt6-charts-dev libqt6opengl6-dev dpkg-dev file
    postgresql libqt6sql6-psql
)

say() { printf 'tesaro: %s\n' "$*"; }

install_packages() {
    local missing=()
    for p in "${packages[@]}"; do
        if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
            missing+=("$p")
        fi
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    say "installing missing Debian packages: ${missing[*]}"
    local sudo=()
    if [ "$(id -u)" -ne 0 ]; then
        command -v sudo >/dev/null || { say "run as root or install sudo to install: ${missing[*]}"; exit 1; }
        sudo=(sudo)
    fi
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -q
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
}

build_all() {
    # TESARO_WERROR=ON (CI) makes every compiler warning an error.
    cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DDESK_WERROR="${TESARO_WERROR:-OFF}" >/dev/null
    cmake --build "$build"
}

prepare_data() {
    local admin="$build/bin/deskadmin"
    if [ ! -e "$data/BTReservation.mdb" ]; then
        if [ ! -x "$admin" ]; then
            say "deskadmin is not built yet: no sample data directory can be made"
            return 1
        fi
        say "creating the sample data directory $data"
        "$admin" init "$data" --sample
    fi
    # The main menu finds its data through DPath.txt beside itself.
    printf '%s/\n' "$data" > "$build/bin/DPath.txt"
}

case "$mode" in
run)
    install_packages
    build_all
    prepare_data || exit 1
    if [ ! -x "$build/bin/deskmain" ]; then
        say "deskmain is not built yet: there is nothing to start"
        exit 1
    fi
    if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
        say "no display is available. Start it on a virtual one with:"
        say "    xvfb-run -a -s '-screen 0 1280x1024x24' ./tesaro.sh run"
        exit 1
    fi
    exec "$build/bin/deskmain"
    ;;
test)
    install_packages
    build_all
    prepare_data || say "continuing without sample data"
    ctest --test-dir "$build" --output-on-failure --timeout 300 -j 2
    ;;
sanitize)
    install_packages
    sanitized="${TESARO_SANITIZE_BUILD_DIR:-$here/build-sanitize}"
    cmake -S "$here" -B "$sanitized" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DDESK_WERROR="${TESARO_WERROR:-OFF}" -DDESK_SANITIZE=ON >/dev/null
    cmake --build "$sanitized"
    # Every finding stops its test; the leaks of the libraries below the suite are theirs.
    ASAN_OPTIONS="detect_leaks=1:abort_on_error=0:strict_string_checks=1:detect_stack_use_after_return=1" \
    LSAN_OPTIONS="suppressions=$here/tools/sanitize/leaks.supp:print_suppressions=0" \
    UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1" \
        ctest --test-dir "$sanitized" --output-on-failure --timeout 600 -j 2 -L sqlite
    ;;
package)
    install_packages
    build_all
    cmake --build "$build" --target package
    ;;
*)
    echo "usage: $0 run|test|package|sanitize" >&2
    exit 2
    ;;
esac
