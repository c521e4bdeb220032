#!/usr/bin/env bash
# What a new user meets first, tried as such a user would: scripts/run.sh and the program run from
# another folder, without a display.
#   - Standard output is the program's: run.sh adds nothing to a calendar file, the JSON form or
#     the hours written to "-", and says what it does in one-line phases on standard error.
#   - A relative FILE is the caller's: files are written to and read from the folder run.sh was
#     started in, and nothing appears in the repository.
#   - Without a display run.sh and the program say so in words and exit 1, while the
#     command-line uses still work.
#
#   check_first_hour.sh SOURCE_FOLDER BUILD_FOLDER PROGRAM
#
# run.sh builds in BUILD_FOLDER (TOURWISE_RUN_BUILD), where the program is already built, as on
# a user's second run, and keeps its logs in a folder of the test's (TOURWISE_LOGS).
set -euo pipefail

usage="usage: check_first_hour.sh SOURCE_FOLDER BUILD_FOLDER PROGRAM"
source_folder=${1:?$usage}
build_folder=${2:?$usage}
program=${3:?$usage}
run_sh="$source_folder/scripts/run.sh"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
elsewhere="$work/home"
mkdir -p "$elsewhere" "$work/config" "$work/data"
# A fresh machine without a display: no saved settings, no days file.
export XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data"
# run.sh builds in the test's build folder and keeps its logs apart from those of the test command.
export TOURWISE_RUN_BUILD="$build_folder" TOURWISE_LOGS="$work/logs"
unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM
cd "$elsewhere"

failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

# Runs a command with standard input from $work/stdin when there is one; its standard output
# goes to $work/out, its standard error to $work/err, its exit status to $status.
capture() {
    status=0
    "$@" <"${stdin:-/dev/null}" >"$work/out" 2>"$work/err" || status=$?
}

# What run.sh itself says: lines of the form "-- what (log: …)" only.
quiet_phases() {
    local what=$1 unexpected
    unexpected=$(grep -v '^-- .* (log: [^)]*)$' "$work/err" || true)
    [ -z "$unexpected" ] || fail "$what: run.sh said more than its phases: $unexpected"
}

range=(--assignment B2 --from 2026-01-01 --to 2026-03-31)

# 1. The calendar file, the hours and the JSON form on standard output, byte for byte what the
# program writes by itself (the calendar file's stamps, the time of writing, aside).
without_stamps() { grep -v '^DTSTAMP:' "$1"; }
for arguments in "--export-ics - ${range[*]}" "--hours --csv --year 2026 --assignment B2" \
    "--export-days -"; do
    read -r -a words <<<"$arguments"
    capture "$program" "${words[@]}"
    cp "$work/out" "$work/direct"
    capture bash "$run_sh" "${words[@]}"
    if [ "$status" -ne 0 ]; then
        fail "run.sh $arguments: exit status $status: $(cat "$work/err")"
        continue
    fi
    quiet_phases "run.sh $arguments"
    [ -s "$work/out" ] || fail "run.sh $arguments wrote nothing to standard output"
    cmp -s <(without_stamps "$work/direct") <(without_stamps "$work/out") ||
        fail "run.sh $arguments: standard output differs from the program's: $(head -n 3 "$work/out")"
done
capture bash "$run_sh" --export-ics - "${range[@]}"
[ "$(head -n 1 "$work/out")" = $'BEGIN:VCALENDAR\r' ] ||
    fail "run.sh --export-ics -: the first line is '$(head -n 1 "$work/out")'"

# 2. Relative paths name the caller's folder, for writing and reading alike, and standard input
# reaches the program.
capture bash "$run_sh" --export-ics mine.ics "${range[@]}"
[ "$status" -eq 0 ] && [ -s mine.ics ] || fail "run.sh --export-ics mine.ics wrote no ./mine.ics"
capture bash "$run_sh" --print-pdf sheets/fridge.pdf --year 2026 --assignment B2
[ -e sheets/fridge.pdf ] && fail "--print-pdf into a missing folder wrote a file"
mkdir sheets
capture bash "$run_sh" --print-pdf sheets/fridge.pdf --year 2026 --assignment B2
[ "$status" -eq 0 ] && [ "$(head -c 5 sheets/fridge.pdf)" = "%PDF-" ] ||
    fail "run.sh --print-pdf sheets/fridge.pdf wrote no ./sheets/fridge.pdf"
cat >days.json <<'EOF'
{"format": "tourwise-days", "version": 1, "entries": [{"id": "9f0c3b8e-7d6a-4c1e-9b2f-1a2b3c4d5e6f",
 "date": "2026-01-03", "kind": "note", "note": "Station party", "revision": 1,
 "modified": "2026-01-04T10:00:00Z"}]}
EOF
capture bash "$run_sh" --import-days days.json
[ "$status" -eq 0 ] || fail "run.sh --import-days days.json: exit status $status: $(cat "$work/err")"
grep -q '^Imported 1 entries' "$work/out" || fail "run.sh --import-days days.json: $(cat "$work/out")"
capture bash "$run_sh" --export-days again.json
[ "$status" -eq 0 ] && grep -q '"2026-01-03"' again.json ||
    fail "run.sh --export-days again.json wrote no ./again.json with the imported entry"
stdin=days.json capture bash "$run_sh" --import-days -
grep -q '^Imported 1 entries (0 updated, 1 unchanged)' "$work/out" ||
    fail "run.sh --import-days - did not read standard input: $(cat "$work/out" "$work/err")"
for name in mine.ics sheets days.json again.json; do
    [ ! -e "$source_folder/$name" ] || fail "$name was written into the repository"
done

# 4. No display: one sentence, exit 1, and nothing built for a window that cannot open.
capture "$program"
[ "$status" -eq 1 ] || fail "the program without a display: exit status $status, not 1"
[ "$(wc -l <"$work/err")" -eq 1 ] || fail "the program without a display said: $(cat "$work/err")"
grep -q 'needs a display' "$work/err" && grep -q 'command-line uses work without one' "$work/err" ||
    fail "the program without a display said: $(cat "$work/err")"
grep -qi 'plugin\|reinstall' "$work/err" && fail "the toolkit's abort came first: $(cat "$work/err")"
[ -s "$work/out" ] && fail "the program without a display wrote to standard output"
capture bash "$run_sh"
[ "$status" -eq 1 ] || fail "run.sh without a display: exit status $status, not 1"
grep -q 'needs a display' "$work/err" || fail "run.sh without a display said: $(cat "$work/err")"
[ -s "$work/out" ] && fail "run.sh without a display wrote to standard output"
capture bash "$run_sh" --version
[ "$status" -eq 0 ] && grep -q '^Tourwise ' "$work/out" ||
    fail "run.sh --version without a display: exit status $status: $(cat "$work/out" "$work/err")"

[ "$failures" -eq 0 ] || exit 1
echo "first hour as documented"
