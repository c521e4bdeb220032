#!/usr/bin/env python3
"""What a firefighter's hours should come to, worked out on its own from the rules of the
rotation and of pay, to check the program's totals against. It reads a file of entries (the
program's JSON form) and prints the pay periods, the FLSA work periods and the trade ledger as the
program's CSV.

  hours_reference.py ENTRIES.json --rotation rotation/rotation.cpp --assignment B2
      --from 2026-01-01 --to 2026-12-31 [--zone America/New_York] [--shift-start 08:00]
      [--work-period-days 28] [--work-period-start DATE] [--pay-period-start DATE]
      [--report hours|work-periods|trades]

Shift lengths come from zoneinfo, not from the C library's local time."""
import argparse
import csv
import datetime
import io
import json
import re
import sys
from fractions import Fraction
from zoneinfo import ZoneInfo

CREW_CYCLE = "AABB"
CREW_EPOCH = datetime.date(2011, 12, 31)   # position 0 of the crew cycle
RDO_EPOCH = datetime.date(2012, 1, 17)     # entry 0 of the RDO table; no rotation before it
PAY_PERIOD_DAYS = 14
PAY_PERIODS_A_CYCLE = 26

# The maximum hours of a fire-protection work period before overtime, by its length in days,
# as the regulation's table prints them.
PUBLISHED_THRESHOLDS = {
    7: 53, 8: 61, 9: 68, 10: 76, 11: 83, 12: 91, 13: 98, 14: 106, 15: 114, 16: 121, 17: 129,
    18: 136, 19: 144, 20: 151, 21: 159, 22: 167, 23: 174, 24: 182, 25: 189, 26: 197, 27: 204,
    28: 212,
}

ABSENCES = ("trade-out", "leave")
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


class Rotation:
    def __init__(self, rdo_table, assignment, zone, shift_start):
        self.rdo_table = rdo_table
        self.assignment = assignment
        self.zone = zone
        self.shift_start = shift_start  # datetime.time

    def own_duty(self, day):
        """The user's crew works the day and it is not the user's RDO."""
        if len(self.assignment) != 2 or self.assignment[0] not in "AB":
            return False
        if day < RDO_EPOCH:
            return False
        crew = CREW_CYCLE[(day - CREW_EPOCH).days % 4]
        off = self.rdo_table[(day - RDO_EPOCH).days % len(self.rdo_table)]
        return crew == self.assignment[0] and off != self.assignment

    def shift_minutes(self, day):
        """From the shift start on the day to the same wall-clock time the next day."""
        begins = datetime.datetime.combine(day, self.shift_start, tzinfo=self.zone)
        ends = datetime.datetime.combine(day + datetime.timedelta(days=1), self.shift_start,
                                         tzinfo=self.zone)
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


def counted_entries(day, rotation, day_entries):
    """(entry, minutes) for the entries that count on the day."""
    scheduled = rotation.scheduled(day)
    on_duty = rotation.own_duty(day)

    def minutes(entry):
        if entry["kind"] == "note":
            return 0
        if "minutes" in entry and entry["minutes"] is not None:
            return max(0, int(entry["minutes"]))
        # No minutes: the whole shift, one's own for an absence, one of the day's length for
        # a shift worked for someone else or a whole extra shift.
        return scheduled if entry["kind"] in ABSENCES else rotation.shift_minutes(day)

    def fits(entry):
        if entry["kind"] in ABSENCES:
            return on_duty   # one can only be away from a duty one has
        if entry["kind"] == "trade-in":
            return not on_duty
        return True

    kept = [entry for entry in day_entries if fits(entry)]
    away = sum(minutes(entry) for entry in kept if entry["kind"] in ABSENCES)
    if away > scheduled:
        # Away for more than the shift: the absences contradict each other and none counts.
        kept = [entry for entry in kept if entry["kind"] not in ABSENCES]
    return [(entry, minutes(entry)) for entry in kept]


def day_hours(day, rotation, day_entries):
    scheduled = rotation.scheduled(day)
    sums = {"trade-out": 0, "trade-in": 0, "leave": 0, "extra": 0}
    for entry, minutes in counted_entries(day, rotation, day_entries):
        if entry["kind"] in EXTRA_WORK:
            sums["extra"] += minutes
        elif entry["kind"] in sums:
            sums[entry["kind"]] += minutes
    worked = scheduled - sums["trade-out"] - sums["leave"] + sums["trade-in"] + sums["extra"]
    # The substitute's hours are left out and the absent member is credited with the shift;
    # paid leave is not hours worked.
    flsa = scheduled - sums["leave"] + sums["extra"]
    return {"scheduled": scheduled, "worked": worked, "leave": sums["leave"],
            "traded_out": sums["trade-out"], "traded_in": sums["trade-in"],
            "extra": sums["extra"], "flsa": flsa}


