#!/usr/bin/env bash
# Runs the README's command-line examples as written, in its order, as a new user would on a fresh
# machine without a display: no saved settings, no days file, in a folder of their own. Those are
# the lines of its ```sh blocks that start with "tourwise " (the built program stands for the
# installed one) or with "scripts/run.sh " and options (the window needs a display, the test
# command and the package need a build of their own), run from the user's folder by its full
# path. Each must end with exit status 0 and say nothing on standard error but run.sh's one-line
# phases.
#
#   readme_examples.sh SOURCE_FOLDER BUILD_FOLDER PROGRAM
#
# run.sh builds in BUILD_FOLDER (TOURWISE_RUN_BUILD), where the program is already built, and
# keeps its logs in a folder of the test's (TOURWISE_LOGS).
set -euo pipefail

usage="usage: readme_examples.sh SOURCE_FOLDER BUILD_FOLDER PROGRAM"
source_folder=${1:?$usage}
build_folder=${2:?$usage}
program=${3:?$usage}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/bin" "$work/home" "$work/config" "$work/data"
ln -s "$program" "$work/bin/tourwise"
export PATH="$work/bin:$PATH" XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data"
export TOURWISE_RUN_BUILD="$build_folder" TOURWISE_LOGS="$work/logs"
unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM
cd "$work/home"

mapfile -t examples < <(awk '/^```/ { inside = ($0 == "```sh"); next }
    inside && (/^tourwise / || /^scripts\/run\.sh -/)' "$source_folder/README.md")
[ ${#examples[@]} -gt 0 ] || { echo "FAIL: no examples found in README.md"; exit 1; }

failures=0
for example in "${examples[@]}"; do
    status=0
    command=${example/#scripts\//$source_folder/scripts/}
    bash -c "$command" </dev/null >"$work/out" 2>"$work/err" || status=$?
    said=$(grep -v '^-- .* (log: [^)]*)$' "$work/err" || true)
    if [ "$status" -ne 0 ] || [ -n "$said" ]; then
        echo "FAIL: $example"
        echo "  exit status $status; standard error: $said"
        failures=$((failures + 1))
    else
        echo "ok: $example"
    fi
done
[ "$failures" -eq 0 ] || exit 1
echo "${#examples[@]} README examples work as written"
