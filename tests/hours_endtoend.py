#!/usr/bin/env python3
"""Runs scenarios of entries through the built program and compares its three lists of hours with
the independent reference (hours_reference.py): the entries go in with --import-days into a fresh
data folder, then --hours, --work-periods and --trades print CSV under the scenario's time zone.

  hours_endtoend.py PROGRAM ROTATION_SOURCE"""
import datetime
import json
import os
import subprocess
import sys
import tempfile
import uuid

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import hours_reference as reference  # noqa: E402

PROGRAM, ROTATION = sys.argv[1], sys.argv[2]
RDO_TABLE = reference.read_rdo_table(ROTATION)
NAMES = ["Okafor", "Lind", "García", "Smith, J.", "Chen"]
LEAVE_TYPES = ["vacation", "sick", "comp", "holiday", "other"]


def days(first, last):
    day = first
    while day <= last:
        yield day
        day += datetime.timedelta(days=1)


def date(text):
    return datetime.date.fromisoformat(text)


class Days:
    """Which days of a range are the assignment's duty days, RDOs and days off."""

    def __init__(self, assignment, first, last):
        rotation = reference.Rotation(RDO_TABLE, assignment, datetime.timezone.utc,
                                      datetime.time(8))
        self.duty = [day for day in days(first, last) if rotation.own_duty(day)]
        self.rdo = [day for day in days(first, last)
                    if RDO_TABLE[(day - reference.RDO_EPOCH).days % 196] == assignment]
        self.off = [day for day in days(first, last)
                    if day not in self.duty and day not in self.rdo]


def entry(day, kind, minutes=None, with_=None, **extra):
    made = {"id": str(uuid.uuid4()), "date": day.isoformat(), "kind": kind, "revision": 1,
            "modified": "2026-01-01T00:00:00Z"}
    if minutes is not None:
        made["minutes"] = minutes
    if with_ is not None:
        made["with"] = with_
    made.update(extra)
    return made


def whole_shift_year():
    found = Days("B2", date("2026-01-01"), date("2026-12-31"))
    entries = []
    for at, day in enumerate(found.duty):
        if at % 5 == 0:
            entries.append(entry(day, "trade-out", with_=NAMES[at % len(NAMES)]))
        elif at % 7 == 0:
            entries.append(entry(day, "leave", leaveType=LEAVE_TYPES[at % len(LEAVE_TYPES)]))
    for at, day in enumerate(found.off[::6]):
        # Every other one without minutes: a whole shift worked for someone.
        entries.append(entry(day, "trade-in", None if at % 2 else 24 * 60,
                             NAMES[(at + 2) % len(NAMES)]))
    return entries


def partial_trades():
    found = Days("A3", date("2026-01-01"), date("2026-06-30"))
    entries = []
    for at, day in enumerate(found.duty[:40]):
        minutes = [600, 90, 15, 725, 1][at % 5]
        entries.append(entry(day, "trade-out", minutes, NAMES[at % 3]))
        if at % 4 == 0:
            entries.append(entry(day, "leave", 240, leaveType="sick"))
        if at % 6 == 0:
            entries.append(entry(day, "note", note="swapped the second half"))
    for at, day in enumerate(found.off[:30]):
        entries.append(entry(day, "trade-in", [480, 20, 1440, 45][at % 4], NAMES[at % 3],
                             start=["07:00", "20:00", "08:00", "00:00"][at % 4]))
    return entries


def extra_work():
    found = Days("A5", date("2026-01-01"), date("2026-12-31"))
    entries = []
    for at, day in enumerate(found.rdo):
        entries.append(entry(day, ["overtime", "holdover", "training"][at % 3], 600 + at))
    for at, day in enumerate(found.off[::9]):
        entries.append(entry(day, "overtime", None if at % 2 else 130))
    for at, day in enumerate(found.duty[::11]):
        entries.append(entry(day, "holdover", 75))
    return entries


def clock_change_nights(assignment, nights):
    """Leave, trades and extra work on and around the nights the clocks change."""
    found = Days(assignment, min(nights) - datetime.timedelta(days=10),
                 max(nights) + datetime.timedelta(days=10))
    entries = []
    for night in nights:
        near = [day for day in found.duty if abs((day - night).days) <= 3]
        if near:
            entries.append(entry(near[0], "leave", leaveType="vacation"))
        if len(near) > 1:
            entries.append(entry(near[-1], "trade-out", with_="Okafor"))
        off = [day for day in found.off if abs((day - night).days) <= 3]
        if off:
            entries.append(entry(off[0], "trade-in", None, "Okafor"))
            entries.append(entry(off[-1], "training", 500))
    return entries


