#!/usr/bin/env python3
"""Runs scenarios of entries and assignment changes through the built program and compares its
lists with the independent reference (hours_reference.py): each scenario starts in a fresh
settings and data folder, then its steps run in order (the settings file's group written, entries
imported with --import-days, changes recorded with --change-assignment or an imported history),
and --hours, --work-periods, --trades and --assignments print CSV under the scenario's time zone.

  hours_endtoend.py PROGRAM ROTATION_SOURCE [NAME_FILTER]

Where the reference leaves entries out (they stopped fitting after a correction), the program
must say so in one line on standard error and print the lists without them."""
import datetime
import os
import sys
import tempfile
from dataclasses import dataclass, field
from zoneinfo import ZoneInfo

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import endtoend_support as support  # noqa: E402
import hours_reference as reference  # noqa: E402
from endtoend_support import compare, date, entry, run  # noqa: E402

PROGRAM, ROTATION = sys.argv[1], sys.argv[2]
ONLY = sys.argv[3] if len(sys.argv) > 3 else ""
RDO_TABLE = reference.read_rdo_table(ROTATION)
NAMES = ["Okafor", "Lind", "García", "Smith, J.", "Chen"]
LEAVE_TYPES = ["vacation", "sick", "comp", "holiday", "other"]
ZONES = ("UTC", "America/New_York", "Australia/Sydney")
STORED_SHIFT_START = support.STORED_SHIFT_START
# The nights the clocks change in 2026, as (the day whose 08:00 shift is 23 or 25 hours, the
# next day); crew A is on duty on the first pair of each zone, crew B on the second.
CLOCK_CHANGES = {
    "America/New_York": [("2026-03-07", "2026-03-08"), ("2026-10-31", "2026-11-01")],
    "Australia/Sydney": [("2026-04-04", "2026-04-05"), ("2026-10-03", "2026-10-04")],
}
CLOCK_CHANGES["UTC"] = CLOCK_CHANGES["America/New_York"]


def days_of(assignment, first, last):
    """Duty days, RDOs and days off of a range."""
    return support.Days(RDO_TABLE, assignment, first, last)


# The scenarios of one assignment all year, as before the history.

def whole_shift_year():
    found = days_of("B2", date("2026-01-01"), date("2026-12-31"))
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
    found = days_of("A3", date("2026-01-01"), date("2026-06-30"))
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
    found = days_of("A5", date("2026-01-01"), date("2026-12-31"))
    entries = []
    for at, day in enumerate(found.rdo):
        entries.append(entry(day, ["overtime", "holdover", "training"][at % 3], 600 + at))
    for at, day in enumerate(found.off[::9]):
        entries.append(entry(day, "overtime", None if at % 2 else 130))
    for at, day in enumerate(found.duty[::11]):
        entries.append(entry(day, "holdover", 75))
    return entries


def clock_change_nights(assignment, nights):
    """Leave, trades and extra work on and around the nights the clocks change. Two nights
    close together pick the same days: each day gets each kind once, since a second whole
    shift of leave or trade on it would not fit the day."""
    found = days_of(assignment, min(nights) - datetime.timedelta(days=10),
                 max(nights) + datetime.timedelta(days=10))
    entries = {}
    for night in nights:
        near = [day for day in found.duty if abs((day - night).days) <= 3]
        if near:
            entries.setdefault((near[0], "absence"), entry(near[0], "leave",
                                                           leaveType="vacation"))
        if len(near) > 1:
            entries.setdefault((near[-1], "absence"), entry(near[-1], "trade-out",
                                                            with_="Okafor"))
        off = [day for day in found.off if abs((day - night).days) <= 3]
        if off:
            entries.setdefault((off[0], "trade-in"), entry(off[0], "trade-in", None, "Okafor"))
            entries.setdefault((off[-1], "training"), entry(off[-1], "training", 500))
    return list(entries.values())


# The scenarios of a career: entries over a history of assignments.

