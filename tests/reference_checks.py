#!/usr/bin/env python3
"""Hand-worked cases for the two references (hours_reference.py, banks_reference.py), so that a
slip in a reference shows here and not as a disagreement with the program.

  reference_checks.py ROTATION_SOURCE

The rules of a day are checked over a made-up rotation (which days are duty days, how long each
shift is), so every figure below can be worked out on paper without the RDO table."""
import datetime
import os
import sys
import unittest
from decimal import Decimal
from zoneinfo import ZoneInfo

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import banks_reference as banks  # noqa: E402
import hours_reference as hours  # noqa: E402

ROTATION_SOURCE = sys.argv.pop(1) if len(sys.argv) > 1 else os.path.join(
    os.path.dirname(os.path.abspath(__file__)), "..", "rotation", "rotation.cpp")


def d(text):
    return datetime.date.fromisoformat(text)


class MadeUpRotation:
    """Duty on the given days; every shift 24 h unless a day says otherwise."""

    def __init__(self, duty=(), lengths=None):
        self.duty = {d(day) for day in duty}
        self.lengths = {d(day): minutes for day, minutes in (lengths or {}).items()}

    def own_duty(self, day):
        return day in self.duty

    def shift_minutes(self, day):
        return self.lengths.get(day, 1440)

    def scheduled(self, day):
        return self.shift_minutes(day) if self.own_duty(day) else 0


def entry(kind, minutes=None, **fields):
    made = {"id": f"{kind}-{minutes}", "date": "2026-03-02", "kind": kind}
    if minutes is not None:
        made["minutes"] = minutes
    made.update(fields)
    return made


DUTY_DAY = d("2026-03-02")
ON_DUTY = MadeUpRotation(duty=["2026-03-02"])
OFF_DUTY = MadeUpRotation()


class History(unittest.TestCase):
    def test_which_assignment_holds(self):
        history = hours.History([("B2", d("2026-06-30")), ("A1", d("2026-03-31"))], "A3")
        for day, held in (("2015-01-01", "A1"), ("2026-03-31", "A1"), ("2026-04-01", "B2"),
                          ("2026-06-30", "B2"), ("2026-07-01", "A3"), ("2060-12-31", "A3")):
            self.assertEqual(history.on(d(day)), held, day)
        self.assertEqual(hours.History((), "B2").on(d("2016-01-01")), "B2")

    def test_assignments_list(self):
        history = hours.History([("B2", d("2026-06-30")), ("A1", d("2026-03-31"))], "A3")
        self.assertEqual(hours.assignments_report(history),
                         "assignment,first,last\nA1,,2026-03-31\nB2,2026-04-01,2026-06-30\n"
                         "A3,2026-07-01,\n")
        self.assertEqual(hours.assignments_report(hours.History((), "B2")),
                         "assignment,first,last\nB2,,\n")

    def test_changes(self):
        def rows(history):
            return [(a, until.isoformat()) for a, until in history.rows], history.current

        b2 = hours.History((), "B2")
        to_a3 = b2.changed("A3", d("2026-07-01"))
        self.assertEqual(rows(to_a3), ([("B2", "2026-06-30")], "A3"))
        # Back again: the months of A3 stay.
        self.assertEqual(rows(to_a3.changed("B2", d("2026-10-01"))),
                         ([("B2", "2026-06-30"), ("A3", "2026-09-30")], "B2"))
        # Back from the very day of the change: as if it never happened.
        self.assertEqual(rows(to_a3.changed("B2", d("2026-07-01"))), ([], "B2"))
        # Dated before the earlier change: that change is replaced.
        self.assertEqual(rows(to_a3.changed("A5", d("2026-04-15"))),
                         ([("B2", "2026-04-14")], "A5"))
        self.assertEqual(rows(to_a3.changed("A5", d("2026-01-01"))),
                         ([("B2", "2025-12-31")], "A5"))
        # To no sub-group and back.
        to_rdo = b2.changed("RDO", d("2026-05-01"))
        self.assertEqual(rows(to_rdo), ([("B2", "2026-04-30")], "RDO"))
        self.assertEqual(rows(to_rdo.changed("B2", d("2026-08-01"))),
                         ([("B2", "2026-04-30"), ("RDO", "2026-07-31")], "B2"))
        # No group ever saved: the first one holds on every day.
        self.assertEqual(rows(hours.History((), "RDO").changed("A3", d("2026-07-01"))),
                         ([], "A3"))