def scenarios():
    year = {"from": "2026-01-01", "to": "2026-12-31"}
    yield "no entries", dict(year, assignment="B2"), []
    yield "a year of whole-shift trades and leave", dict(year, assignment="B2"), \
        whole_shift_year()
    yield "partial trades", dict(year, assignment="A3", shift_start="07:30"), partial_trades()
    yield "extra work on RDOs and days off", dict(year, assignment="A5"), extra_work()
    new_york = [date("2026-03-07"), date("2026-03-08"), date("2026-10-31"), date("2026-11-01")]
    sydney = [date("2026-04-04"), date("2026-04-05"), date("2026-10-03"), date("2026-10-04")]
    for assignment in ("A1", "B4"):
        # 01:30 and 02:30 fall in the hour that New York or Sydney repeats or skips.
        for start in ("08:00", "01:30", "02:30"):
            yield f"New York, {assignment} from {start}", dict(
                year, assignment=assignment, zone="America/New_York", shift_start=start,
                work_period_days=7, work_period_start="2026-03-05"), \
                clock_change_nights(assignment, new_york)
            yield f"Sydney, {assignment} from {start}", dict(
                year, assignment=assignment, zone="Australia/Sydney", shift_start=start,
                work_period_days=14, work_period_start="2026-03-30"), \
                clock_change_nights(assignment, sydney)
    entries = whole_shift_year() + extra_work()
    for days_, first in ((7, "2026-01-07"), (14, "2025-12-31"), (27, "2026-02-03"),
                         (28, "2026-05-19"), (28, None)):
        yield f"work periods of {days_} days from {first}", dict(
            year, assignment="B2", work_period_days=days_, work_period_start=first), \
            [e for e in entries if e["kind"] != "holdover"]


def program_options(settings):
    options = ["--assignment", settings["assignment"]]
    if settings.get("shift_start"):
        options += ["--shift-start", settings["shift_start"]]
    if settings.get("work_period_days"):
        options += ["--work-period-days", str(settings["work_period_days"])]
    if settings.get("work_period_start"):
        options += ["--work-period-start", settings["work_period_start"]]
    return options


def reference_options(settings):
    options = ["--assignment", settings["assignment"], "--zone", settings.get("zone", "UTC")]
    if settings.get("shift_start"):
        options += ["--shift-start", settings["shift_start"]]
    if settings.get("work_period_days"):
        options += ["--work-period-days", str(settings["work_period_days"])]
    if settings.get("work_period_start"):
        options += ["--work-period-start", settings["work_period_start"]]
    return options


def run(arguments, environment):
    done = subprocess.run(arguments, env=environment, capture_output=True, text=True,
                          check=False)
    return done.returncode, done.stdout, done.stderr


def main():
    failures = 0
    count = 0
    for name, settings, entries in scenarios():
        count += 1
        with tempfile.TemporaryDirectory() as folder:
            environment = {key: value for key, value in os.environ.items()
                           if key not in ("DISPLAY", "WAYLAND_DISPLAY", "XDG_RUNTIME_DIR")}
            environment.update(XDG_CONFIG_HOME=os.path.join(folder, "config"),
                               XDG_DATA_HOME=os.path.join(folder, "data"),
                               TZ=settings.get("zone", "UTC"), LC_ALL="C.UTF-8")
            file = os.path.join(folder, "entries.json")
            with open(file, "w", encoding="utf-8") as stream:
                json.dump({"format": "tourwise-days", "version": 1, "entries": entries}, stream,
                          ensure_ascii=False)
            if entries:
                code, _, err = run([PROGRAM, "--import-days", file], environment)
                if code != 0:
                    print(f"FAIL {name}: --import-days exits {code}: {err.strip()}")
                    failures += 1
                    continue
            for report, option in (("hours", "--hours"), ("work-periods", "--work-periods"),
                                   ("trades", "--trades")):
                range_ = [] if report == "trades" else ["--from", settings["from"],
                                                        "--to", settings["to"]]
                code, got, err = run([PROGRAM, option, "--csv"] + range_ +
                                     program_options(settings), environment)
                _, expected, ref_err = run(
                    [sys.executable, os.path.join(os.path.dirname(__file__),
                                                  "hours_reference.py"),
                     file, "--rotation", ROTATION, "--report", report,
                     "--from", settings["from"], "--to", settings["to"]] +
                    reference_options(settings), environment)
                if code != 0 or err or got != expected or not expected:
                    failures += 1
                    print(f"FAIL {name}, {option}: exit {code} {err.strip()}{ref_err.strip()}")
                    for want, have in zip(expected.splitlines(), got.splitlines()):
                        if want != have:
                            print(f"  reference: {want}\n  program:   {have}")
                            break
                    else:
                        print(f"  {len(expected.splitlines())} lines expected, "
                              f"{len(got.splitlines())} printed")
                else:
                    print(f"ok   {name}, {option}: {len(expected.splitlines()) - 1} rows")
    print(f"{count} scenarios, {failures} lists differ")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
