#!/usr/bin/env bash
# Builds the benchmarks and prints one table: start-up and peak memory of Tourwise against a
# minimal Qt Widgets program (offscreen and under Xvfb), start-up to the map of the window under
# Xvfb with openbox (also against the build before the user's days, with no days file and with
# 5,000 entries), the in-process window figures (medians), whole command-line runs over 5,000
# entries and callgrind's instruction counts.
# Usage: bench/run_bench.sh
# Environment: TOURWISE_BENCH_BUILD (build folder, default build/bench), TOURWISE_BENCH_RUNS
# (hyperfine runs per program, default 40), TOURWISE_MAP_RUNS (interleaved map-time runs per
# program, default 61: the spread between runs is wide), TOURWISE_BENCH_BASELINE (a built
# tourwise from before the user's days; default: built once from commit 63dfbd4 into
# $TOURWISE_BENCH_BUILD/baseline by bench/build_baseline.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/setup.sh
tourwise_install_missing "${TOURWISE_BUILD_PACKAGES[@]}" "${TOURWISE_BENCH_PACKAGES[@]}" hyperfine \
    xvfb openbox x11-utils time python3

build=${TOURWISE_BENCH_BUILD:-build/bench}
runs=${TOURWISE_BENCH_RUNS:-40}
map_runs=${TOURWISE_MAP_RUNS:-61}
memory_runs=10
baseline_commit=63dfbd4

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTOURWISE_BUILD_BENCH=ON >/dev/null
cmake --build "$build" --target tourwise_startup_probe minimal_window bench_window tourwise \
    maptime make_days_file
probe="$build/bench/tourwise_startup_probe"
program="$build/app/tourwise"
minimal="$build/bench/minimal_window"
bench="$build/bench/bench_window"
baseline=${TOURWISE_BENCH_BASELINE:-}
if [ -z "$baseline" ]; then
    baseline="$build/baseline/tourwise-$baseline_commit"
    [ -x "$baseline" ] || bench/build_baseline.sh "$baseline_commit" "$baseline"
fi

