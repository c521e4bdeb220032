#!/usr/bin/env python3
"""Runs scenarios of leave and comp banks through the built program and compares its
--balances --csv with the independent reference (banks_reference.py), line by line: each
scenario starts in a fresh settings and data folder, writes the settings file's group (and pay
period start), imports its banks and entries with --import-days (version 3 of the JSON form),
and asks for the balances of one or more ranges under the scenario's time zone.

  banks_endtoend.py PROGRAM ROTATION_SOURCE [NAME_FILTER]"""
import datetime
import os
import sys
import tempfile
from dataclasses import dataclass
from decimal import Decimal

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import banks_reference as banks  # noqa: E402
import endtoend_support as support  # noqa: E402
import hours_reference as reference  # noqa: E402
from endtoend_support import compare, date, entry, run  # noqa: E402

PROGRAM, ROTATION = sys.argv[1], sys.argv[2]
ONLY = sys.argv[3] if len(sys.argv) > 3 else ""
RDO_TABLE = reference.read_rdo_table(ROTATION)


def days_of(assignment, first, last):
    return support.Days(RDO_TABLE, assignment, date(first), date(last))


def bank(name, as_of, balance, accrual, **optional):
    """A bank's set-up as the JSON form writes it; amounts as text, so they stay exact."""
    row = {"bank": name, "asOf": as_of, "balance": Decimal(balance),
           "accrual": Decimal(accrual)}
    for key, value in optional.items():
        row[key] = value if key == "yearStart" else Decimal(value)
    return row


def leave(day, kind, minutes=None):
    return entry(day, "leave", minutes, leaveType=kind) if kind else entry(day, "leave", minutes)


def comp(day, kind, minutes=None):
    return entry(day, kind, minutes, comp=True)


def one_a_day(entries):
    """The first entry of each day: leave of two patterns on one day could pass the shift,
    which the import refuses."""
    seen = set()
    kept = []
    for made in entries:
        if made["date"] not in seen:
            seen.add(made["date"])
            kept.append(made)
    return kept


@dataclass
class Balances:
    """One --balances run: --year, or --from and --to."""
    year: int = None
    first: str = None
    last: str = None

    def options(self):
        return ["--year", str(self.year)] if self.year else ["--from", self.first, "--to",
                                                             self.last]

    def range(self):
        if self.year:
            return datetime.date(self.year, 1, 1), datetime.date(self.year, 12, 31)
        return date(self.first), date(self.last)

    def label(self):
        return str(self.year) if self.year else f"{self.first} to {self.last}"


@dataclass
class Scenario:
    name: str
    steps: list
    runs: list
    zone: str = "UTC"
    pay_period_start: str = None   # the settings file's PPStart, ISO; None leaves the default
    assignment: str = "B2"


def imported(entries=(), set_up=(), history=None):
    document = {"format": "tourwise-days", "version": 3, "entries": list(entries)}
    if set_up:
        document["banks"] = list(set_up)
    if history is not None:
        document["assignmentHistory"] = history.as_document_rows()
    return ("import", document, history)


def refused(set_up, nearest):
    """An import the program must refuse whole, with one sentence that names `nearest`."""
    return ("refused", {"format": "tourwise-days", "version": 3, "entries": [],
                        "banks": list(set_up)}, nearest)


def cap_by_accrual():
    found = days_of("B2", "2026-01-01", "2026-12-31")
    entries = [leave(day, "vacation") for day in found.duty[30:110:9]]
    entries += [leave(day, "vacation", 600) for day in found.duty[34:110:13]]
    entries += [leave(day, "sick", 240) for day in found.duty[5::17]]
    return Scenario("a cap reached by accrual", [imported(one_a_day(entries), [
        bank("vacation", "2026-01-11", "130", "7", cap="150"),
        bank("sick", "2026-01-11", "40", "4.62")])],
        [Balances(year=2026), Balances(first="2026-01-11", last="2026-06-30")])


def forfeiture():
    found = days_of("B2", "2025-01-01", "2027-12-31")
    # 1 January 2025 is a B2 duty day: the forfeiture comes before that day's leave.
    entries = [leave(date("2025-01-01"), "vacation")]
    entries += [leave(day, "vacation", 480) for day in found.duty[1::23]]
    entries += [leave(day, "holiday", 720) for day in found.duty[3::31]]
    entries += [leave(day, "sick") for day in found.duty[7::29]]
    return Scenario("a forfeiture at a year start", [imported(one_a_day(entries), [
        bank("vacation", "2025-01-12", "150", "8", carryOver="120"),
        # The leave year of the holidays starts on 1 July; nothing is carried into it.
        bank("holiday", "2025-01-12", "20", "4", carryOver="0", yearStart="07-01"),
        # A leave year that starts on the day the bank is set up: forfeited at once.
        bank("sick", "2025-01-12", "300.5", "5.5", cap="400", carryOver="240.25",
             yearStart="01-12")])],
        [Balances(first="2025-01-12", last="2027-12-31"), Balances(year=2026)])


