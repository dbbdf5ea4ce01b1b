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
#   scripts/pg-cluster.sh own CMD...  runs CMD on a private cluster that
#                                     also listens on 127.0.0.1 with TLS,
#                                     whatever TALLVANE_PG_SERVER says; CMD
#                                     may stop and start it (the fault
#                                     tests): TALLVANE_PG_DIR names it
#   scripts/pg-cluster.sh restart|halt|resume DIR
#                                     restarts, stops (data kept) or starts
#                                     again the cluster of DIR
#
# With TALLVANE_PG_TLS=1, start also listens on 127.0.0.1 (port as above)
# with TLS, its certificate DIR/server.crt self-signed for "localhost".
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
    local options="-k $dir -c listen_addresses= -p $port -c fsync=off"
    if [ "${TALLVANE_PG_TLS:-}" = 1 ]; then
        openssl req -new -x509 -days 2 -nodes -subj "/CN=localhost" -addext "subjectAltName=DNS:localhost" \
            -keyout "$dir/server.key" -out "$dir/server.crt" >"$dir/openssl.log" 2>&1 \
            || { cat "$dir/openssl.log" >&2; die "no certificate"; }
        chmod 600 "$dir/server.key"
        [ "$(id -u)" -eq 0 ] && chown postgres "$dir/server.key" "$dir/server.crt"
        options="-k $dir -c listen_addresses=127.0.0.1 -p $port -c fsync=off -c ssl=on"
        options+=" -c ssl_cert_file=$dir/server.crt -c ssl_key_file=$dir/server.key"
    fi
    echo "$options" >"$dir/options"
    as_owner "$bin/pg_ctl" -D "$dir/data" -l "$dir/server.log" -w -o "$options" start >/dev/null \
        || { cat "$dir/server.log" >&2; die "the server did not start"; }
    echo "host=$dir port=$port user=$(owner) dbname=postgres"
}

control() {
    local action=$1 dir=$2
    case $action in
    halt) as_owner "$bin/pg_ctl" -D "$dir/data" -m fast -w stop >/dev/null ;;
    resume | restart)
        [ "$action" = restart ] && as_owner "$bin/pg_ctl" -D "$dir/data" -m fast -w stop >/dev/null
        as_owner "$bin/pg_ctl" -D "$dir/data" -l "$dir/server.log" -w -o "$(cat "$dir/options")" start >/dev/null \
            || { cat "$dir/server.log" >&2; die "the server did not start"; }
        ;;
    esac
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

own() {
    private_dir=$(mktemp -d /tmp/tallvane-pg.XXXXXX)
    port=$((20000 + $$ % 20000))
    trap 'stop "$private_dir"' EXIT
    TALLVANE_PG_SERVER=$(TALLVANE_PG_TLS=1 start "$private_dir")
    TALLVANE_PG_DIR=$private_dir
    TALLVANE_PG_SCRIPT=$(realpath "$0")
    export TALLVANE_PG_SERVER TALLVANE_PG_DIR TALLVANE_PG_SCRIPT
    "$@"
}

case "${1:-}" in
start) [ $# -eq 2 ] || die "usage: $0 start DIR"; start "$2" ;;
stop) [ $# -eq 2 ] || die "usage: $0 stop DIR"; stop "$2" ;;
restart | halt | resume) [ $# -eq 2 ] || die "usage: $0 $1 DIR"; control "$1" "$2" ;;
with) shift; [ $# -ge 1 ] || die "usage: $0 with COMMAND..."; with "$@" ;;
own) shift; [ $# -ge 1 ] || die "usage: $0 own COMMAND..."; own "$@" ;;
*) die "usage: $0 start DIR | stop DIR | restart|halt|resume DIR | with COMMAND... | own COMMAND..." ;;
esac