class RotationFacts(unittest.TestCase):
    table = hours.read_rdo_table(ROTATION_SOURCE)

    def rotation(self, assignment, zone="UTC", start="08:00"):
        return hours.Rotation(self.table, assignment, ZoneInfo(zone),
                              datetime.time.fromisoformat(start))

    def test_crews_and_the_first_rdo(self):
        # 5115 days after 31 December 2011 (crew cycle position 0, A A B B): position 3, crew B.
        self.assertEqual((d("2026-01-01") - hours.CREW_EPOCH).days, 5115)
        self.assertEqual(hours.CREW_CYCLE[5115 % 4], "B")
        self.assertFalse(self.rotation("A3").own_duty(d("2026-01-01")))
        # 17 January 2012 is entry 0 of the table, A1's RDO, on a crew A day.
        self.assertTrue(self.rotation("A1").own_rdo(d("2012-01-17")))
        self.assertFalse(self.rotation("A1").own_duty(d("2012-01-17")))
        self.assertTrue(self.rotation("A2").own_duty(d("2012-01-17")))
        self.assertFalse(self.rotation("A2").own_duty(d("2012-01-16")))  # before the rotation
        self.assertFalse(self.rotation("RDO").own_duty(d("2026-01-01")))

    def test_duty_follows_the_history(self):
        history = hours.History([("A5", d("2026-03-07"))], "B3")
        rotation = self.rotation(history)
        self.assertTrue(rotation.own_duty(d("2026-03-07")))   # crew A, A5 on duty
        self.assertFalse(rotation.own_duty(d("2026-03-08")))  # crew A, but B3 by then
        self.assertTrue(rotation.own_duty(d("2026-10-31")))   # crew B

    def test_shift_lengths_on_clock_change_nights(self):
        cases = [  # zone, shift start, day, minutes
            ("UTC", "08:00", "2026-03-07", 1440),
            ("America/New_York", "08:00", "2026-03-07", 1380),
            ("America/New_York", "08:00", "2026-03-08", 1440),
            ("America/New_York", "08:00", "2026-10-31", 1500),
            # 01:30 on 1 November comes twice; the shift begins at the first.
            ("America/New_York", "01:30", "2026-11-01", 1500),
            ("America/New_York", "01:30", "2026-10-31", 1440),
            # 02:30 on 8 March does not exist; it is read with the offset before the change.
            ("America/New_York", "02:30", "2026-03-07", 1440),
            ("America/New_York", "02:30", "2026-03-08", 1380),
            ("Australia/Sydney", "08:00", "2026-04-04", 1500),
            ("Australia/Sydney", "08:00", "2026-10-03", 1380),
            ("Australia/Sydney", "02:30", "2026-04-05", 1500),
            ("Australia/Sydney", "02:30", "2026-10-04", 1380),
        ]
        for zone, start, day, minutes in cases:
            self.assertEqual(self.rotation("A1", zone, start).shift_minutes(d(day)), minutes,
                             (zone, start, day))


