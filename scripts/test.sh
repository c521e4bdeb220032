#!/usr/bin/env bash
# Builds Tourwise and runs every test: once in a normal build and once under AddressSanitizer and
# UndefinedBehaviorSanitizer, warnings as errors in both, window tests headless and again on a real
# X server with a window manager, with a smoke test of the program and the screen-reader test
# (scripts/desktop-session.sh), then a short fuzzing pass. The normal build also builds the tools
# and the benchmarks, so that they keep compiling. Installing packages, configuring and building
# print one line each and keep their output in build/logs/, shown when they fail; the tests print
# their own. The time of each phase goes to build/logs/phases.log.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/setup.sh
tourwise_install_missing "${TOURWISE_BUILD_PACKAGES[@]}" "${TOURWISE_TEST_PACKAGES[@]}" \
    "${TOURWISE_DESKTOP_TEST_PACKAGES[@]}" "${TOURWISE_FILE_READER_PACKAGES[@]}" \
    "${TOURWISE_STORE_TEST_PACKAGES[@]}" "${TOURWISE_CALENDAR_SERVER_TEST_PACKAGES[@]}" \
    "${TOURWISE_PACKAGE_PACKAGES[@]}" "${TOURWISE_BENCH_PACKAGES[@]}" \
    "${TOURWISE_FUZZ_PACKAGES[@]}" "${TOURWISE_LINKER_PACKAGES[@]}"

export QT_QPA_PLATFORM=offscreen
jobs=$(nproc)
started=$EPOCHREALTIME

build_in() {
    local folder=$1
    shift
    cmake -S . -B "$folder" -G Ninja "$@" && cmake --build "$folder" -j "$jobs"
}

# Each build runs its tests headless first, then those labelled xcb, each in a desktop session of
# its own: Xvfb with openbox, keys and clicks as a user makes them. The packages are installed by
# now, so a desktop test that would skip for want of one fails instead.
run_suite() {
    local folder=$1 name=${1##*/}
    tourwise_logged "build-$name" "Building $folder" build_in "$@"
    tourwise_timed "tests-$name" \
        ctest --test-dir "$folder" --output-on-failure -j "$jobs" -LE xcb
    echo "-- the same build on a desktop --" >&2
    TOURWISE_REQUIRE_DESKTOP=1 tourwise_timed "tests-$name-xcb" \
        ctest --test-dir "$folder" --output-on-failure -j "$jobs" -L xcb --no-tests=error
}

echo "== Tests ==" >&2
# Line tables (-g1) are what a backtrace from a failing test needs, and a fifth less compile time
# than full debug information, which build/asan keeps for the debugger.
run_suite build/test -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O2 -g1 -DNDEBUG" -DTOURWISE_WERROR=ON \
    -DTOURWISE_BUILD_TOOLS=ON -DTOURWISE_BUILD_BENCH=ON "${TOURWISE_FAST_LINKER[@]}"

echo "== Tests under AddressSanitizer and UndefinedBehaviorSanitizer ==" >&2
export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
run_suite build/asan -DCMAKE_BUILD_TYPE=Debug -DTOURWISE_WERROR=ON -DTOURWISE_SANITIZE=ON \
    "${TOURWISE_FAST_LINKER[@]}"

echo "== Fuzzing smoke run (10 s per harness) ==" >&2
tourwise_timed fuzz fuzz/run_fuzzers.sh --smoke

awk -v start="$started" -v end="$EPOCHREALTIME" \
    'BEGIN { s = end - start; printf "-- all tests passed in %d min %02d s (phases: build/logs/phases.log)\n", s / 60, s % 60 }' >&2
