#!/usr/bin/env bash
# Runs one command inside a throw-away desktop session: an Xvfb server on a free display with the
# openbox window manager, as on a user's desktop (real X events, window activation and frames).
# With --accessibility the command also gets its own session bus and the AT-SPI accessibility bus,
# and Qt programs publish their widgets on it, as a screen reader expects them.
# Both servers are stopped however the command ends; its exit status is passed on.
#
#   scripts/desktop-session.sh [--accessibility] COMMAND [ARGUMENTS...]
#
# Exits with 77 (a skipped test for CTest) when Xvfb or openbox is not installed, or with 1 when
# TOURWISE_REQUIRE_DESKTOP is set.
set -euo pipefail

skip() {
    echo "SKIP: $* (scripts/test.sh installs it)" >&2
    [ -n "${TOURWISE_REQUIRE_DESKTOP:-}" ] && exit 1
    exit 77
}

accessibility=false
if [ "${1:-}" = "--accessibility" ]; then
    accessibility=true
    shift
fi
[ $# -gt 0 ] || {
    echo "usage: $0 [--accessibility] COMMAND [ARGUMENTS...]" >&2
    exit 2
}

for tool in Xvfb openbox xdpyinfo; do
    command -v "$tool" >/dev/null || skip "$tool is not installed"
done

if $accessibility && [ -z "${TOURWISE_SESSION_BUS:-}" ]; then
    command -v dbus-run-session >/dev/null || skip "dbus-run-session is not installed"
    [ -x /usr/libexec/at-spi-bus-launcher ] || skip "at-spi-bus-launcher is not installed"
    # A private session bus, so the test never talks to a desktop that happens to be running.
    TOURWISE_SESSION_BUS=1 exec dbus-run-session -- bash "$0" --accessibility "$@"
fi

work=$(mktemp -d)
pids=()
stop_session() {
    local pid
    for pid in "${pids[@]}"; do
        kill "$pid" 2>/dev/null || true
    done
    for pid in "${pids[@]}"; do
        wait "$pid" 2>/dev/null || true
    done
    rm -rf "$work"
}
trap stop_session EXIT
trap 'exit 129' HUP
trap 'exit 130' INT
trap 'exit 143' TERM

# Xvfb picks a free display itself and writes its number to the descriptor given; -noreset, or
# the server resets when the readiness probe disconnects, under the next client's feet.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset \
    3>"$work/display" >"$work/xvfb.log" 2>&1 &
pids+=($!)
until [ -s "$work/display" ] && display=$(head -n 1 "$work/display") && [ -n "$display" ]; do
    kill -0 "${pids[0]}" 2>/dev/null || {
        echo "Xvfb did not start:" >&2
        cat "$work/xvfb.log" >&2
        exit 1
    }
    sleep 0.05
done
export DISPLAY=":$display"
unset WAYLAND_DISPLAY
until xdpyinfo >/dev/null 2>&1; do
    kill -0 "${pids[0]}" 2>/dev/null || {
        echo "Xvfb ended early:" >&2
        cat "$work/xvfb.log" >&2
        exit 1
    }
    sleep 0.05
done

# openbox runs its --startup command once it has started. Its mark on the root window comes
# earlier: a window mapped in between was at times never managed, so never shown nor activated
# (3 sessions in 60 under load).
openbox --sm-disable --startup "touch '$work/openbox-started'" >"$work/openbox.log" 2>&1 &
pids+=($!)
until [ -e "$work/openbox-started" ]; do
    kill -0 "${pids[1]}" 2>/dev/null || {
        echo "openbox did not start:" >&2
        cat "$work/openbox.log" >&2
        exit 1
    }
    sleep 0.05
done

if $accessibility; then
    /usr/libexec/at-spi-bus-launcher --launch-immediately >"$work/atspi.log" 2>&1 &
    pids+=($!)
    # Asked before it owns its name, the session bus would start a second launcher.
    until dbus-send --session --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
        org.freedesktop.DBus.NameHasOwner string:org.a11y.Bus 2>/dev/null |
        grep -q 'boolean true'; do
        kill -0 "${pids[2]}" 2>/dev/null || {
            echo "at-spi-bus-launcher did not start:" >&2
            cat "$work/atspi.log" >&2
            exit 1
        }
        sleep 0.05
    done
    export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
fi

export QT_QPA_PLATFORM=xcb
status=0
"$@" || status=$?
exit "$status"