class Fit(unittest.TestCase):
    """Which entries count on one day."""

    def judge(self, rotation, *entries, day=DUTY_DAY):
        counted, left_out = hours.judge_day(day, rotation, list(entries))
        return [e["id"] for e, _ in counted], [e["id"] for e in left_out]

    def test_fit_rules(self):
        short = MadeUpRotation(lengths={"2026-03-02": 1380})
        long_duty = MadeUpRotation(duty=["2026-03-02"], lengths={"2026-03-02": 1500})
        cases = [  # name, rotation, entries, counted ids
            ("trade-out on a day off", OFF_DUTY, [entry("trade-out")], []),
            ("leave on a day off", OFF_DUTY, [entry("leave", 240)], []),
            ("leave on duty", ON_DUTY, [entry("leave", 240)], ["leave-240"]),
            ("trade and leave over the shift", ON_DUTY,
             [entry("trade-out", 1000), entry("leave", 500), entry("note")], ["note-None"]),
            ("trade and leave make the shift", ON_DUTY,
             [entry("trade-out", 1000), entry("leave", 440)], ["trade-out-1000", "leave-440"]),
            ("whole-shift trade and an hour of leave", ON_DUTY,
             [entry("trade-out"), entry("leave", 60)], []),
            ("leave of 25 h on a 24 h shift", ON_DUTY, [entry("leave", 1500)], []),
            ("leave of 25 h on a 25 h shift", long_duty, [entry("leave", 1500)],
             ["leave-1500"]),
            ("trade-in on one's own duty day", ON_DUTY, [entry("trade-in", 600)], []),
            ("two whole trade-ins", OFF_DUTY,
             [entry("trade-in", 1440, id="a"), entry("trade-in", 1440, id="b")], []),
            ("two half trade-ins", OFF_DUTY,
             [entry("trade-in", 720, id="a"), entry("trade-in", 720, id="b")], ["a", "b"]),
            ("a whole trade-in on a 23 h day", short, [entry("trade-in")], ["trade-in-None"]),
            ("a whole trade-in and an hour of overtime on a 23 h day", short,
             [entry("trade-in"), entry("overtime", 60)], []),
            ("overtime on a duty day one works", ON_DUTY, [entry("overtime", 60)], []),
            ("overtime in the hours traded away", ON_DUTY,
             [entry("trade-out", 600), entry("overtime", 600)], ["trade-out-600", "overtime-600"]),
            ("overtime past the hours traded away", ON_DUTY,
             [entry("trade-out", 600), entry("overtime", 601)], ["trade-out-600"]),
            ("a holdover on a duty day", ON_DUTY, [entry("holdover", 75)], ["holdover-75"]),
            ("no time", OFF_DUTY, [entry("overtime", 0)], []),
            ("negative time", OFF_DUTY, [entry("holdover", -5)], []),
            ("48 h", OFF_DUTY, [entry("holdover", 2880)], ["holdover-2880"]),
            ("48 h and a minute", OFF_DUTY, [entry("training", 2881)], []),
            ("a note has no time", OFF_DUTY, [entry("note", 0)], ["note-0"]),
        ]
        for name, rotation, entries, counted in cases:
            got, left_out = self.judge(rotation, *entries)
            self.assertEqual(got, counted, name)
            self.assertEqual(sorted(left_out + got), sorted(e["id"] for e in entries), name)


class DayHours(unittest.TestCase):
    KEYS = ("scheduled", "worked", "leave", "traded_out", "traded_in", "extra", "flsa")

    def hours_of(self, rotation, *entries):
        got = hours.day_hours(DUTY_DAY, rotation, list(entries))
        return tuple(got[key] for key in self.KEYS)

    def test_days(self):
        cases = [  # name, rotation, entries, (scheduled, worked, leave, out, in, extra, flsa)
            ("a duty day", ON_DUTY, [], (1440, 1440, 0, 0, 0, 0, 1440)),
            ("four hours of leave", ON_DUTY, [entry("leave", 240)],
             (1440, 1200, 240, 0, 0, 0, 1200)),
            ("a trade that is not counted", ON_DUTY,
             [entry("trade-out", 1000), entry("leave", 500)], (1440, 1440, 0, 0, 0, 0, 1440)),
            ("trade and leave the whole shift", ON_DUTY,
             [entry("trade-out", 1000), entry("leave", 440)],
             (1440, 0, 440, 1000, 0, 0, 1000)),
            ("overtime in the hours traded away", ON_DUTY,
             [entry("trade-out", 600), entry("overtime", 600)],
             (1440, 1440, 0, 600, 0, 600, 2040)),
            ("a shift worked for someone", OFF_DUTY, [entry("trade-in")],
             (0, 1440, 0, 0, 1440, 0, 0)),
            ("training in a shift one works", ON_DUTY, [entry("training", 120)],
             (1440, 1440, 0, 0, 0, 0, 1440)),
            ("training in a shift one works in part", ON_DUTY,
             [entry("trade-out", 600), entry("training", 120)],
             (1440, 840, 0, 600, 0, 0, 1440)),
            ("training on a duty day traded away", ON_DUTY,
             [entry("trade-out"), entry("training", 120)], (1440, 120, 0, 1440, 0, 120, 1560)),
            ("training on a day of leave", ON_DUTY,
             [entry("leave"), entry("training", 120)], (1440, 120, 1440, 0, 0, 120, 120)),
            ("training when the absences do not count", ON_DUTY,
             [entry("trade-out"), entry("leave", 1), entry("training", 120)],
             (1440, 1440, 0, 0, 0, 0, 1440)),
            ("training on a day off", OFF_DUTY, [entry("training", 120)],
             (0, 120, 0, 0, 0, 120, 120)),
            ("a whole extra shift on a day off", OFF_DUTY, [entry("overtime")],
             (0, 1440, 0, 0, 0, 1440, 1440)),
        ]
        for name, rotation, entries, expected in cases:
            self.assertEqual(self.hours_of(rotation, *entries), expected, name)