def career_entries(history, first, last, salt=0):
    """A bit of everything on the days first ... last as the history has them: whole and part
    trades and leave, training inside a shift worked and on days away, overtime in hours traded
    away, trade-ins, holdovers and notes. Every amount fits a 23-hour shift."""
    found = days_of(history, date(first), date(last))
    entries = []
    for at, day in enumerate(found.duty):
        name = NAMES[(at + salt) % len(NAMES)]
        pattern = (at + salt) % 6
        if pattern == 0:
            entries.append(entry(day, "trade-out", with_=name))
        elif pattern == 1:
            entries += [entry(day, "leave", 240, leaveType="sick"),
                        entry(day, "trade-out", 600, name), entry(day, "training", 90)]
        elif pattern == 2:
            entries.append(entry(day, "training", 120))
        elif pattern == 3:
            entries += [entry(day, "leave", leaveType=LEAVE_TYPES[at % len(LEAVE_TYPES)]),
                        entry(day, "training", 60)]
        elif pattern == 4:
            entries += [entry(day, "trade-out", 720, name), entry(day, "overtime", 300)]
        else:
            entries.append(entry(day, "holdover", 75))
    for at, day in enumerate(found.off):
        name = NAMES[(at + salt + 2) % len(NAMES)]
        pattern = (at + salt) % 10
        if pattern == 0:
            entries.append(entry(day, "trade-in", None, name))
        elif pattern == 3:
            entries += [entry(day, "trade-in", 480, name, start="20:00"),
                        entry(day, "overtime", 600)]
        elif pattern == 5:
            entries.append(entry(day, "training", 200))
        elif pattern == 7:
            entries.append(entry(day, "overtime"))
        elif pattern == 9:
            entries.append(entry(day, "note", note="station 4"))
    for at, day in enumerate(found.rdo):
        entries.append(entry(day, "overtime", 600) if at % 2 else entry(day, "training", 300))
    return entries


def history_of(current, *rows):
    return reference.History([(group, date(until)) for group, until in rows], current)


@dataclass
class Run:
    """One run of the three lists: the range and the options of the run."""
    first: str = "2026-01-01"
    last: str = "2026-12-31"
    year: int = None            # given to the program as --year instead of --from/--to
    what_if: str = None         # --assignment
    shift_start: str = None
    work_period_days: int = None
    work_period_start: str = None

    def program_options(self, with_range=True):
        options = []
        if with_range:
            options = ["--year", str(self.year)] if self.year else \
                ["--from", self.first, "--to", self.last]
        if self.what_if:
            options += ["--assignment", self.what_if]
        if self.shift_start:
            options += ["--shift-start", self.shift_start]
        if self.work_period_days:
            options += ["--work-period-days", str(self.work_period_days)]
        if self.work_period_start:
            options += ["--work-period-start", self.work_period_start]
        return options

    def label(self):
        parts = [part for part in (self.what_if and f"as {self.what_if}",
                                   self.shift_start and f"from {self.shift_start}",
                                   self.work_period_days and f"{self.work_period_days}-day "
                                   "work periods" + (f" from {self.work_period_start}"
                                                     if self.work_period_start else ""))
                 if part]
        return f" ({', '.join(parts)})" if parts else ""


@dataclass
class Scenario:
    name: str
    zone: str
    steps: list
    runs: list = field(default_factory=lambda: [Run()])
    # (label, the step after which the rows are taken, the day before which they must stay)
    kept_past: tuple = None


# Steps. Each is a tuple whose first item says what it does.
def settings(group):
    return ("settings", group)


def imported(entries, history=None, version=None):
    document = {"format": "tourwise-days", "version": version or (2 if history else 1),
                "entries": entries}
    if history is not None:
        document["version"] = 2
        document["assignmentHistory"] = history.as_document_rows()
    return ("import", document, history)


def change(group, effective):
    return ("change", group, date(effective))


