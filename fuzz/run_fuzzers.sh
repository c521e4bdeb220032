#!/usr/bin/env bash
# Builds the libFuzzer harnesses with clang in their own folder and runs each on a copy of its
# seed corpus for a set time, then prints one line per harness: its executions and findings. The
# build's output goes to build/logs/, shown when it fails. The two harnesses that read settings
# files share the seeds in fuzz/corpus/ini_files/ and add their own.
#
#   fuzz/run_fuzzers.sh            180 seconds per harness
#   fuzz/run_fuzzers.sh 600        600 seconds per harness
#   fuzz/run_fuzzers.sh --smoke    10 seconds per harness, for the test command
#   fuzz/run_fuzzers.sh --runs N   N executions per harness, however long they take
#
# Crash inputs are kept in <build folder>/findings/<harness>/; the exit status is 1 when any
# harness found something. TOURWISE_FUZZ_BUILD names another build folder, and
# TOURWISE_FUZZ_CMAKE_ARGS adds arguments to its configuration.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/setup.sh

usage() {
    echo "usage: $0 [--smoke | SECONDS | --runs N]" >&2
    exit 2
}
limit=(-max_total_time=180)
case "${1:-}" in
--smoke) limit=(-max_total_time=10) ;;
--runs)
    [[ ${2:-} =~ ^[0-9]+$ ]] || usage
    limit=(-runs="$2")
    ;;
"") ;;
*[!0-9]*) usage ;;
*) limit=(-max_total_time="$1") ;;
esac

build=${TOURWISE_FUZZ_BUILD:-build/fuzz}
harnesses=(fuzz_inistore fuzz_settingsload fuzz_colortext fuzz_daysfile fuzz_daysjson)
# Every library gets coverage and sanitizer instrumentation; only the harnesses link libFuzzer.
instrument="-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer"
instrument+=" -fno-sanitize-recover=undefined"

linker=()
command -v ld.lld >/dev/null && linker=("${TOURWISE_FAST_LINKER[@]}")
build_harnesses() {
    # shellcheck disable=SC2086 # the extra arguments are meant to split
    cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DCMAKE_CXX_COMPILER=clang++ -DTOURWISE_BUILD_FUZZ=ON -DTOURWISE_BUILD_TESTS=OFF \
        -DTOURWISE_WERROR=ON "-DCMAKE_CXX_FLAGS=$instrument" "${linker[@]}" \
        ${TOURWISE_FUZZ_CMAKE_ARGS:-} &&
        cmake --build "$build" --target "${harnesses[@]}"
}
tourwise_logged "build-${build##*/}" "Building the fuzz harnesses in $build" build_harnesses

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

# Fuzzes one harness for the set time and leaves its exit status in $work/HARNESS.status.
fuzz_one() {
    local harness=$1
    local corpus="$work/$harness" findings="$build/findings/$harness"
    local log="$build/findings/$harness.log" status=0
    cp -r "fuzz/corpus/$harness" "$corpus"
    if [[ $harness == fuzz_inistore || $harness == fuzz_settingsload ]]; then
        cp fuzz/corpus/ini_files/* "$corpus/"
    fi
    rm -rf "$findings" # a finding of an earlier run is in the corpus by now, or still open
    mkdir -p "$findings"
    : >"$log"
    if [[ $harness == fuzz_inistore || $harness == fuzz_settingsload ]]; then
        # Replayed once at full size: as a seed it would raise the mutation length to a
        # megabyte and slow every run down to a few per second.
        hundred_thousand_sections "$work/$harness-sections.ini"
        "$build/fuzz/$harness" -artifact_prefix="$findings/" "$work/$harness-sections.ini" \
            >>"$log" 2>&1 || status=$?
    fi
    "$build/fuzz/$harness" "${limit[@]}" -timeout=30 -rss_limit_mb=2048 \
        -max_len=131072 \
        -print_final_stats=1 -artifact_prefix="$findings/" "$corpus" >>"$log" 2>&1 || status=$?
    echo "$status" >"$work/$harness.status"
}

# As many harnesses at a time as there are processors: each still fuzzes for the set time, on a
# processor of its own.
running=0
for harness in "${harnesses[@]}"; do
    if ((running == $(nproc))); then
        wait -n || true # a harness that failed to start leaves no status: counted below
        running=$((running - 1))
    fi
    fuzz_one "$harness" &
    running=$((running + 1))
done
wait

found=0
for harness in "${harnesses[@]}"; do
    findings="$build/findings/$harness"
    log="$build/findings/$harness.log"
    status=$(cat "$work/$harness.status" 2>/dev/null || echo "?")
    executions=$(awk '/stat::number_of_executed_units/ {print $2}' "$log")
    crashes=$(find "$findings" -type f | wc -l)
    printf -- '-- %-18s %9s executions, %s findings\n' "$harness" "${executions:-?}" "$crashes" >&2
    if [[ $status != 0 ]] || ((crashes > 0)); then
        found=1
        echo "  exit status $status; log: $log; inputs: $findings" >&2
        tail -n 30 "$log" >&2
    fi
done
exit "$found"
