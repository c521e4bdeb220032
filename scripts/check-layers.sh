#!/usr/bin/env bash
# Holds the sources to their layers: every `#include "folder/..."` in a source folder names the
# folder itself or one that its row of README.md's table "folder | may include" allows. Prints
# each include that goes another way and exits 1; exits 2 when the table is missing or names a
# folder that does not exist.
# Usage: scripts/check-layers.sh [SOURCE_ROOT]   (default: the tree this script is in)
set -euo pipefail
cd "${1:-$(dirname "$0")/..}"

# The table runs from its header row to the first line that is not a table row.
table=$(awk '/^\| folder \| may include \|/ { inside = 1; next }
             inside && !/^\|/ { exit }
             inside' README.md)
if [ -z "$table" ]; then
    echo "README.md has no table \"| folder | may include |\"" >&2
    exit 2
fi

# shellcheck disable=SC2016 # the backquotes are the text searched for
folders_in() { # a table cell: the backquoted folder names in it, without the slash
    grep -o '`[a-z_]*/`' <<<"$1" | tr -d '`/' || true
}

# allowed[folder] is "*" for anything, else the folders it may include between spaces.
declare -A allowed=()
while IFS='|' read -r _ left right _; do
    [[ $left == *---* ]] && continue
    case $right in
    *anything*) list='*' ;;
    *) list=" $(folders_in "$right" | tr '\n' ' ')" ;;
    esac
    for folder in $(folders_in "$left") $(folders_in "$right"); do
        if [ ! -d "$folder" ]; then
            echo "README.md's table names $folder/, which is not a folder of the tree" >&2
            exit 2
        fi
    done
    for folder in $(folders_in "$left"); do
        allowed[$folder]=$list
    done
done <<<"$table"

status=0
for folder in */; do
    folder=${folder%/}
    [[ $folder == build* ]] && continue
    if [ -z "$(find "$folder" \( -name '*.cpp' -o -name '*.h' \) -print -quit)" ]; then
        continue
    fi
    if [ -z "${allowed[$folder]+set}" ]; then
        echo "$folder/ holds C++ sources but has no row in README.md's table"
        status=1
        continue
    fi
    [ "${allowed[$folder]}" = '*' ] && continue
    # file:line:first folder of the included path, for every include of a path with a folder
    while IFS=: read -r file line target; do
        [ "$target" = "$folder" ] && continue
        [ -d "$target" ] || continue # not one of ours: <sys/...>, <benchmark/...>
        [[ ${allowed[$folder]} == *" $target "* ]] && continue
        echo "$file:$line: $folder/ may not include $target/ (README.md, \"Layout of the source\")"
        status=1
    done < <(find "$folder" \( -name '*.cpp' -o -name '*.h' \) -exec \
        grep -HnE '^[[:space:]]*#[[:space:]]*include[[:space:]]*["<][a-z_]+/' {} + |
        sed -E 's/^([^:]*):([0-9]+):[[:space:]]*#[[:space:]]*include[[:space:]]*["<]([a-z_]+)\/.*/\1:\2:\3/' |
        sort)
done
if [ $status -eq 0 ]; then
    echo "Every include follows the layers in README.md's table."
fi
exit $status