def one_assignment_scenarios():
    year = {"first": "2026-01-01", "last": "2026-12-31"}

    def as_before(name, assignment, entries, zone="UTC", **run):
        return Scenario(name, zone, [settings(assignment)] +
                        ([imported(entries)] if entries else []),
                        [Run(**year, what_if=assignment, **run)])

    yield as_before("no entries", "B2", [])
    yield as_before("a year of whole-shift trades and leave", "B2", whole_shift_year())
    yield as_before("partial trades", "A3", partial_trades(), shift_start="07:30")
    yield as_before("extra work on RDOs and days off", "A5", extra_work())
    new_york = [date("2026-03-07"), date("2026-03-08"), date("2026-10-31"), date("2026-11-01")]
    sydney = [date("2026-04-04"), date("2026-04-05"), date("2026-10-03"), date("2026-10-04")]
    for assignment in ("A1", "B4"):
        # 01:30 and 02:30 fall in the hour that New York or Sydney repeats or skips.
        for start in ("08:00", "01:30", "02:30"):
            yield as_before(f"New York, {assignment} from {start}", assignment,
                            clock_change_nights(assignment, new_york), "America/New_York",
                            shift_start=start, work_period_days=7,
                            work_period_start="2026-03-05")
            yield as_before(f"Sydney, {assignment} from {start}", assignment,
                            clock_change_nights(assignment, sydney), "Australia/Sydney",
                            shift_start=start, work_period_days=14,
                            work_period_start="2026-03-30")
    # Extra work of an A5 year over a B2 year: what cannot be on a B2 day (overtime on a duty
    # day worked, or on top of a whole trade-in) is left out, as the import would refuse it.
    b2 = reference.Rotation(RDO_TABLE, "B2", ZoneInfo("UTC"), STORED_SHIFT_START)
    entries = fitting(whole_shift_year() + [e for e in extra_work() if e["kind"] != "holdover"],
                      b2)
    for days_, first in ((7, "2026-01-07"), (14, "2025-12-31"), (27, "2026-02-03"),
                         (28, "2026-05-19"), (28, None)):
        yield as_before(f"work periods of {days_} days from {first}", "B2", entries,
                        work_period_days=days_, work_period_start=first)


def career_scenarios(zone):
    """Each runs in every zone; the clock-change dates are the zone's own."""
    tag = f" ({zone})"
    spring, autumn = CLOCK_CHANGES[zone]
    repeated_and_skipped = [Run(), Run(shift_start="01:30"), Run(shift_start="02:30")]

    final = history_of("A3", ("B2", "2026-03-14"))
    yield Scenario("a change mid pay period and mid work period" + tag, zone, [
        settings("B2"), change("A3", "2026-03-15"),
        imported(career_entries(final, "2026-01-01", "2026-12-31"))],
        [Run(), Run(work_period_days=7, work_period_start="2026-03-12"),
         Run(shift_start="02:30")])

    # The first day of each pair is crew A's, the second crew B's: A3 to A5 on the night of the
    # first change, A5 to B3 on the night of the second, with duty on both sides of each.
    final = history_of("B3", ("A3", (date(spring[1]) - datetime.timedelta(1)).isoformat()),
                       ("A5", (date(autumn[1]) - datetime.timedelta(1)).isoformat()))
    near = career_entries(final, (date(spring[0]) - datetime.timedelta(12)).isoformat(),
                          (date(autumn[1]) + datetime.timedelta(12)).isoformat(), salt=3)
    # On the four days themselves, whole shifts of 23 or 25 hours: leave where the day is
    # duty under the assignment of that day, a shift worked for someone where it is not.
    rotation = reference.Rotation(RDO_TABLE, final, ZoneInfo(zone), STORED_SHIFT_START)
    near = [e for e in near if e["date"] not in spring + autumn] + [
        entry(date(day), "leave", leaveType="vacation") if rotation.own_duty(date(day)) else
        entry(date(day), "trade-in", None, "Lind") for day in spring + autumn]
    yield Scenario("a change on a clock-change night" + tag, zone, [
        settings("A3"), change("A5", spring[1]), change("B3", autumn[1]), imported(near)],
        repeated_and_skipped)

    # Back from RDO: the months without a sub-group stay, as a change back from a group does.
    to_rdo = history_of("B2", ("B2", "2026-04-30"), ("RDO", "2026-07-31"))
    yield Scenario("a change to RDO and back" + tag, zone, [
        settings("B2"), change("RDO", "2026-05-01"), change("B2", "2026-08-01"),
        imported(career_entries(to_rdo, "2026-01-01", "2026-12-31", salt=1))])

    back = history_of("B2", ("B2", "2026-06-30"), ("A3", "2026-09-30"))
    yield Scenario("a change and back" + tag, zone, [
        settings("B2"), change("A3", "2026-07-01"), change("B2", "2026-10-01"),
        imported(career_entries(back, "2026-01-01", "2026-12-31", salt=2))])

    yield Scenario("a correction: it was always A3" + tag, zone, [
        settings("B2"),
        imported(career_entries(history_of("B2"), "2026-02-01", "2026-11-30", salt=4)),
        settings("A3")])

    recorded = history_of("A3", ("B2", "2026-06-30"))
    yield Scenario("a correction of the history" + tag, zone, [
        settings("A3"),
        imported(career_entries(recorded, "2026-01-01", "2026-12-31", salt=5), recorded),
        imported([], history_of("A3", ("B2", "2026-03-31")))])

    first = history_of("A3", ("B2", "2026-06-30"))
    final = history_of("A5", ("B2", "2026-04-14"))
    yield Scenario("a change dated before an earlier change" + tag, zone, [
        settings("B2"), change("A3", "2026-07-01"),
        imported(career_entries(first, "2026-01-01", "2026-04-10", salt=1)),
        change("A5", "2026-04-15"),
        imported(career_entries(final, "2026-04-15", "2026-12-31", salt=2))])

    before = career_entries(history_of("B2"), "2026-01-01", "2026-06-30")
    after = career_entries(history_of("A3", ("B2", "2026-06-30")), "2026-07-01", "2026-12-31")
    yield Scenario("B2 to A3 on 1 July, with the trades and leave of before" + tag, zone, [
        settings("B2"), imported(before), ("keep", "before the change"),
        change("A3", "2026-07-01"), imported(after)],
        kept_past=("before the change", date("2026-07-01")))

    training = []
    found = days_of(history_of("A3", ("B2", "2026-06-30")), date("2026-05-01"),
                    date("2026-08-31"))
    for at, day in enumerate(found.duty):
        training += [entry(day, "training", 180 + at)]
        if at % 4 == 1:
            training += [entry(day, "trade-out", 300, "Chen")]
        elif at % 4 == 2:
            training += [entry(day, "trade-out", None, "Chen")]
        elif at % 4 == 3:
            training += [entry(day, "leave", None, leaveType="vacation")]
    training += [entry(day, "training", 240) for day in found.off[::2] + found.rdo]
    yield Scenario("training on duty days worked and on days away" + tag, zone, [
        settings("B2"), change("A3", "2026-07-01"), imported(training)],
        [Run(first="2026-05-01", last="2026-08-31")])

    edges = career_entries(history_of("B2"), "2025-12-28", "2026-01-10", salt=1) + \
        career_entries(history_of("B2"), "2026-12-27", "2027-01-09", salt=2)
    yield Scenario("1 to 10 January in the lists of 2026" + tag, zone, [
        settings("B2"), imported(edges)], [Run(year=2026)])


