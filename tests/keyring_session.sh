#!/usr/bin/env bash
# Runs a command in a D-Bus session of its own with gnome-keyring's Secret Service, unlocked with
# a test password, in a home and runtime folder of its own; stops the keyring and the bus at the
# end. Exits 77 (skipped) when dbus-run-session or gnome-keyring-daemon is missing, unless
# TOURWISE_REQUIRE_KEYRING=1.
# Usage: tests/keyring_session.sh COMMAND [ARGUMENT...]
set -euo pipefail

if [ -z "${TOURWISE_KEYRING_INSIDE:-}" ]; then
    for tool in dbus-run-session gnome-keyring-daemon dbus-send; do
        if ! command -v "$tool" >/dev/null; then
            echo "keyring_session.sh: $tool is missing" >&2
            [ "${TOURWISE_REQUIRE_KEYRING:-0}" = 1 ] && exit 1
            exit 77
        fi
    done
    folder=$(mktemp -d)
    trap 'rm -rf "$folder"' EXIT
    status=0
    TOURWISE_KEYRING_INSIDE=$folder dbus-run-session -- bash "$0" "$@" || status=$?
    exit $status
fi

folder=$TOURWISE_KEYRING_INSIDE
mkdir -p "$folder/home" "$folder/runtime"
chmod 700 "$folder/runtime"
export HOME=$folder/home XDG_RUNTIME_DIR=$folder/runtime XDG_DATA_HOME=$folder/home/data
export XDG_CONFIG_HOME=$folder/home/config XDG_CACHE_HOME=$folder/home/cache
# The unlock password goes on standard input, never on a command line.
printf 'keyring-test-password' |
    gnome-keyring-daemon --foreground --unlock --components=secrets >"$folder/keyring.log" 2>&1 &
keyring=$!
stop_keyring() { kill "$keyring" 2>/dev/null || true; wait "$keyring" 2>/dev/null || true; }
trap stop_keyring EXIT

# Ready once the Secret Service has its name on the bus (a guard of 20 s).
for _ in $(seq 200); do
    if dbus-send --session --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
        org.freedesktop.DBus.NameHasOwner string:org.freedesktop.secrets 2>/dev/null |
        grep -q 'boolean true'; then
        export TOURWISE_TEST_KEYRING=1
        "$@"
        exit $?
    fi
    kill -0 "$keyring" 2>/dev/null || break
    sleep 0.1
done
echo "keyring_session.sh: the Secret Service did not start:" >&2
cat "$folder/keyring.log" >&2
exit 1
