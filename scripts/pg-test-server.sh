#!/usr/bin/env bash
# A throwaway PostgreSQL server for the tests.
#
#   scripts/pg-test-server.sh start [OWNER_PID]   prints the folder and the connection string
#   scripts/pg-test-server.sh stop FOLDER         stops the server and removes its folder
#   scripts/pg-test-server.sh run [COMMAND…]      runs the command (else a shell) with
#                                                 USERDEF_TEST_PG set, then stops the server
#
# start makes a new folder under /tmp, runs initdb there and starts the server on a Unix socket
# in that folder (no TCP), with trust for local connections and without fsync. It prints two
# lines: the folder, then a libpq connection string (user postgres, database postgres). Given
# OWNER_PID, a watcher stops the server once that process is gone, so a killed caller leaves
# nothing running. The server never runs as root: under root it runs as the system user
# postgres, which owns the folder.
set -euo pipefail

fail() { echo "pg-test-server: $*" >&2; exit 1; }

bindir() {
    if [ -n "${USERDEF_PG_BINDIR:-}" ]; then echo "$USERDEF_PG_BINDIR"; return; fi
    local found
    found=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n 1 || true)
    if [ -n "$found" ] && [ -x "$found/initdb" ]; then echo "$found"; return; fi
    found=$(command -v initdb || true)
    [ -n "$found" ] || fail "initdb not found: install postgresql (scripts/deps.sh) or set USERDEF_PG_BINDIR"
    dirname "$found"
}

# Runs a command as the user who owns the server: ourselves, or postgres when we are root.
as_owner() {
    if [ "$(id -u)" -eq 0 ]; then
        (cd / && runuser -u postgres -- "$@")
    else
        "$@"
    fi
}

start() {
    local owner=${1:-} bin dir port=5432
    bin=$(bindir)
    if [ "$(id -u)" -eq 0 ]; then
        id postgres >/dev/null 2>&1 || fail "running as root needs the system user postgres (package postgresql)"
    fi
    # Short on purpose: a Unix socket path may not pass 107 bytes.
    dir=$(mktemp -d /tmp/userdef-pg.XXXXXX)
    [ "$(id -u)" -eq 0 ] && chown postgres: "$dir"
    chmod 700 "$dir"
    if ! as_owner "$bin/initdb" -D "$dir/data" -U postgres --auth=trust -E UTF8 --locale=C \
            --no-sync >"$dir/initdb.log" 2>&1; then
        cat "$dir/initdb.log" >&2
        rm -rf "$dir"
        fail "initdb failed"
    fi
    cat >>"$dir/data/postgresql.conf" <<EOF
listen_addresses = ''
unix_socket_directories = '$dir'
port = $port
fsync = off
synchronous_commit = off
full_page_writes = off
shared_buffers = 32MB
max_connections = 100
log_min_messages = warning
EOF
    if ! as_owner "$bin/pg_ctl" -D "$dir/data" -l "$dir/server.log" -w -t 60 start >/dev/null; then
        cat "$dir/server.log" >&2 || true
        stop "$dir"
        fail "the server did not start"
    fi
    if [ -n "$owner" ]; then
        # Detached and silent, so that no caller waits on its output.
        setsid "$0" watch "$owner" "$dir" </dev/null >/dev/null 2>&1 &
    fi
    echo "$dir"
    echo "host=$dir port=$port dbname=postgres user=postgres"
}

stop() {
    local dir=${1:-}
    [ -n "$dir" ] || fail "stop needs the folder start printed"
    case "$dir" in /tmp/userdef-pg.*) ;; *) fail "not a test server folder: $dir" ;; esac
    if [ -f "$dir/data/postmaster.pid" ]; then
        as_owner "$(bindir)/pg_ctl" -D "$dir/data" -m immediate -w -t 60 stop >/dev/null 2>&1 || true
    fi
    rm -rf "$dir"
}

watch() {
    local owner=$1 dir=$2
    while kill -0 "$owner" 2>/dev/null && [ -d "$dir" ]; do sleep 1; done
    [ -d "$dir" ] && stop "$dir"
    return 0
}

run() {
    local out status=0
    out=$(start $$)
    run_dir=$(sed -n 1p <<<"$out")  # global: the trap runs after this function has returned
    trap 'stop "$run_dir"' EXIT
    trap 'exit 130' INT
    trap 'exit 143' TERM
    export USERDEF_TEST_PG
    USERDEF_TEST_PG=$(sed -n 2p <<<"$out")
    if (($#)); then
        "$@" || status=$?
    else
        echo "Test server in $run_dir; USERDEF_TEST_PG is set. Leave the shell to stop it." >&2
        "${SHELL:-bash}" || status=$?
    fi
    return $status
}

case "${1:-}" in
    start) start "${2:-}" ;;
    stop) stop "${2:-}" ;;
    watch) watch "$2" "$3" ;;
    run) shift; run "$@" ;;
    *) fail "usage: $0 start [OWNER_PID] | stop FOLDER | run [COMMAND…]" ;;
esac