def scenarios():
    yield from one_assignment_scenarios()
    for zone in ZONES:
        yield from career_scenarios(zone)


def fitting(entries, rotation):
    by_day = reference.entries_by_day(entries)
    return [e for day, day_entries in by_day.items()
            for e, _ in reference.counted_entries(day, rotation, day_entries)]


def run_step(step, state, folder, environment, kept):
    """Problems of one step, as lines; empty when it went as it should."""
    what = step[0]
    if what == "settings":
        # A correction when there is no history: the group holds on every day.
        support.write_settings(folder, RDO=step[1])
        state.history = reference.History(state.history.rows, step[1])
        return []
    if what == "import":
        document, history = step[1], step[2]
        after = reference.History(history.rows, state.history.current) if history else \
            state.history
        unfit = state.unfit_on_import(document["entries"], after)
        if unfit:
            return [unfit]
        code, _, err = run([PROGRAM, "--import-days", support.write_document(folder, document)],
                           environment)
        if code != 0:
            return [f"--import-days exits {code}: {err.strip()}"]
        state.history = after
        state.merge(document["entries"])
        return []
    if what == "change":
        group, effective = step[1], step[2]
        code, _, err = run([PROGRAM, "--change-assignment", group, "--effective",
                            effective.isoformat()], environment)
        if code != 0:
            return [f"--change-assignment {group} --effective {effective} exits {code}: "
                    f"{err.strip()}"]
        state.history = state.history.changed(group, effective)
        stored = support.stored_setting(folder, "RDO")
        if stored != group:
            return [f"--change-assignment {group}: the settings file holds RDO={stored}"]
        return []
    if what == "keep":
        for option in ("--hours", "--work-periods"):
            code, out, err = run([PROGRAM, option, "--csv", "--from", "2026-01-01", "--to",
                                  "2026-12-31"], environment)
            if code != 0 or err:
                return [f"{option} exits {code}: {err.strip()}"]
            kept[(step[1], option)] = out
        return []
    raise ValueError(what)


