#!/usr/bin/env bash
# Installs the Debian packages that the build and the tests need, only those that are missing,
# so a second run costs nothing. Sourced by run.sh and test.sh.
set -euo pipefail

tourwise_install_missing() {
    local missing=()
    local package
    for package in "$@"; do
        if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "ok installed"; then
            missing+=("$package")
        fi
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing missing packages: ${missing[*]}"
    local sudo=()
    [ "$(id -u)" -ne 0 ] && sudo=(sudo)
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -qq
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
        "${missing[@]}"
}

# What building and running the program needs.
# The store of the user's own entries uses the SQLite C library.
TOURWISE_BUILD_PACKAGES=(cmake ninja-build g++ qt6-base-dev libgl-dev fonts-dejavu-core
    libsqlite3-dev)

# What CI needs besides the tests (.ci/run): the formatter, and for the benchmarks the benchmark
# library, valgrind's client header for the instruction counts and the X client library that the
# map-time probe finds through pkg-config.
TOURWISE_CI_PACKAGES=(clang-format libbenchmark-dev valgrind pkgconf libxcb1-dev)

# What the tests need besides: a desktop session for the window tests (X server, window manager,
# the tools that probe it, type keys and take screenshots) and the accessibility bus with a
# screen reader's client library.
TOURWISE_DESKTOP_TEST_PACKAGES=(xvfb openbox x11-utils xdotool imagemagick dbus dbus-daemon
    at-spi2-core python3-pyatspi)

# The store tests read its files back with the sqlite3 shell.
TOURWISE_STORE_TEST_PACKAGES=(sqlite3)
