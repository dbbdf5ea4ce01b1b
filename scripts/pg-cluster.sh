#!/usr/bin/env bash
# A throwaway PostgreSQL 15 cluster for the tests: Unix socket only, in a
# folder of its own, trust authentication, nothing on TCP.
#
#   scripts/pg-cluster.sh start DIR   creates and starts it; prints the
#                                     libpq connection string to use
#   scripts/pg-cluster.sh stop DIR    stops it and removes DIR
#   scripts/pg-cluster.sh with CMD... runs CMD with TALLVANE_PG_SERVER set:
#                                     the cluster already running when the
#                                     variable is set, else a private one
#
# The server refuses to run as root: as root it runs as the package's
# `postgres` user, so DIR is made traversable for that user.
set -euo pipefail

bin=/usr/lib/postgresql/15/bin
port=${TALLVANE_PG_PORT:-5499}

die() { echo "pg-cluster: $*" >&2; exit 1; }

as_owner() {
    if [ "$(id -u)" -eq 0 ]; then runuser -u postgres -- "$@"; else "$@"; fi
}

owner() {
    if [ "$(id -u)" -eq 0 ]; then echo postgres; else id -un; fi
}

start() {
    local dir=$1
    [ -x "$bin/initdb" ] || die "PostgreSQL 15 is not installed ($bin/initdb missing): run scripts/deps.sh"
    mkdir -p "$dir"
    dir=$(cd "$dir" && pwd)
    if [ "$(id -u)" -eq 0 ]; then
        id postgres >/dev/null 2>&1 || die "no 'postgres' user to run the server as"
        chmod 755 "$dir"
        chown postgres "$dir"
    fi
    as_owner "$bin/initdb" -D "$dir/data" -A trust -E UTF8 --locale=C.UTF-8 >"$dir/initdb.log" 2>&1 \
        || { cat "$dir/initdb.log" >&2; die "initdb failed"; }
    as_owner "$bin/pg_ctl" -D "$dir/data" -l "$dir/server.log" -w \
        -o "-k $dir -c listen_addresses= -p $port -c fsync=off" start >/dev/null \
        || { cat "$dir/server.log" >&2; die "the server did not start"; }
    echo "host=$dir port=$port user=$(owner) dbname=postgres"
}

stop() {
    local dir=$1
    [ -d "$dir/data" ] && as_owner "$bin/pg_ctl" -D "$dir/data" -m immediate -w stop >/dev/null 2>&1 || true
    rm -rf "$dir"
}

with() {
    if [ -n "${TALLVANE_PG_SERVER:-}" ]; then
        exec "$@"
    fi
    private_dir=$(mktemp -d /tmp/tallvane-pg.XXXXXX)
    # A port of its own, so several of these may run side by side.
    port=$((20000 + $$ % 20000))
    trap 'stop "$private_dir"' EXIT
    TALLVANE_PG_SERVER=$(start "$private_dir")
    export TALLVANE_PG_SERVER
    "$@"
}

case "${1:-}" in
start) [ $# -eq 2 ] || die "usage: $0 start DIR"; start "$2" ;;
stop) [ $# -eq 2 ] || die "usage: $0 stop DIR"; stop "$2" ;;
with) shift; [ $# -ge 1 ] || die "usage: $0 with COMMAND..."; with "$@" ;;
*) die "usage: $0 start DIR | stop DIR | with COMMAND..." ;;
esac
