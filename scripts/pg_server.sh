# A throw-away PostgreSQL server for the tests and benchmarks: a fresh
# cluster in a temporary folder, owned by an unprivileged user (the server
# refuses to run as root), listening only on 127.0.0.1 on a free port.
# Sourced, not run. After lty_pg_start:
#   LTY_PG_DIR   the cluster's folder (removed by lty_pg_stop)
#   LTY_PG_PORT  its port
#   LTY_TEST_PG  a connection string for the cluster's superuser
# lty_pg_start installs a trap so the server stops when the script exits,
# also when a test fails; call lty_pg_stop to stop it earlier.

lty_pg_bindir() {
    local d
    d=$(pg_config --bindir 2>/dev/null || true)
    if [ -n "$d" ] && [ -x "$d/initdb" ]; then echo "$d"; return; fi
    # Debian keeps the server programs out of PATH, one folder per version.
    for d in $(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V -r); do
        [ -x "$d/initdb" ] && { echo "$d"; return; }
    done
    echo "initdb not found: install the postgresql package" >&2
    return 1
}

# The server must not run as root; when we are root, a system user runs it.
lty_pg_user() {
    if [ "$(id -u)" -ne 0 ]; then id -un; return; fi
    if ! id -u lty_pgtest >/dev/null 2>&1; then
        useradd --system --no-create-home --home-dir /nonexistent --shell /usr/sbin/nologin lty_pgtest
    fi
    echo lty_pgtest
}

lty_pg_as() {
    local user=$1; shift
    if [ "$(id -un)" = "$user" ]; then "$@"; else runuser -u "$user" -- "$@"; fi
}

lty_pg_free_port() {
    python3 - 2>/dev/null <<'PY' && return
import socket
s = socket.socket()
s.bind(("127.0.0.1", 0))
print(s.getsockname()[1])
PY
    # Without python: the first port from 54320 on that nothing listens on.
    local p=54320
    while (exec 3<>"/dev/tcp/127.0.0.1/$p") 2>/dev/null; do p=$((p + 1)); done
    echo "$p"
}

lty_pg_start() {
    local bindir user
    bindir=$(lty_pg_bindir) || return 1
    user=$(lty_pg_user)
    LTY_PG_DIR=$(mktemp -d /tmp/lty-pg.XXXXXX)
    chown "$user" "$LTY_PG_DIR"
    chmod 700 "$LTY_PG_DIR"
    LTY_PG_BIN=$bindir
    LTY_PG_RUNAS=$user
    trap lty_pg_stop EXIT
    lty_pg_as "$user" "$bindir/initdb" -D "$LTY_PG_DIR/data" -U postgres -A trust -E UTF8 --locale=C.UTF-8 \
        >"$LTY_PG_DIR/initdb.log" 2>&1 || { cat "$LTY_PG_DIR/initdb.log" >&2; return 1; }
    local tries
    for tries in 1 2 3 4 5; do
        LTY_PG_PORT=$(lty_pg_free_port)
        # The unix socket goes into the cluster's own folder, not /var/run.
        if lty_pg_as "$user" "$bindir/pg_ctl" -D "$LTY_PG_DIR/data" -l "$LTY_PG_DIR/server.log" -w -t 60 \
            -o "-c listen_addresses=127.0.0.1 -p $LTY_PG_PORT -c unix_socket_directories=$LTY_PG_DIR ${LTY_PG_OPTIONS:-}" \
            start >/dev/null; then
            export LTY_PG_DIR LTY_PG_PORT
            export LTY_TEST_PG="host=127.0.0.1 port=$LTY_PG_PORT dbname=postgres user=postgres"
            echo "PostgreSQL test server on 127.0.0.1:$LTY_PG_PORT ($LTY_PG_DIR)"
            return 0
        fi
        tail -5 "$LTY_PG_DIR/server.log" >&2 || true
    done
    return 1
}

lty_pg_stop() {
    [ -n "${LTY_PG_DIR:-}" ] || return 0
    if [ -f "$LTY_PG_DIR/data/postmaster.pid" ]; then
        lty_pg_as "$LTY_PG_RUNAS" "$LTY_PG_BIN/pg_ctl" -D "$LTY_PG_DIR/data" -m fast -w stop >/dev/null 2>&1 || true
    fi
    rm -rf "$LTY_PG_DIR"
    unset LTY_PG_DIR LTY_PG_PORT LTY_TEST_PG
}