def comp_over_cap():
    found = days_of("B2", "2026-01-01", "2026-12-31")
    entries = [comp(day, "overtime", 600) for day in found.off[2:40:4]]
    entries += [comp(day, "holdover", 135) for day in found.duty[1:60:5]]
    entries += [entry(day, "overtime", 300) for day in found.off[3:60:7]]   # paid, not banked
    entries += [leave(day, "comp", 480) for day in found.duty[40::11]]
    entries += [comp(day, "overtime") for day in found.rdo[8:14]]   # a whole shift, 36 earned
    return Scenario("comp over its cap", [imported(entries, [
        bank("comp", "2026-01-11", "470", "0", cap="480")])], [Balances(year=2026)])


def overdrawn():
    found = days_of("B2", "2026-01-01", "2026-12-31")
    entries = [leave(day, "sick") for day in found.duty[2:30:3]]
    entries += [leave(day, "sick", 90) for day in found.duty[31:50:2]]
    return Scenario("a bank overdrawn", [imported(entries, [
        bank("sick", "2026-01-11", "10", "2.5", cap="30")])], [Balances(year=2026)])


def set_up_mid_year():
    found = days_of("B2", "2026-01-01", "2026-12-31")
    entries = [leave(day, "vacation", 300) for day in found.duty[::7]]
    # Leave on the first duty day from asOf on counts; before it, none does.
    first = next(day for day in found.duty if day >= date("2026-06-28"))
    entries = one_a_day([leave(first, "vacation", 60), leave(first, "sick", 60)] + entries)
    return Scenario("a bank set up mid-year", [
        imported(entries, [bank("vacation", "2026-01-11", "80", "6"),
                           bank("sick", "2026-01-11", "12", "3")]),
        # The second import names only the vacation bank: the sick bank keeps its set-up.
        imported([], [bank("vacation", "2026-06-28", "100", "6.25", cap="200")]),
        # asOf must be the first day of a pay period: 2 July is not, and 28 June is nearer
        # than 12 July. Refused whole, it changes nothing.
        refused([bank("vacation", "2026-07-02", "5", "1"), bank("sick", "2026-06-28", "0", "0")],
                "2026-06-28")],
        [Balances(year=2026), Balances(first="2026-07-01", last="2026-07-01")])


def types_without_bank():
    found = days_of("B2", "2026-01-01", "2026-12-31")
    entries = []
    for at, day in enumerate(found.duty[::3]):
        entries.append(leave(day, ["other", None, "holiday", "sick", "vacation"][at % 5], 240))
    return Scenario("leave of a type with no bank", [imported(entries, [
        bank("vacation", "2026-01-11", "100", "0"),
        bank("comp", "2026-01-11", "5", "0", cap="480")])], [Balances(year=2026)])


# The days around the nights the clocks change in New York and in Sydney; in the other zones they
# are days of 24 hours.
CLOCK_CHANGE_DAYS = ("2026-03-07", "2026-03-08", "2026-04-04", "2026-04-05", "2026-10-03",
                     "2026-10-04", "2026-10-31", "2026-11-01")


def clock_change_nights(zone):
    """Whole shifts without minutes on the days of 23 and 25 hours: with A3 until 30 June and
    B3 after, each zone's 23 and 25 hour shifts are duty days (leave); the others of the list
    get a whole shift of overtime as comp time."""
    history = reference.History([("A3", date("2026-06-30"))], "B3")
    rotation = reference.Rotation(RDO_TABLE, history, datetime.timezone.utc, datetime.time(8))
    entries = [leave(date(day), "vacation") if rotation.own_duty(date(day)) else
               comp(date(day), "overtime") for day in CLOCK_CHANGE_DAYS]
    entries += [leave(day, "sick", 60 * (at + 1))
                for at, day in enumerate(days_of(history, "2026-05-01", "2026-08-31").duty[::5])]
    return Scenario(f"leave without minutes on a clock-change night ({zone})", [
        imported(entries, [bank("vacation", "2026-01-11", "200", "0"),
                           bank("sick", "2026-01-11", "50", "0"),
                           bank("comp", "2026-01-11", "0", "0", cap="480")], history)],
        [Balances(year=2026)], zone=zone, assignment="B3")


