#!/usr/bin/env python3
"""What a firefighter's hours should come to, worked out on its own from the rules of the
rotation and of pay, to check the program's totals against. It reads a file of entries (the
program's JSON form, versions 1 to 3) and prints the pay periods, the FLSA work periods, the trade
ledger or the assignment history as the program's CSV.

  hours_reference.py ENTRIES.json --rotation rotation/rotation.cpp
      (--assignment B2 | --current-assignment A3)
      --from 2026-01-01 --to 2026-12-31 [--zone America/New_York] [--shift-start 08:00]
      [--work-period-days 28] [--work-period-start DATE] [--pay-period-start DATE]
      [--report hours|work-periods|trades|assignments|left-out]

--assignment means "as if this group held on every day"; --current-assignment is the settings
file's group, which holds after the file's assignmentHistory rows.
Shift lengths come from zoneinfo, not from the C library's local time."""
import argparse
import bisect
import csv
import datetime
import io
import json
import re
import sys
from dataclasses import dataclass
from fractions import Fraction
from zoneinfo import ZoneInfo

CREW_CYCLE = "AABB"
CREW_EPOCH = datetime.date(2011, 12, 31)   # position 0 of the crew cycle
RDO_EPOCH = datetime.date(2012, 1, 17)     # entry 0 of the RDO table; no rotation before it
PAY_PERIOD_DAYS = 14
PAY_PERIODS_A_CYCLE = 26
DEFAULT_PAY_PERIOD_START = datetime.date(2020, 12, 20)
LONGEST_ENTRY_MINUTES = 48 * 60
ONE_DAY = datetime.timedelta(days=1)

# The maximum hours of a fire-protection work period before overtime, by its length in days,
# as the regulation's table prints them.
PUBLISHED_THRESHOLDS = {
    7: 53, 8: 61, 9: 68, 10: 76, 11: 83, 12: 91, 13: 98, 14: 106, 15: 114, 16: 121, 17: 129,
    18: 136, 19: 144, 20: 151, 21: 159, 22: 167, 23: 174, 24: 182, 25: 189, 26: 197, 27: 204,
    28: 212,
}

ABSENCES = ("trade-out", "leave")
# Kinds that add to the shift the user still works; together with it they cannot pass the day's
# whole shift, since nobody works two places at once.
ADDED_TO_SHIFT = ("trade-in", "overtime")
EXTRA_WORK = ("overtime", "holdover", "training")


def read_rdo_table(path):
    """The 196 sub-group names of the RDO table, in order, read as data from the source."""
    with open(path, encoding="utf-8") as source:
        text = source.read()
    body = text[text.index("RdoRotation = {"):]
    body = body[:body.index("};")]
    names = re.findall(r'"([AB][1-7])"', body)
    if len(names) != 196:
        raise SystemExit(f"the RDO table has {len(names)} entries, not 196")
    return names


def is_sub_group(assignment):
    return len(assignment) == 2 and assignment[0] in "AB" and assignment[1] in "1234567"


class History:
    """Which assignment held on a day: rows of (assignment, last day it held), then the current
    one (the settings file's) from the day after the last row on. Before the earliest row that
    row's assignment holds."""

    def __init__(self, rows=(), current="RDO"):
        self.rows = sorted(((assignment, until) for assignment, until in rows),
                           key=lambda row: row[1])
        self.current = current
        self._untils = [until for _, until in self.rows]

    @classmethod
    def from_document(cls, document, current):
        return cls([(row["assignment"], datetime.date.fromisoformat(row["until"]))
                    for row in document.get("assignmentHistory", [])], current)

    def on(self, day):
        at = bisect.bisect_left(self._untils, day)
        return self.rows[at][0] if at < len(self.rows) else self.current

    def spans(self):
        """(assignment, first, last), first None for the earliest, last None for the current."""
        spans = []
        first = None
        for assignment, until in self.rows:
            spans.append((assignment, first, until))
            first = until + ONE_DAY
        spans.append((self.current, first, None))
        return spans

    def changed(self, group, effective):
        """The history after "GROUP from EFFECTIVE on", as the Settings page's Save records it.

        Every day before EFFECTIVE keeps the assignment it had; from EFFECTIVE on GROUP holds,
        so a change dated before an earlier change replaces that change. Without a sub-group
        ever saved there is nothing to keep: only the current assignment changes."""
        if not self.rows and not is_sub_group(self.current):
            return History((), group)
        kept = []
        for assignment, first, last in self.spans():
            if first is not None and first >= effective:
                break
            last = effective - ONE_DAY if last is None else min(last, effective - ONE_DAY)
            kept.append((assignment, last))
        rows = []
        for assignment, last in kept:
            if rows and rows[-1][0] == assignment:
                rows[-1] = (assignment, last)
            else:
                rows.append((assignment, last))
        if rows and rows[-1][0] == group:
            rows.pop()
        return History(rows, group)

    def as_document_rows(self):
        return [{"assignment": assignment, "until": until.isoformat()}
                for assignment, until in self.rows]


