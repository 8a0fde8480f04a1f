#!/usr/bin/env bash
# A private database server for one test run: a cluster made by initdb in a folder of its own,
# listening on a Unix socket in that folder only (no TCP port), run as an unprivileged user
# (the server refuses to run as root), stopped and removed at the end of the run.
#   testserver.sh start DIR    start it; the tests reach it at
#                              postgresql:///postgres?host=DIR&user=tesaro
#   testserver.sh stop DIR     stop it and remove DIR
# A server that cannot be started is a failure: the tests that need it must not pass.
set -euo pipefail

command="${1:-}"
dir="${2:-}"
if [ -z "$command" ] || [ -z "$dir" ]; then
    echo "usage: $0 start|stop DIR" >&2
    exit 2
fi

bin="$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n 1)"
if [ -z "$bin" ] || [ ! -x "$bin/initdb" ]; then
    echo "testserver: no database server is installed (Debian package postgresql)" >&2
    exit 1
fi

as_user=()
if [ "$(id -u)" -eq 0 ]; then
    as_user=(runuser -u nobody --)
fi

stop() {
    if [ -f "$dir/data/postmaster.pid" ]; then
        "${as_user[@]}" "$bin/pg_ctl" -D "$dir/data" -m immediate -w stop >/dev/null 2>&1 || true
    fi
    if [ -L "$dir/data" ]; then
        rm -rf "$(readlink "$dir/data")"
    fi
    rm -rf "$dir"
}

case "$command" in
start)
    stop
    mkdir -p "$dir"
    # The cluster lives in memory where it can: every test copies a database, thousands of
    # small files, which a loaded disk makes several times slower.
    if [ -d /dev/shm ] && [ -w /dev/shm ]; then
        ln -s "$(mktemp -d /dev/shm/tesaro-testserver.XXXXXX)" "$dir/data"
    fi
    if [ ${#as_user[@]} -gt 0 ]; then
        chown nobody "$dir"
        if [ -L "$dir/data" ]; then
            chown nobody "$(readlink "$dir/data")"
        fi
    fi
    if ! "${as_user[@]}" "$bin/initdb" -D "$dir/data" -U tesaro -A trust -E UTF8 --locale=C.UTF-8 --no-sync \
        >"$dir/initdb.log" 2>&1; then
        cat "$dir/initdb.log" >&2
        exit 1
    fi
    # Durability is no concern of a server thrown away after the run. Backslashes escape in
    # literals unless a session says otherwise, as on an old or carelessly set server: the
    # suite must never depend on the server's default there.
    if ! "${as_user[@]}" "$bin/pg_ctl" -D "$dir/data" -l "$dir/server.log" -w -t 60 \
        -o "-c listen_addresses='' -k $dir -c fsync=off -c synchronous_commit=off -c full_page_writes=off -c standard_conforming_strings=off" \
        start >/dev/null; then
        cat "$dir/server.log" >&2
        exit 1
    fi
    ;;
stop)
    stop
    ;;
*)
    echo "usage: $0 start|stop DIR" >&2
    exit 2
    ;;
esac