class Lists(unittest.TestCase):
    def test_periods_that_hold_a_day_of_the_range(self):
        starts = list(hours.first_days(hours.DEFAULT_PAY_PERIOD_START, 14, d("2026-01-01"),
                                       d("2026-12-31")))
        # 11 January 2026 is 1848 days = 132 periods after 20 December 2020: the period that
        # holds 1 to 10 January began on 28 December 2025.
        self.assertEqual(starts[0], d("2025-12-28"))
        self.assertEqual(starts[-1], d("2026-12-27"))
        self.assertEqual(len(starts), 27)
        self.assertEqual(list(hours.first_days(d("2026-01-11"), 14, d("2026-01-11"),
                                               d("2026-01-11"))), [d("2026-01-11")])
        self.assertEqual(list(hours.first_days(d("2026-01-11"), 28, d("2026-02-07"),
                                               d("2026-02-08"))),
                         [d("2026-01-11"), d("2026-02-08")])

    def test_labels(self):
        start = hours.DEFAULT_PAY_PERIOD_START
        self.assertEqual(hours.pay_period_label(d("2020-12-20"), start), "PP1")
        self.assertEqual(hours.pay_period_label(d("2026-01-11"), start), "PP3")  # 132 % 26 = 2
        self.assertEqual(hours.pay_period_label(d("2025-12-28"), start), "PP2")
        self.assertEqual(hours.pay_period_label(d("2020-12-06"), start), "")

    def test_numbers(self):
        for hundredths, text in ((13000, "130"), (750, "7.5"), (25, "0.25"), (-1200, "-12"),
                                 (-50, "-0.5"), (0, "0"), (5, "0.05"), (-1, "-0.01")):
            self.assertEqual(hours.hundredths_text(hundredths), text)
        for minutes, text in ((20, "0.33"), (1, "0.02"), (725, "12.08"), (-90, "-1.5"),
                              (30, "0.5"), (8640, "144")):
            self.assertEqual(hours.hours(minutes), text)