work=$(mktemp -d)
xvfb_pid=""
cleanup() {
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

# A fresh settings folder (no settings file: the defaults), and nothing from the user's desktop.
export XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/runtime" LC_ALL=C.UTF-8
mkdir -p "$XDG_CONFIG_HOME" && mkdir -m 700 "$XDG_RUNTIME_DIR"
unset QT_SCALE_FACTOR QT_SCREEN_SCALE_FACTORS QT_STYLE_OVERRIDE
# The user's days: none in the default data folder; 5,000 entries of a B2 user in days_home.
export XDG_DATA_HOME="$work/data-none"
mkdir -p "$XDG_DATA_HOME"
days_json="$work/days-5000.json"
days_home="$work/data-5000"
"$build/bench/make_days_file" --count 5000 "$days_json"
# An import checks every entry against the user's assignment, so it runs with the settings of the
# B2 user the entries were made for; everything else keeps the fresh settings folder.
b2_config="$work/config-b2"
mkdir -p "$b2_config/Kestrand/Tourwise"
printf '[Config]\nRDO=B2\n' >"$b2_config/Kestrand/Tourwise/Tourwise.ini"
XDG_CONFIG_HOME="$b2_config" XDG_DATA_HOME="$days_home" QT_QPA_PLATFORM=offscreen \
    "$program" --import-days "$days_json" >/dev/null
whole_range=(--from 2016-01-01 --to 2060-12-31 --assignment B2)

load_at_start=$(cut -d' ' -f1 /proc/loadavg)
# The load average (1 minute) as each part starts, printed under the table.
note_load() { # part
    echo "$1 $(cut -d' ' -f1 /proc/loadavg)" >>"$work/loads.txt"
}

# Start-up: both programs end right after their first complete paint; one hyperfine call each
# platform, so both see the same machine state.
startup() { # label
    hyperfine -N --warmup 5 --runs "$runs" --style none \
        --export-json "$work/startup-$1.json" "$probe" "$minimal" >/dev/null
}
# Peak resident set in KiB, one line per run.
peak_memory() { # label
    local program
    for program in probe minimal; do
        local path=$probe
        [ $program = minimal ] && path=$minimal
        for _ in $(seq "$memory_runs"); do
            /usr/bin/time -f %M -a -o "$work/rss-$1-$program.txt" "$path" 2>/dev/null
        done
    done
}

echo "== Start-up and peak memory, offscreen =="
note_load "start-up offscreen"
export QT_QPA_PLATFORM=offscreen
startup offscreen
peak_memory offscreen

echo "== Start-up and peak memory, Xvfb =="
note_load "start-up Xvfb"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
xvfb_pid=$!
for _ in $(seq 100); do
    [ -s "$work/display" ] && break
    sleep 0.1
done
export DISPLAY=":$(head -n1 "$work/display")" QT_QPA_PLATFORM=xcb
startup xvfb
peak_memory xvfb
kill "$xvfb_pid" && wait "$xvfb_pid" 2>/dev/null || true
xvfb_pid=""
unset DISPLAY

echo "== Start-up to map, Xvfb + openbox =="
note_load "map"
# The shipped program, not the probe: from exec to the map of its frame, each run with a fresh
# settings folder. In turn: the build before the user's days, this one with no days file, this
# one with 5,000 entries, and the minimal program.
scripts/desktop-session.sh "$build/bench/maptime" --runs "$map_runs" "$baseline" "$program" \
    --data-home "$days_home" "$program" "$minimal" >"$work/maptime.txt"
grep "^median " "$work/maptime.txt"

echo "== In-process window figures, offscreen =="
note_load "in-process"
export QT_QPA_PLATFORM=offscreen
"$bench" --days="$days_json" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true \
    --benchmark_out="$work/window.json" --benchmark_out_format=json >/dev/null

echo "== Whole runs over 5,000 entries, offscreen =="
note_load "whole runs"
whole_run() { # label data-folder hyperfine-arguments...
    local label=$1 data=$2
    shift 2
    XDG_DATA_HOME="$data" hyperfine -N --warmup 3 --runs "$runs" --style none \
        --export-json "$work/whole-$label.json" "$@" >/dev/null
}
# Each import starts from an empty data folder.
XDG_CONFIG_HOME="$b2_config" whole_run import "$work/data-import" \
    --prepare "rm -rf $work/data-import" "$program --import-days $days_json"
whole_run hours "$days_home" "$program --hours ${whole_range[*]}"
whole_run ics "$days_home" "$program --export-ics $work/days.ics ${whole_range[*]}"

echo "== Instruction counts (callgrind) =="
for step in refresh navigation; do
    valgrind --tool=callgrind --instr-atstart=no --callgrind-out-file="$work/callgrind-$step" \
        "$bench" --instructions="$step" >/dev/null 2>&1
done
# With the 5,000 entries in the store.
for step in navigation hours; do
    valgrind --tool=callgrind --instr-atstart=no --callgrind-out-file="$work/callgrind-$step-days" \
        "$bench" --instructions="$step" --days="$days_json" >/dev/null 2>&1
done
# Whole start-up runs, offscreen: instruction counts compare builds where timings are too noisy.
valgrind --tool=callgrind --callgrind-out-file="$work/callgrind-startup-probe" "$probe" \
    >/dev/null 2>&1
valgrind --tool=callgrind --callgrind-out-file="$work/callgrind-startup-minimal" "$minimal" \
    >/dev/null 2>&1

python3 - "$work" "$load_at_start" "$(cut -d' ' -f1 /proc/loadavg)" <<'EOF'
import datetime, json, os, pathlib, statistics, sys

work = pathlib.Path(sys.argv[1])
load_start, load_end = sys.argv[2], sys.argv[3]

def startup(label):
    results = json.loads((work / f"startup-{label}.json").read_text())["results"]
    return results[0]["median"] * 1000, results[1]["median"] * 1000

def rss(label, program):
    values = [int(v) for v in (work / f"rss-{label}-{program}.txt").read_text().split()]
    return statistics.median(values) / 1024

window = json.loads((work / "window.json").read_text())
medians = {b["run_name"]: b for b in window["benchmarks"] if b.get("aggregate_name") == "median"}

def window_ms(name):
    b = medians[name]
    scale = {"ns": 1e-6, "us": 1e-3, "ms": 1.0, "s": 1000.0}[b["time_unit"]]
    return b["real_time"] * scale

def instructions(step):
    # "totals:" counts what ran while instrumented; "summary:" stays 0 when it starts switched off.
    for line in (work / f"callgrind-{step}").read_text().splitlines():
        if line.startswith("totals:"):
            return int(line.split()[1])
    raise SystemExit(f"no instruction total for {step}")

def yes(ok):
    return "yes" if ok else "**no**"

def ms(value):
    return f"{value:.3f} ms" if value < 1 else f"{value:.1f} ms" if value < 100 else f"{value:.0f} ms"

def map_time():
    # In maptime's order: the build before the user's days, Tourwise with no days file, with
    # 5,000 entries, the minimal program.
    return [float(line.split()[-1]) for line in (work / "maptime.txt").read_text().splitlines()
            if line.startswith("median ")]

def whole_run_ms(label):
    return json.loads((work / f"whole-{label}.json").read_text())["results"][0]["median"] * 1000

rows = []
for label, name in (("offscreen", "offscreen"), ("xvfb", "Xvfb")):
    tourwise, floor = startup(label)
    ratio = tourwise / floor
    rows.append((f"Start-up to first paint, {name}: Tourwise / minimal",
                 f"{tourwise:.1f} ms / {floor:.1f} ms = {ratio:.2f} ×", "≤ 1.5 ×", yes(ratio <= 1.5)))
before, tourwise, with_days, floor = map_time()
rows.append(("Start-up to map, Xvfb + openbox: Tourwise / minimal",
             f"{tourwise:.0f} ms / {floor:.0f} ms = {tourwise / floor:.2f} ×", "≤ 1.25 ×",
             yes(tourwise / floor <= 1.25)))
for text, value in (("no days file", tourwise), ("5,000 entries", with_days)):
    rows.append((f"Start-up to map, {text}: Tourwise / the build before the user's days",
                 f"{value:.1f} ms / {before:.1f} ms = {value / before:.3f} ×", "≤ 1.03 ×",
                 yes(value / before <= 1.03)))
for label, name in (("offscreen", "offscreen"), ("xvfb", "Xvfb")):
    tourwise, floor = rss(label, "probe"), rss(label, "minimal")
    rows.append((f"Peak memory, {name}: Tourwise / minimal",
                 f"{tourwise:.1f} MB / {floor:.1f} MB (+{tourwise - floor:.1f} MB)",
                 "≤ minimal + 10 MB", yes(tourwise - floor <= 10)))
goals = {
    "BM_RefreshAll": ("`RefreshAll`", 0.3),
    "BM_PaintGrid": ("`PaintGrid`", None),
    "BM_BuildMonth": ("`BuildMonth`", None),
    "BM_NavigationStep": ("Navigation step: Right arrow to repainted window", 2.0),
    "BM_ResizeStep": ("Resize step: new height, `FormResize`, repaint", None),
    "BM_PageDownSweep/iterations:1": ("Page Down sweep, Jan 2016 to Dec 2060 (540 painted steps)",
                                      1000.0),
    "BM_NavigationStepWithEntries": ("Navigation step with 5,000 entries in the store", 2.0),
    "BM_OpenHoursDialog": ("Opening the Hours dialog, 5,000 entries: handler to painted dialog",
                           50.0),
}
for name, (text, goal) in goals.items():
    value = window_ms(name)
    shown = f"{value * 1e6:.0f} ns" if value < 0.001 else ms(value)
    rows.append((text, shown, f"< {ms(goal)}" if goal else "", yes(value < goal) if goal else ""))
for label, text, goal in (
        ("import", "`--import-days` of 5,000 entries into an empty data folder", 1000.0),
        ("hours", "`--hours`, 2016 to 2060, 5,000 entries", 100.0),
        ("ics", "`--export-ics`, 2016 to 2060, 5,000 entries", 300.0)):
    value = whole_run_ms(label)
    rows.append((text, ms(value), f"< {ms(goal)}", yes(value < goal)))
rows.append(("Instructions, one `RefreshAll`", f"{instructions('refresh'):,}", "", ""))
rows.append(("Instructions, one navigation step", f"{instructions('navigation'):,}", "", ""))
rows.append(("Instructions, one navigation step with 5,000 entries",
             f"{instructions('navigation-days'):,}", "", ""))
rows.append(("Instructions, opening the Hours dialog with 5,000 entries",
             f"{instructions('hours-days'):,}", "", ""))
tourwise, floor = instructions("startup-probe"), instructions("startup-minimal")
rows.append(("Instructions, start-up to first paint, offscreen: Tourwise / minimal",
             f"{tourwise / 1e6:.1f} M / {floor / 1e6:.1f} M = {tourwise / floor:.2f} ×", "", ""))

cpu = next((line.split(":", 1)[1].strip() for line in open("/proc/cpuinfo")
            if line.startswith("model name")), "unknown CPU")
print()
print(f"Measured {datetime.date.today()} on {cpu}, {os.cpu_count()} cores (nproc), "
      f"Qt {window['context'].get('qt', '?')}, offscreen and Xvfb; load average "
      f"{load_start} at the start, {load_end} at the end. Medians.")
print()
print("| Figure | Measured | Goal | Met |")
print("|---|---|---|---|")
for row in rows:
    print("| " + " | ".join(row) + " |")
print()
loads = [line.rsplit(" ", 1) for line in (work / "loads.txt").read_text().splitlines()]
print("Load average (1 minute) as each part started: " +
      ", ".join(f"{part} {load}" for part, load in loads) + ".")
EOF
