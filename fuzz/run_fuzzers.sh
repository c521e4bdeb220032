#!/usr/bin/env bash
# Builds the libFuzzer harnesses with clang in their own folder and runs each on a copy of its
# seed corpus for a set time, then prints per harness the executions and the findings. The two
# harnesses that read settings files share the seeds in fuzz/corpus/ini_files/ and add their own.
#
#   fuzz/run_fuzzers.sh            180 seconds per harness
#   fuzz/run_fuzzers.sh 600        600 seconds per harness
#   fuzz/run_fuzzers.sh --smoke    10 seconds per harness, for the test command
#
# Crash inputs are kept in <build folder>/findings/<harness>/; the exit status is 1 when any
# harness found something. TOURWISE_FUZZ_BUILD names another build folder, and
# TOURWISE_FUZZ_CMAKE_ARGS adds arguments to its configuration.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=180
case "${1:-}" in
--smoke) seconds=10 ;;
"") ;;
*[!0-9]*)
    echo "usage: $0 [--smoke | SECONDS]" >&2
    exit 2
    ;;
*) seconds=$1 ;;
esac

build=${TOURWISE_FUZZ_BUILD:-build/fuzz}
harnesses=(fuzz_inistore fuzz_settingsload fuzz_colortext fuzz_daysfile fuzz_daysjson)
# Every library gets coverage and sanitizer instrumentation; only the harnesses link libFuzzer.
instrument="-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer"
instrument+=" -fno-sanitize-recover=undefined"

# shellcheck disable=SC2086 # the extra arguments are meant to split
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
    -DTOURWISE_BUILD_FUZZ=ON -DTOURWISE_BUILD_TESTS=OFF -DTOURWISE_WERROR=ON \
    "-DCMAKE_CXX_FLAGS=$instrument" ${TOURWISE_FUZZ_CMAKE_ARGS:-} >/dev/null
cmake --build "$build" --target "${harnesses[@]}"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The 100,000-section file is made here rather than kept in the repository.
hundred_thousand_sections() {
    {
        printf '[Config]\nRDO=A3\n'
        seq 1 100000 | sed 's/.*/[S&]/'
        printf '[Colors]\nAPlt=Lime\n'
    } >"$1"
}

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

found=0
printf '\n%-20s %12s %9s\n' harness executions findings
for harness in "${harnesses[@]}"; do
    corpus="$work/$harness"
    cp -r "fuzz/corpus/$harness" "$corpus"
    if [[ $harness == fuzz_inistore || $harness == fuzz_settingsload ]]; then
        cp fuzz/corpus/ini_files/* "$corpus/"
    fi
    findings="$build/findings/$harness"
    rm -rf "$findings" # a finding of an earlier run is in the corpus by now, or still open
    mkdir -p "$findings"
    log="$build/findings/$harness.log"
    status=0
    : >"$log"
    if [[ $harness == fuzz_inistore || $harness == fuzz_settingsload ]]; then
        # Replayed once at full size: as a seed it would raise the mutation length to a
        # megabyte and slow every run down to a few per second.
        hundred_thousand_sections "$work/sections.ini"
        "$build/fuzz/$harness" -artifact_prefix="$findings/" "$work/sections.ini" \
            >>"$log" 2>&1 || status=$?
    fi
    "$build/fuzz/$harness" -max_total_time="$seconds" -timeout=30 -rss_limit_mb=2048 \
        -max_len=131072 \
        -print_final_stats=1 -artifact_prefix="$findings/" "$corpus" >>"$log" 2>&1 || status=$?
    executions=$(awk '/stat::number_of_executed_units/ {print $2}' "$log")
    crashes=$(find "$findings" -type f | wc -l)
    printf '%-20s %12s %9s\n' "$harness" "${executions:-?}" "$crashes"
    if ((status != 0 || crashes > 0)); then
        found=1
        echo "  exit status $status; log: $log; inputs: $findings" >&2
        tail -n 30 "$log" >&2
    fi
done
exit "$found"
