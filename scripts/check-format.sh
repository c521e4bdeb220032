#!/usr/bin/env bash
# Fails when a tracked C++ file is not as clang-format (the repository's .clang-format) writes
# it, and lists those files. Fix them with: clang-format -i <file>...
set -euo pipefail
cd "$(dirname "$0")/.."

mapfile -t files < <(git ls-files -- '*.cpp' '*.h')
unformatted=()
for file in "${files[@]}"; do
    if ! clang-format --dry-run --Werror "$file" >/dev/null 2>&1; then
        unformatted+=("$file")
    fi
done
if [ ${#unformatted[@]} -gt 0 ]; then
    echo "Not formatted by clang-format (${#unformatted[@]} of ${#files[@]} files):" >&2
    printf '  %s\n' "${unformatted[@]}" >&2
    exit 1
fi
echo "clang-format: ${#files[@]} files as formatted"
