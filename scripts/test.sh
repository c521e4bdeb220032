#!/usr/bin/env bash
# Builds Tourwise and runs every test: once in a normal build and once under AddressSanitizer and
# UndefinedBehaviorSanitizer, warnings as errors in both, window tests headless.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/setup.sh
tourwise_install_missing "${TOURWISE_BUILD_PACKAGES[@]}" desktop-file-utils appstream

export QT_QPA_PLATFORM=offscreen
jobs=$(nproc)

run_suite() {
    local folder=$1
    shift
    cmake -S . -B "$folder" -G Ninja "$@" >/dev/null
    cmake --build "$folder" -j "$jobs"
    ctest --test-dir "$folder" --output-on-failure -j "$jobs"
}

echo "== Tests =="
run_suite build/test -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTOURWISE_WERROR=ON

echo "== Tests under AddressSanitizer and UndefinedBehaviorSanitizer =="
export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
run_suite build/asan -DCMAKE_BUILD_TYPE=Debug -DTOURWISE_WERROR=ON -DTOURWISE_SANITIZE=ON

echo "== Fuzzing smoke run (10 s per harness) =="
tourwise_install_missing clang libclang-rt-14-dev
fuzz/run_fuzzers.sh --smoke
