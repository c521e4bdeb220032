#!/usr/bin/env bash
# Builds Tourwise and starts it. With options it runs on the command line (--export-ics FILE,
# --print-pdf FILE, --help), which needs no display.
set -euo pipefail
cd "$(dirname "$0")/.."

# Without options the program opens its window; told so now rather than by Qt after the build.
if [ $# -eq 0 ] && [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}${QT_QPA_PLATFORM:-}" ]; then
    echo "run.sh: the window needs a display (DISPLAY or WAYLAND_DISPLAY); none is set." >&2
    echo "  To see it anyway: scripts/run.sh --version (builds it), then scripts/desktop-session.sh build/release/app/tourwise, or scripts/screenshot.sh build/release/app/tourwise shot.png; options such as --export-ics FILE work without one." >&2
    exit 1
fi

source scripts/setup.sh
tourwise_install_missing "${TOURWISE_BUILD_PACKAGES[@]}"

cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DTOURWISE_BUILD_TESTS=OFF >/dev/null
cmake --build build/release --target tourwise
exec build/release/app/tourwise "$@"
