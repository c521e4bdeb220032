#!/usr/bin/env bash
# Builds Tourwise and starts it. With options it runs on the command line (--export-ics FILE,
# --hours, --help …), which needs no display.
#
# Only the program writes to standard output, so `scripts/run.sh --export-ics - …` gives the
# calendar file and nothing else: what this script says goes to standard error, what the build
# says to build/logs/. The program runs in the caller's folder, so a relative FILE of any option
# means the same as it would for the installed `tourwise`.
# TOURWISE_RUN_BUILD names another build folder (relative to the repository, or absolute), and
# TOURWISE_LOGS another folder for the logs.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${TOURWISE_RUN_BUILD:-build/release}
[[ $build == /* ]] || build=$root/$build
shown=${build#"$root/"}

# Without options the program opens its window; told so now rather than after the build. The
# program makes the same check itself.
if [ $# -eq 0 ] && [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}${QT_QPA_PLATFORM:-}" ]; then
    echo "run.sh: the window needs a display (DISPLAY or WAYLAND_DISPLAY); none is set." >&2
    echo "  To see it anyway: scripts/run.sh --version (builds it), then scripts/desktop-session.sh build/release/app/tourwise, or scripts/screenshot.sh build/release/app/tourwise shot.png; options such as --export-ics FILE work without one." >&2
    exit 1
fi

# In a subshell, so that only the build changes folder; standard input stays the program's
# (--import-days -).
(
    cd "$root"
    source scripts/setup.sh
    tourwise_install_missing "${TOURWISE_BUILD_PACKAGES[@]}"
    # Once configured, the build itself runs CMake again when a CMakeLists.txt changes.
    if [ ! -f "$build/build.ninja" ]; then
        tourwise_logged "configure-${build##*/}" "Configuring $shown" \
            cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTOURWISE_BUILD_TESTS=OFF
    fi
    tourwise_logged "build-${build##*/}" "Building the program in $shown" \
        cmake --build "$build" --target tourwise
) </dev/null
exec "$build/app/tourwise" "$@"