class Amounts(unittest.TestCase):
    def test_rounding(self):
        for minutes, hundredths, comp in ((1, 2, 3), (11, 18, 27), (20, 33, 50), (59, 98, 147),
                                          (60, 100, 150), (725, 1208, 1812), (1380, 2300, 3450),
                                          (1500, 2500, 3750)):
            self.assertEqual(banks.entry_hundredths(minutes), hundredths, minutes)
            self.assertEqual(banks.comp_hundredths(hundredths), comp, minutes)
        # 1.5 x the rounded hours, not the minutes: 11 minutes are 0.18 h and earn 0.27 h, where
        # 16.5 minutes would have made 0.28.
        self.assertEqual(banks.half_up(Decimal("27.5")), 28)
        self.assertEqual(banks.half_up(-1.5), -2)

    def test_set_up_values(self):
        self.assertEqual(banks.hundredths_of(Decimal("4.62"), "accrual"), 462)
        self.assertEqual(banks.hundredths_of(130, "balance"), 13000)
        self.assertEqual(banks.hundredths_of(Decimal("-12.5"), "balance"), -1250)
        with self.assertRaises(banks.BankError):
            banks.hundredths_of(Decimal("4.625"), "accrual")
        self.assertEqual(banks.year_start_of("07-01"), (7, 1))
        for text in ("02-29", "04-31", "7-01", "13-01", "0101"):
            with self.assertRaises(banks.BankError, msg=text):
                banks.year_start_of(text)

    def test_period_starts(self):
        start = hours.DEFAULT_PAY_PERIOD_START
        self.assertIsNone(banks.period_start_error(d("2026-01-11"), start))
        for day, nearest in (("2026-01-12", "2026-01-11"), ("2026-01-17", "2026-01-11"),
                             ("2026-01-18", "2026-01-11"),   # as near as 25 January: earlier
                             ("2026-01-19", "2026-01-25")):
            self.assertIn(nearest, banks.period_start_error(d(day), start), day)


def bank(name="vacation", as_of="2026-01-11", balance=0, accrual=0, **extra):
    row = {"bank": name, "asOf": as_of, "balance": balance, "accrual": accrual}
    row.update(extra)
    return banks.Bank.from_document(row, hours.DEFAULT_PAY_PERIOD_START)


def rows_of(set_up, rotation, entries, first, last):
    by_day = hours.entries_by_day(entries)
    text = banks.balances_report({b.name: b for b in set_up}, rotation, by_day,
                                 hours.DEFAULT_PAY_PERIOD_START, d(first), d(last))
    lines = text.splitlines()
    assert lines[0] == ",".join(banks.HEADER)
    return [line.split(",") for line in lines[1:]]


def dated(day, kind, minutes=None, **fields):
    made = entry(kind, minutes, **fields)
    made["date"] = day
    made["id"] = f"{day}-{kind}-{minutes}"
    return made