class Rotation:
    def __init__(self, rdo_table, assignment, zone, shift_start):
        self.rdo_table = rdo_table
        self.history = assignment if isinstance(assignment, History) else History((), assignment)
        self.zone = zone
        self.shift_start = shift_start  # datetime.time

    def assignment_on(self, day):
        return self.history.on(day)

    def own_duty(self, day):
        """The user's crew works the day and it is not the user's RDO, under the assignment
        that held on the day."""
        assignment = self.history.on(day)
        if not is_sub_group(assignment) or day < RDO_EPOCH:
            return False
        crew = CREW_CYCLE[(day - CREW_EPOCH).days % 4]
        off = self.rdo_table[(day - RDO_EPOCH).days % len(self.rdo_table)]
        return crew == assignment[0] and off != assignment

    def own_rdo(self, day):
        return day >= RDO_EPOCH and self.rdo_table[(day - RDO_EPOCH).days %
                                                   len(self.rdo_table)] == self.history.on(day)

    def shift_minutes(self, day):
        """From the shift start on the day to the same wall-clock time the next day."""
        begins = datetime.datetime.combine(day, self.shift_start, tzinfo=self.zone)
        ends = datetime.datetime.combine(day + ONE_DAY, self.shift_start, tzinfo=self.zone)
        seconds = (ends.astimezone(datetime.timezone.utc) -
                   begins.astimezone(datetime.timezone.utc)).total_seconds()
        return int(seconds // 60)

    def scheduled(self, day):
        return self.shift_minutes(day) if self.own_duty(day) else 0


def entries_by_day(entries):
    days = {}
    for entry in entries:
        days.setdefault(datetime.date.fromisoformat(entry["date"][:10]), []).append(entry)
    return days


def entry_minutes(entry, rotation, day):
    if entry["kind"] == "note":
        return 0
    if entry.get("minutes") is not None:
        return int(entry["minutes"])
    # No minutes: the whole shift, one's own for an absence, one of the day's length for a shift
    # worked for someone else or a whole extra shift.
    return rotation.scheduled(day) if entry["kind"] in ABSENCES else rotation.shift_minutes(day)


def judge_day(day, rotation, day_entries):
    """(counted, left_out): (entry, minutes) for the entries that count on the day, and the
    entries that do not fit it."""
    if not day_entries:
        return [], []
    shift = rotation.shift_minutes(day)
    on_duty = rotation.own_duty(day)
    scheduled = shift if on_duty else 0
    minutes = [entry_minutes(entry, rotation, day) for entry in day_entries]

    def fits_alone(entry, length):
        if entry["kind"] == "note":
            return True
        if not 0 < length <= LONGEST_ENTRY_MINUTES:
            return False
        if entry["kind"] in ABSENCES:
            return on_duty   # one can only be away from a duty one has
        if entry["kind"] == "trade-in":
            return not on_duty
        return True

    kept = [at for at, entry in enumerate(day_entries) if fits_alone(entry, minutes[at])]
    away = [at for at in kept if day_entries[at]["kind"] in ABSENCES]
    if sum(minutes[at] for at in away) > scheduled:
        # Away for more than the shift: the absences contradict each other and none counts.
        kept = [at for at in kept if at not in away]
        away = []
    still_worked = scheduled - sum(minutes[at] for at in away)
    added = [at for at in kept if day_entries[at]["kind"] in ADDED_TO_SHIFT]
    if still_worked + sum(minutes[at] for at in added) > shift:
        kept = [at for at in kept if at not in added]
    counted = [(day_entries[at], minutes[at]) for at in kept]
    left_out = [entry for at, entry in enumerate(day_entries) if at not in kept]
    return counted, left_out


def counted_entries(day, rotation, day_entries):
    """(entry, minutes) for the entries that count on the day."""
    return judge_day(day, rotation, day_entries)[0]


def day_hours(day, rotation, day_entries):
    scheduled = rotation.scheduled(day)
    sums = {"trade-out": 0, "trade-in": 0, "leave": 0, "overtime": 0, "holdover": 0,
            "training": 0}
    for entry, minutes in counted_entries(day, rotation, day_entries):
        if entry["kind"] in sums:
            sums[entry["kind"]] += minutes
    own_shift_worked = scheduled - sums["trade-out"] - sums["leave"]
    extra = sums["overtime"] + sums["holdover"]
    if own_shift_worked <= 0:
        # Training inside a shift one works is already paid time; only on another day is it
        # work on top.
        extra += sums["training"]
    worked = own_shift_worked + sums["trade-in"] + extra
    # The substitute's hours are left out and the absent member is credited with the shift;
    # paid leave is not hours worked.
    flsa = scheduled - sums["leave"] + extra
    return {"scheduled": scheduled, "worked": worked, "leave": sums["leave"],
            "traded_out": sums["trade-out"], "traded_in": sums["trade-in"],
            "extra": extra, "flsa": flsa}


def period_hours(first, days, rotation, by_day):
    total = {}
    for offset in range(days):
        day = first + datetime.timedelta(days=offset)
        for key, value in day_hours(day, rotation, by_day.get(day, [])).items():
            total[key] = total.get(key, 0) + value
    return total


def first_days(anchor, length, first, last):
    """The first days of the `length`-day periods counted from `anchor` that hold a day of
    first ... last, the one holding `first` included."""
    start = anchor + datetime.timedelta(days=((first - anchor).days // length) * length)
    while start <= last:
        yield start
        start += datetime.timedelta(days=length)


def hundredths_text(hundredths):
    """13000 -> "130", 750 -> "7.5", 25 -> "0.25", -1200 -> "-12"."""
    text = f"{abs(hundredths) // 100}"
    if abs(hundredths) % 100:
        text += f".{abs(hundredths) % 100:02d}".rstrip("0")
    return ("-" if hundredths < 0 else "") + text


def hours(minutes):
    """144, 143.5, 0.25: hours to two decimals at most, without trailing zeros."""
    hundredths = round(Fraction(abs(minutes), 60) * 100)
    return hundredths_text(-hundredths if minutes < 0 else hundredths)


def pay_period_label(first, pay_period_start):
    index = (first - pay_period_start).days // PAY_PERIOD_DAYS
    return f"PP{index % PAY_PERIODS_A_CYCLE + 1}" if index >= 0 else ""


def csv_text(header, rows):
    out = io.StringIO()
    writer = csv.writer(out, lineterminator="\n")
    writer.writerow(header)
    writer.writerows(rows)
    return out.getvalue()


@dataclass
class Setup:
    """What a run of the hours lists depends on besides the entries."""
    first: datetime.date
    last: datetime.date
    rotation: Rotation
    work_period_days: int = 28
    work_period_start: datetime.date = None
    pay_period_start: datetime.date = DEFAULT_PAY_PERIOD_START

    def pay_periods(self):
        return list(first_days(self.pay_period_start, PAY_PERIOD_DAYS, self.first, self.last))

    def work_periods(self):
        return list(first_days(self.work_period_start or self.pay_period_start,
                               self.work_period_days, self.first, self.last))


def hours_report(setup, by_day):
    rows = []
    for first in setup.pay_periods():
        total = period_hours(first, PAY_PERIOD_DAYS, setup.rotation, by_day)
        rows.append([pay_period_label(first, setup.pay_period_start), first.isoformat(),
                     (first + datetime.timedelta(days=PAY_PERIOD_DAYS - 1)).isoformat()] +
                    [hours(total[key]) for key in ("scheduled", "worked", "leave", "traded_out",
                                                    "traded_in", "extra", "flsa")])
    return csv_text(["period", "first", "last", "scheduled", "worked", "leave", "traded_out",
                     "traded_in", "extra", "flsa"], rows)


def work_period_report(setup, by_day):
    length = setup.work_period_days
    threshold = PUBLISHED_THRESHOLDS[length]
    rows = []
    for first in setup.work_periods():
        flsa = period_hours(first, length, setup.rotation, by_day)["flsa"]
        rows.append([first.isoformat(), (first + datetime.timedelta(days=length - 1)).isoformat(),
                     str(length), hours(flsa), str(threshold),
                     hours(max(0, flsa - threshold * 60))])
    return csv_text(["first", "last", "days", "flsa", "threshold", "overtime"], rows)


def trade_report(rotation, by_day):
    ledger = {}
    for day, day_entries in by_day.items():
        for entry, minutes in counted_entries(day, rotation, day_entries):
            if entry["kind"] not in ("trade-out", "trade-in"):
                continue
            name = entry.get("with", "").strip()
            they, mine = ledger.get(name, (0, 0))
            if entry["kind"] == "trade-out":
                they += minutes   # they worked my shift
            else:
                mine += minutes   # I worked theirs
            ledger[name] = (they, mine)
    rows = [[name, hours(they), hours(mine), hours(mine - they)]
            for name, (they, mine) in sorted(ledger.items(),
                                             key=lambda item: (item[0].casefold(), item[0]))]
    return csv_text(["with", "they_worked", "i_worked", "balance"], rows)


def assignments_report(history):
    return csv_text(["assignment", "first", "last"],
                    [[assignment, first.isoformat() if first else "",
                      last.isoformat() if last else ""]
                     for assignment, first, last in history.spans()])


def left_out(rotation, by_day, days=None):
    """(day, entry) for every entry that does not count, on the given days or on all."""
    found = []
    for day in sorted(by_day if days is None else set(days) & set(by_day)):
        found += [(day, entry) for entry in judge_day(day, rotation, by_day[day])[1]]
    return found


def period_days(firsts, length):
    return [first + datetime.timedelta(days=offset) for first in firsts for offset in range(length)]


def left_out_report(setup, by_day):
    return csv_text(["date", "id", "kind"],
                    [[day.isoformat(), entry.get("id", ""), entry["kind"]]
                     for day, entry in left_out(setup.rotation, by_day)])


def read_document(path):
    with open(path, encoding="utf-8") as stream:
        document = json.load(stream)
    if document.get("format") != "tourwise-days" or document.get("version") not in (1, 2, 3):
        raise SystemExit("not a version 1, 2 or 3 file of entries")
    return document


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("entries")
    parser.add_argument("--rotation", required=True)
    whose = parser.add_mutually_exclusive_group(required=True)
    whose.add_argument("--assignment")
    whose.add_argument("--current-assignment")
    parser.add_argument("--from", dest="first", type=datetime.date.fromisoformat, required=True)
    parser.add_argument("--to", dest="last", type=datetime.date.fromisoformat, required=True)
    parser.add_argument("--zone", default="UTC")
    parser.add_argument("--shift-start", default="08:00",
                        type=lambda text: datetime.time.fromisoformat(text))
    parser.add_argument("--work-period-days", type=int, default=28)
    parser.add_argument("--work-period-start", type=datetime.date.fromisoformat)
    parser.add_argument("--pay-period-start", type=datetime.date.fromisoformat,
                        default=DEFAULT_PAY_PERIOD_START)
    parser.add_argument("--report",
                        choices=("hours", "work-periods", "trades", "assignments", "left-out"))
    args = parser.parse_args()

    document = read_document(args.entries)
    by_day = entries_by_day(document["entries"])
    history = (History((), args.assignment) if args.assignment else
               History.from_document(document, args.current_assignment))
    rotation = Rotation(read_rdo_table(args.rotation), history, ZoneInfo(args.zone),
                        args.shift_start)
    setup = Setup(args.first, args.last, rotation, args.work_period_days, args.work_period_start,
                  args.pay_period_start)
    reports = {
        "hours": lambda: hours_report(setup, by_day),
        "work-periods": lambda: work_period_report(setup, by_day),
        "trades": lambda: trade_report(rotation, by_day),
        "assignments": lambda: assignments_report(history),
        "left-out": lambda: left_out_report(setup, by_day),
    }
    for name in [args.report] if args.report else ["hours", "work-periods", "trades"]:
        sys.stdout.write(reports[name]())


if __name__ == "__main__":
    main()
