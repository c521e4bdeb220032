#!/usr/bin/env bash
# Installs the Debian packages that the build and the tests need, only those that are missing,
# so a second run costs nothing, and keeps the long output of such steps in build/logs/. Sourced
# by run.sh, test.sh, .ci/run and bench/run_bench.sh.
set -euo pipefail

# The folder of the logs, build/logs/ of the repository unless TOURWISE_LOGS names another (the
# tests that run the scripts keep theirs apart).
tourwise_logs=${TOURWISE_LOGS:-build/logs}

# Runs a command with its output kept in build/logs/NAME.log (appended to, each run headed by
# its date) and only one line on standard error, which is where everything the scripts say goes:
# standard output is the program's (scripts/run.sh --export-ics - …). When the command fails, the
# end of the log follows. The command's exit status is passed on.
tourwise_logged() {
    local name=$1 what=$2
    shift 2
    local log=$tourwise_logs/$name.log
    mkdir -p "$tourwise_logs"
    echo "-- $what (log: $log)" >&2
    local status=0
    {
        echo "== $(date '+%F %T') $what"
        tourwise_timed "$name" "$@"
    } >>"$log" 2>&1 </dev/null || status=$?
    if ((status != 0)); then
        echo "-- failed with exit status $status: $what; the end of $log:" >&2
        tail -n 50 "$log" >&2
    fi
    return "$status"
}

# The processor time (user and system, in clock ticks) of this shell's children that have ended,
# from /proc: the builds and test runs of a phase are such children.
tourwise_children_ticks() {
    local fields
    read -r -a fields <"/proc/$BASHPID/stat"
    tourwise_user_ticks=${fields[15]}
    tourwise_system_ticks=${fields[16]}
}

# Runs a command and adds a line to build/logs/phases.log: the time it took and the processor
# time its processes used, so that a slow phase can be told from a busy machine. The command's
# exit status is passed on.
tourwise_timed() {
    local name=$1
    shift
    local start=$EPOCHREALTIME status=0
    tourwise_children_ticks
    local user=$tourwise_user_ticks system=$tourwise_system_ticks
    "$@" || status=$?
    tourwise_children_ticks
    local ticks
    ticks=$(getconf CLK_TCK)
    mkdir -p "$tourwise_logs"
    awk -v name="$name" -v start="$start" -v end="$EPOCHREALTIME" -v ticks="$ticks" \
        -v user=$((tourwise_user_ticks - user)) -v sys=$((tourwise_system_ticks - system)) \
        -v status="$status" -v load="$(cut -d' ' -f1 /proc/loadavg)" -v date="$(date '+%F %T')" \
        'BEGIN { printf "%s  %-22s %7.1f s  user %7.1f s  sys %6.1f s  status %d  load %s\n",
                 date, name, end - start, user / ticks, sys / ticks, status, load }' \
        >>"$tourwise_logs/phases.log"
    return "$status"
}

tourwise_apt_install() {
    local sudo=()
    [ "$(id -u)" -ne 0 ] && sudo=(sudo)
    # Called where a failure does not end the script by itself.
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -qq || return
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
        "$@"
}

tourwise_install_missing() {
    local missing=()
    local package
    for package in "$@"; do
        if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "ok installed"; then
            missing+=("$package")
        fi
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    tourwise_logged install "Installing missing packages: ${missing[*]}" \
        tourwise_apt_install "${missing[@]}"
}

# What building and running the program needs.
# The store of the user's own entries uses the SQLite C library.
# Publishing to a calendar server keeps the password in the desktop's keyring through QtKeychain
# (Qt Network itself comes with qt6-base-dev).
TOURWISE_BUILD_PACKAGES=(cmake ninja-build g++ qt6-base-dev libgl-dev fonts-dejavu-core
    libsqlite3-dev qtkeychain-qt6-dev)

# What CI needs besides the test command (.ci/run): the formatter.
TOURWISE_CI_PACKAGES=(clang-format)

# The benchmarks, which the test command builds and bench/run_bench.sh runs: the benchmark
# library, valgrind's client header for the instruction counts and the X client library that the
# map-time probe finds through pkg-config.
TOURWISE_BENCH_PACKAGES=(libbenchmark-dev valgrind pkgconf libxcb1-dev)

# What making the Debian package needs (cpack): dpkg-shlibdeps works out the dependencies, and
# CPack finds the programs among the files with file.
TOURWISE_PACKAGE_PACKAGES=(dpkg-dev file)

# What the test command needs besides: the validators of the desktop entry, the metainfo file and
# the package, and the time zones the hours are checked in.
TOURWISE_TEST_PACKAGES=(desktop-file-utils appstream lintian tzdata)

# The fuzz harnesses need clang and its libFuzzer runtime.
TOURWISE_FUZZ_PACKAGES=(clang libclang-rt-14-dev)

# The test builds link with lld (package lld), which takes less than half the processor time of
# GNU ld: 0.7 s against 1.6 s for tst_mainform under ASan, and there are some forty programs.
TOURWISE_LINKER_PACKAGES=(lld)
TOURWISE_FAST_LINKER=(-DCMAKE_EXE_LINKER_FLAGS=-fuse-ld=lld)

# The readers the tests check the program's files with: two iCalendar parsers that share no code,
# and poppler's PDF tools.
TOURWISE_FILE_READER_PACKAGES=(python3-icalendar python3-vobject poppler-utils)

# What the tests need besides: a desktop session for the window tests (X server, window manager,
# the tools that probe it, type keys and take screenshots) and the accessibility bus with a
# screen reader's client library.
TOURWISE_DESKTOP_TEST_PACKAGES=(xvfb openbox x11-utils xdotool imagemagick dbus dbus-daemon
    at-spi2-core python3-pyatspi)

# The store tests read its files back with the sqlite3 shell.
TOURWISE_STORE_TEST_PACKAGES=(sqlite3)

# The calendar-server tests: a real Radicale, openssl to make a test certificate authority, and
# gnome-keyring's Secret Service in a D-Bus session of the test's own.
TOURWISE_CALENDAR_SERVER_TEST_PACKAGES=(radicale openssl gnome-keyring dbus dbus-daemon)