class Banks(unittest.TestCase):
    def amounts(self, rows):
        """(first, bank, opening, forfeited, used, earned, over_cap, accrued, closing)"""
        return [(row[1], row[3], *row[4:]) for row in rows]

    def test_cap_reached_by_accrual(self):
        leave_day = "2026-03-10"
        rotation = MadeUpRotation(duty=[leave_day])
        got = self.amounts(rows_of([bank(balance=130, accrual=7, cap=150)], rotation,
                                   [dated(leave_day, "leave", leaveType="vacation")],
                                   "2026-01-11", "2026-03-21"))
        self.assertEqual(got, [
            ("2026-01-11", "vacation", "130", "0", "0", "0", "0", "7", "137"),
            ("2026-01-25", "vacation", "137", "0", "0", "0", "0", "7", "144"),
            ("2026-02-08", "vacation", "144", "0", "0", "0", "0", "6", "150"),
            ("2026-02-22", "vacation", "150", "0", "0", "0", "0", "0", "150"),
            ("2026-03-08", "vacation", "150", "0", "24", "0", "0", "7", "133"),
        ])

    def test_a_balance_above_the_cap_is_kept(self):
        got = self.amounts(rows_of([bank(balance=160, accrual=7, cap=150)], OFF_DUTY, [],
                                   "2026-01-11", "2026-01-24"))
        self.assertEqual(got, [("2026-01-11", "vacation", "160", "0", "0", "0", "0", "0", "160")])

    def test_forfeiture_comes_before_the_leave_of_the_day(self):
        rotation = MadeUpRotation(duty=["2026-01-01"])
        got = self.amounts(rows_of(
            [bank(as_of="2025-12-28", balance=130, accrual=7, carryOver=120)], rotation,
            [dated("2026-01-01", "leave", leaveType="vacation")], "2025-12-28", "2026-01-10"))
        # 130 -> 120 on 1 January, then the day's 24 h: 96, and 7 on 10 January.
        self.assertEqual(got, [("2025-12-28", "vacation", "130", "10", "24", "0", "0", "7",
                                "103")])

    def test_forfeiture_on_the_day_the_bank_is_set_up(self):
        got = self.amounts(rows_of([bank(balance=200, accrual=0, carryOver=120,
                                         yearStart="01-11")], OFF_DUTY, [],
                                   "2026-01-11", "2026-01-24"))
        self.assertEqual(got, [("2026-01-11", "vacation", "200", "80", "0", "0", "0", "0",
                                "120")])
        # Below the carry-over nothing goes.
        got = self.amounts(rows_of([bank(balance=100, carryOver=120, yearStart="01-11")],
                                   OFF_DUTY, [], "2026-01-11", "2026-01-24"))
        self.assertEqual(got[0][3], "0")

    def test_comp_over_its_cap(self):
        rotation = MadeUpRotation(duty=["2026-01-13"])
        entries = [
            dated("2026-01-12", "overtime", 600, comp=True),       # earns 15: 10 fit, 5 over
            dated("2026-01-12", "holdover", 60, comp=True),        # earns 1.5: all over
            dated("2026-01-13", "leave", 480, leaveType="comp"),   # 480 -> 472
            dated("2026-01-13", "holdover", 300, comp=True),       # after the leave: 7.5 fit
            dated("2026-01-14", "overtime", 120),                  # not comp: paid
            dated("2026-01-15", "training", 120, comp=True),       # training earns no comp
        ]
        got = self.amounts(rows_of([bank("comp", balance=470, accrual=0, cap=480)], rotation,
                                   entries, "2026-01-11", "2026-01-24"))
        self.assertEqual(got, [("2026-01-11", "comp", "470", "0", "8", "17.5", "6.5", "0",
                                "479.5")])

    def test_comp_that_does_not_count_earns_nothing(self):
        rotation = MadeUpRotation(duty=["2026-01-13"])
        # Overtime on a duty day one works does not fit the day: not worked, not earned.
        got = self.amounts(rows_of([bank("comp", balance=0, cap=480)], rotation,
                                   [dated("2026-01-13", "overtime", 60, comp=True)],
                                   "2026-01-11", "2026-01-24"))
        self.assertEqual(got[0][5:7], ("0", "0"))

    def test_overdrawn(self):
        rotation = MadeUpRotation(duty=["2026-01-12", "2026-01-26"])
        got = self.amounts(rows_of(
            [bank("sick", balance=10, accrual=4, cap=20)], rotation,
            [dated("2026-01-12", "leave", leaveType="sick"),
             dated("2026-01-26", "leave", 750, leaveType="sick")], "2026-01-11", "2026-02-07"))
        self.assertEqual(got, [
            ("2026-01-11", "sick", "10", "0", "24", "0", "0", "4", "-10"),
            ("2026-01-25", "sick", "-10", "0", "12.5", "0", "0", "4", "-18.5"),
        ])

    def test_rows_from_as_of_and_only_for_banks_set_up(self):
        rotation = MadeUpRotation(duty=["2026-06-20", "2026-06-28", "2026-07-01", "2026-07-02",
                                        "2026-07-03"])
        entries = [dated("2026-06-20", "leave", 60, leaveType="vacation"),   # before asOf
                   dated("2026-06-28", "leave", 60, leaveType="vacation"),   # on asOf
                   dated("2026-07-01", "leave", 60, leaveType="holiday"),    # no such bank
                   dated("2026-07-02", "leave", 60, leaveType="other"),
                   dated("2026-07-03", "leave", 60)]
        got = self.amounts(rows_of([bank(as_of="2026-06-28", balance=50, accrual=2),
                                    bank("sick", as_of="2026-06-28", balance=5)], rotation,
                                   entries, "2026-06-01", "2026-07-11"))
        self.assertEqual(got, [
            ("2026-06-28", "vacation", "50", "0", "1", "0", "0", "2", "51"),
            ("2026-06-28", "sick", "5", "0", "0", "0", "0", "0", "5"),
        ])

    def test_rounding_of_each_entry(self):
        rotation = MadeUpRotation(duty=["2026-01-12"])
        entries = [dated("2026-01-12", "leave", 1, leaveType="vacation", id=name)
                   for name in "abc"]
        got = self.amounts(rows_of([bank(balance=1)], rotation, entries, "2026-01-11",
                                   "2026-01-24"))
        self.assertEqual(got[0][4], "0.06")   # 0.02 each; the day's 3 minutes would be 0.05
        self.assertEqual(got[0][-1], "0.94")

    def test_no_drift(self):
        # 100 periods of 4.62 h from 3 January 2021 (the 2nd period after 20 December 2020).
        set_up = [bank(as_of="2021-01-03", balance=Decimal("0.01"), accrual=Decimal("4.62"))]
        last = d("2021-01-03") + datetime.timedelta(days=14 * 100 - 1)
        got = rows_of(set_up, OFF_DUTY, [], "2021-01-03", last.isoformat())
        self.assertEqual(len(got), 100)
        self.assertEqual(got[-1][-1], "462.01")
        for before, after in zip(got, got[1:]):
            self.assertEqual(before[-1], after[4])

    def test_order_of_rows(self):
        set_up = [bank("holiday"), bank("comp"), bank("vacation"), bank("sick")]
        got = rows_of(set_up, OFF_DUTY, [], "2026-01-11", "2026-02-07")
        self.assertEqual([(row[0], row[3]) for row in got],
                         [("PP3", "vacation"), ("PP3", "sick"), ("PP3", "comp"),
                          ("PP3", "holiday"), ("PP4", "vacation"), ("PP4", "sick"),
                          ("PP4", "comp"), ("PP4", "holiday")])

    def test_refused_set_ups(self):
        for fields in ({"as_of": "2026-01-12"}, {"accrual": -1}, {"cap": -5},
                       {"accrual": Decimal("0.001")}, {"name": "overtime"}):
            with self.assertRaises(banks.BankError, msg=fields):
                bank(**fields)