def period_hours(first, days, rotation, by_day):
    total = {}
    for offset in range(days):
        day = first + datetime.timedelta(days=offset)
        for key, value in day_hours(day, rotation, by_day.get(day, [])).items():
            total[key] = total.get(key, 0) + value
    return total


def first_days(anchor, length, first, last):
    """The first days of the `length`-day periods counted from `anchor`, in first ... last."""
    steps = -((anchor - first).days // length)  # ceil((first - anchor) / length)
    start = anchor + datetime.timedelta(days=steps * length)
    while start <= last:
        yield start
        start += datetime.timedelta(days=length)


def hours(minutes):
    """144, 143.5, 0.25: hours to two decimals at most, without trailing zeros."""
    hundredths = round(Fraction(abs(minutes), 60) * 100)
    text = f"{hundredths // 100}"
    if hundredths % 100:
        text += f".{hundredths % 100:02d}".rstrip("0")
    return ("-" if minutes < 0 and hundredths else "") + text


def pay_period_label(first, pay_period_start):
    index = (first - pay_period_start).days // PAY_PERIOD_DAYS
    return f"PP{index % PAY_PERIODS_A_CYCLE + 1}" if index >= 0 else ""


def csv_text(header, rows):
    out = io.StringIO()
    writer = csv.writer(out, lineterminator="\n")
    writer.writerow(header)
    writer.writerows(rows)
    return out.getvalue()


def hours_report(args, rotation, by_day):
    rows = []
    for first in first_days(args.pay_period_start, PAY_PERIOD_DAYS, args.first, args.last):
        total = period_hours(first, PAY_PERIOD_DAYS, rotation, by_day)
        rows.append([pay_period_label(first, args.pay_period_start), first.isoformat(),
                     (first + datetime.timedelta(days=PAY_PERIOD_DAYS - 1)).isoformat()] +
                    [hours(total[key]) for key in ("scheduled", "worked", "leave", "traded_out",
                                                    "traded_in", "extra", "flsa")])
    return csv_text(["period", "first", "last", "scheduled", "worked", "leave", "traded_out",
                     "traded_in", "extra", "flsa"], rows)


def work_period_report(args, rotation, by_day):
    length = args.work_period_days
    threshold = PUBLISHED_THRESHOLDS[length]
    rows = []
    anchor = args.work_period_start or args.pay_period_start
    for first in first_days(anchor, length, args.first, args.last):
        flsa = period_hours(first, length, rotation, by_day)["flsa"]
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


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("entries")
    parser.add_argument("--rotation", required=True)
    parser.add_argument("--assignment", required=True)
    parser.add_argument("--from", dest="first", type=datetime.date.fromisoformat, required=True)
    parser.add_argument("--to", dest="last", type=datetime.date.fromisoformat, required=True)
    parser.add_argument("--zone", default="UTC")
    parser.add_argument("--shift-start", default="08:00",
                        type=lambda text: datetime.time.fromisoformat(text))
    parser.add_argument("--work-period-days", type=int, default=28)
    parser.add_argument("--work-period-start", type=datetime.date.fromisoformat)
    parser.add_argument("--pay-period-start", type=datetime.date.fromisoformat,
                        default=datetime.date(2020, 12, 20))
    parser.add_argument("--report", choices=("hours", "work-periods", "trades"))
    args = parser.parse_args()

    with open(args.entries, encoding="utf-8") as stream:
        document = json.load(stream)
    if document.get("format") != "tourwise-days" or document.get("version") != 1:
        raise SystemExit("not a version 1 file of entries")
    by_day = entries_by_day(document["entries"])
    rotation = Rotation(read_rdo_table(args.rotation), args.assignment, ZoneInfo(args.zone),
                        args.shift_start)
    reports = {
        "hours": lambda: hours_report(args, rotation, by_day),
        "work-periods": lambda: work_period_report(args, rotation, by_day),
        "trades": lambda: trade_report(rotation, by_day),
    }
    for name in [args.report] if args.report else list(reports):
        sys.stdout.write(reports[name]())


if __name__ == "__main__":
    main()