def stderr_problem(option, err, left_out):
    """The program names the entries it leaves out in one line, and says nothing otherwise."""
    lines = err.splitlines()
    if option == "--trades":
        trades = [e for _, e in left_out if e["kind"] in ("trade-out", "trade-in")]
        allowed = {1} if trades else ({0, 1} if left_out else {0})
    else:
        allowed = {1} if left_out else {0}
    if len(lines) in allowed:
        return None
    if left_out:
        day, first = left_out[0]
        return (f"{len(lines)} lines on standard error, where {len(left_out)} entries are left "
                f"out (the first a {first['kind']} on {day}): {err.strip()}")
    return f"standard error: {err.strip()}"


def check_lists(scenario, state, run_, environment):
    problems = []
    shift_start = datetime.time.fromisoformat(run_.shift_start) if run_.shift_start else \
        STORED_SHIFT_START
    rotation = state.rotation(shift_start, run_.what_if)
    by_day = state.by_day()
    setup = reference.Setup(date(run_.first), date(run_.last), rotation,
                            run_.work_period_days or 28,
                            date(run_.work_period_start) if run_.work_period_start else None)
    lists = (
        ("--hours", reference.hours_report(setup, by_day),
         reference.period_days(setup.pay_periods(), reference.PAY_PERIOD_DAYS)),
        ("--work-periods", reference.work_period_report(setup, by_day),
         reference.period_days(setup.work_periods(), setup.work_period_days)),
        ("--trades", reference.trade_report(rotation, by_day), None),
    )
    for option, expected, scope in lists:
        code, got, err = run([PROGRAM, option, "--csv"] +
                             run_.program_options(with_range=option != "--trades"), environment)
        name = f"{scenario.name}{run_.label()}, {option}"
        problem = stderr_problem(option, err, reference.left_out(rotation, by_day, scope))
        if code != 0 or problem:
            problems.append(f"FAIL {name}: exit {code}; {problem or err.strip()}")
        elif got != expected or not expected:
            problems += compare(name, got, expected)
        else:
            print(f"ok   {name}: {len(expected.splitlines()) - 1} rows")
    return problems


def check_scenario(scenario):
    problems = []
    with tempfile.TemporaryDirectory() as folder:
        environment = support.fresh_environment(folder, scenario.zone)
        state = support.State(RDO_TABLE, scenario.zone)
        kept = {}
        for step in scenario.steps:
            failed = run_step(step, state, folder, environment, kept)
            if failed:
                return [f"FAIL {scenario.name}, step {step[0]}: {line}" for line in failed]
        for run_ in scenario.runs:
            problems += check_lists(scenario, state, run_, environment)
        code, got, err = run([PROGRAM, "--assignments", "--csv"], environment)
        expected = reference.assignments_report(state.history)
        if code != 0 or err:
            problems.append(f"FAIL {scenario.name}, --assignments: exit {code} {err.strip()}")
        elif got != expected:
            problems += compare(f"{scenario.name}, --assignments", got, expected)
        else:
            print(f"ok   {scenario.name}, --assignments: {len(state.history.rows) + 1} rows")
        if scenario.kept_past:
            label, before = scenario.kept_past
            for option in ("--hours", "--work-periods"):
                _, now, _ = run([PROGRAM, option, "--csv", "--from", "2026-01-01", "--to",
                                 "2026-12-31"], environment)
                last_column = 2 if option == "--hours" else 1
                past = [[line for line in text.splitlines()[1:]
                         if date(line.split(",")[last_column]) < before]
                        for text in (kept[(label, option)], now)]
                if past[0] != past[1] or not past[0]:
                    problems.append(f"FAIL {scenario.name}, {option}: the periods {label} "
                                    f"changed ({len(past[0])} rows then, {len(past[1])} now)")
                else:
                    print(f"ok   {scenario.name}, {option}: {len(past[0])} periods {label} "
                          "unchanged")
    return problems


def main():
    failures = 0
    count = 0
    for scenario in scenarios():
        if ONLY not in scenario.name:
            continue
        count += 1
        problems = check_scenario(scenario)
        for line in problems:
            print(line)
        failures += sum(1 for line in problems if line.startswith("FAIL"))
    print(f"{count} scenarios, {failures} lists differ")
    return 1 if failures or not count else 0


if __name__ == "__main__":
    sys.exit(main())