class CommandLines(unittest.TestCase):
    """The references also answer from a terminal, for a member checking a file by hand."""

    def run_reference(self, script, *options):
        import json
        import subprocess
        import tempfile
        document = {"format": "tourwise-days", "version": 3,
                    "assignmentHistory": [{"assignment": "B2", "until": "2026-06-30"}],
                    "entries": [{"id": "x", "date": "2026-07-03", "kind": "overtime",
                                 "minutes": 20, "comp": True}],
                    "banks": [{"bank": "comp", "asOf": "2026-06-28", "balance": 0.5,
                               "accrual": 0, "cap": 480}]}
        with tempfile.NamedTemporaryFile("w", suffix=".json") as file:
            json.dump(document, file)
            file.flush()
            done = subprocess.run([sys.executable, os.path.join(os.path.dirname(
                os.path.abspath(__file__)), script), file.name, "--rotation", ROTATION_SOURCE,
                "--current-assignment", "A3", *options], capture_output=True, text=True,
                check=False)
        self.assertEqual(done.returncode, 0, done.stderr)
        return done.stdout.splitlines()

    def test_hours(self):
        lines = self.run_reference("hours_reference.py", "--from", "2026-06-28", "--to",
                                   "2026-07-11", "--report", "assignments")
        self.assertEqual(lines, ["assignment,first,last", "B2,,2026-06-30", "A3,2026-07-01,"])
        lines = self.run_reference("hours_reference.py", "--from", "2026-06-28", "--to",
                                   "2026-07-11", "--report", "hours")
        self.assertEqual(len(lines), 2)
        self.assertTrue(lines[1].startswith("PP15,2026-06-28,2026-07-11,"), lines[1])

    def test_balances(self):
        lines = self.run_reference("banks_reference.py", "--from", "2026-07-01", "--to",
                                   "2026-07-01")
        # 20 minutes are 0.33 h and earn 0.5 (0.495 half up), on a crew B day: A3 is off.
        self.assertEqual(lines, [",".join(banks.HEADER),
                                 "PP15,2026-06-28,2026-07-11,comp,0.5,0,0,0.5,0,0,1"])


if __name__ == "__main__":
    unittest.main()