def odd_minutes():
    found = days_of("B2", "2026-01-01", "2026-12-31")
    entries = []
    for day, minutes in zip(found.duty[3:], (1, 20, 59, 725, 11, 13, 1439)):
        entries.append(leave(day, "vacation", minutes))
    day = found.duty[12]
    entries += [leave(day, "vacation", 1), leave(day, "vacation", 1), leave(day, "vacation", 1)]
    for day, minutes in zip(found.off[3:], (1, 11, 20, 59, 725, 13, 7, 1)):
        entries.append(comp(day, "overtime", minutes))
    day = found.off[20]
    entries += [comp(day, "overtime", 11), comp(day, "overtime", 11)]
    return Scenario("odd minutes that round", [imported(entries, [
        bank("vacation", "2026-01-11", "100", "4.62"),
        bank("comp", "2026-01-11", "0.01", "0", cap="480")])], [Balances(year=2026)])


def forty_five_years():
    found = days_of("B2", "2016-01-01", "2060-12-31")
    entries = [leave(day, "vacation", 600) for day in found.duty[::26]]
    entries += [leave(day, "sick") for day in found.duty[5::61]]
    entries += [leave(day, "comp", 400) for day in found.duty[9::89]]
    # 250 minutes are 4.17 h and earn 6.26 (6.255 rounded half up).
    entries = one_a_day(entries) + [comp(day, "overtime", 250) for day in found.off[::97]]
    return Scenario("45 years of accrual, 2016 to 2060", [imported(entries, [
        bank("vacation", "2016-01-03", "0", "4.62"),
        bank("sick", "2016-01-03", "12.34", "3.69", cap="1040", carryOver="720",
             yearStart="07-01"),
        bank("comp", "2016-01-03", "0", "0", cap="480"),
        bank("holiday", "2016-01-03", "0", "0.01")])],
        [Balances(first="2016-01-03", last="2060-12-31"), Balances(year=2060)],
        pay_period_start="2016-01-03")


def scenarios():
    yield cap_by_accrual()
    yield forfeiture()
    yield comp_over_cap()
    yield overdrawn()
    yield set_up_mid_year()
    yield types_without_bank()
    for zone in ("UTC", "America/New_York", "Australia/Sydney"):
        yield clock_change_nights(zone)
    yield odd_minutes()
    yield forty_five_years()


def check_scenario(scenario):
    problems = []
    pay_period_start = date(scenario.pay_period_start) if scenario.pay_period_start else \
        reference.DEFAULT_PAY_PERIOD_START
    with tempfile.TemporaryDirectory() as folder:
        environment = support.fresh_environment(folder, scenario.zone)
        keys = {"RDO": scenario.assignment}
        if scenario.pay_period_start:
            keys["PPStart"] = scenario.pay_period_start
        support.write_settings(folder, **keys)
        state = support.State(RDO_TABLE, scenario.zone)
        state.history = reference.History((), scenario.assignment)
        set_up = {}
        for step in scenario.steps:
            what, document = step[0], step[1]
            path = support.write_document(folder, document)
            code, _, err = run([PROGRAM, "--import-days", path], environment)
            if what == "refused":
                nearest = step[2]
                if code != 1 or len(err.splitlines()) != 1 or nearest not in err:
                    problems.append(f"FAIL {scenario.name}: a bank from "
                                    f"{document['banks'][0]['asOf']} exits {code}, where it is "
                                    f"refused in one line naming {nearest}: {err.strip()}")
                continue
            history = step[2]
            after = reference.History(history.rows, state.history.current) if history else \
                state.history
            unfit = state.unfit_on_import(document["entries"], after)
            if unfit or code != 0:
                return [f"FAIL {scenario.name}: {unfit or f'--import-days exits {code}'}: "
                        f"{err.strip()}"]
            state.history = after
            state.merge(document["entries"])
            for row in document.get("banks", []):
                set_up[row["bank"]] = banks.Bank.from_document(row, pay_period_start)
        rotation = state.rotation()
        for balances in scenario.runs:
            name = f"{scenario.name}, --balances {balances.label()}"
            first, last = balances.range()
            expected = banks.balances_report(set_up, rotation, state.by_day(), pay_period_start,
                                             first, last)
            code, got, err = run([PROGRAM, "--balances", "--csv"] + balances.options(),
                                 environment)
            if code != 0 or err:
                problems.append(f"FAIL {name}: exit {code} {err.strip()}")
            elif len(expected.splitlines()) < 2:
                problems.append(f"FAIL {name}: the scenario has no rows to compare")
            else:
                found = compare(name, got, expected)
                problems += found
                if not found:
                    print(f"ok   {name}: {len(expected.splitlines()) - 1} rows")
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
