#!/usr/bin/env bash
# Builds the program as it was at an earlier commit (Release, the target tourwise only) in a
# temporary worktree and copies it to OUTPUT; the worktree and its build go when it is done.
# Usage: bench/build_baseline.sh COMMIT OUTPUT
set -euo pipefail
[ $# -eq 2 ] || { echo "usage: bench/build_baseline.sh COMMIT OUTPUT" >&2; exit 2; }
commit=$1
output=$2
cd "$(dirname "$0")/.."

temp=$(mktemp -d)
cleanup() {
    git worktree remove --force "$temp/source" 2>/dev/null || true
    rm -rf "$temp"
}
trap cleanup EXIT

git worktree add --detach --quiet "$temp/source" "$commit"
launcher=()
if command -v ccache >/dev/null; then
    # Relative to the temporary folder, the same sources hit the cache in the next such build.
    export CCACHE_BASEDIR=$temp
    launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
cmake -S "$temp/source" -B "$temp/build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DTOURWISE_BUILD_TESTS=OFF "${launcher[@]}" >/dev/null
cmake --build "$temp/build" --target tourwise
mkdir -p "$(dirname "$output")"
cp "$temp/build/app/tourwise" "$output"
