#!/usr/bin/env bash
# Runs the window tests under valgrind memcheck, headless, and prints each test's error count.
# Memory errors of any kind count, and leaks only where a block is definitely lost: the toolkit
# keeps its one-time allocations (fonts, plugins, global statics) reachable until exit.
#
#   tests/run_memcheck.sh [BUILD_FOLDER] [TEST...]
#
# The build folder (default build/test) must hold a build without sanitizers. The exit status is
# 1 when any test failed or had a memcheck error.
set -euo pipefail
cd "$(dirname "$0")/.."

build=${1:-build/test}
shift || true
tests=("$@")
if ((${#tests[@]} == 0)); then
    for name in tst_mainform tst_hostile tst_painting tst_layout tst_settingspage; do
        [[ -x $build/tests/$name ]] && tests+=("$name")
    done
fi
if ((${#tests[@]} == 0)); then
    echo "no window tests in $build/tests; build them first" >&2
    exit 2
fi

export QT_QPA_PLATFORM=offscreen LC_ALL=C.UTF-8
logs=$(mktemp -d)
failed=0
printf '%-20s %8s %s\n' test errors result
for name in "${tests[@]}"; do
    log="$logs/$name.log"
    status=0
    valgrind --tool=memcheck --error-exitcode=99 --leak-check=full \
        --errors-for-leak-kinds=definite --show-leak-kinds=definite --num-callers=40 \
        --suppressions=tests/valgrind.supp --log-file="$log" \
        "$build/tests/$name" >"$logs/$name.out" 2>&1 || status=$?
    errors=$(awk '/ERROR SUMMARY/ {print $4}' "$log" | tail -n 1)
    case $status in
    0) result=passed ;;
    99) result="memcheck errors (log: $log)" ;;
    *) result="test failed, status $status (output: $logs/$name.out)" ;;
    esac
    ((status == 0)) || failed=1
    printf '%-20s %8s %s\n' "$name" "${errors:-?}" "$result"
done
((failed == 0)) && rm -rf "$logs"
exit "$failed"
