#!/usr/bin/env python3
"""What the leave and comp banks should hold, pay period by pay period, worked out on its own
from the rules of the banks, to check the program's balances against. It reads a file of entries
and banks (the program's JSON form, version 3) and prints the rows as the program's CSV.

  banks_reference.py DAYS.json --rotation rotation/rotation.cpp --current-assignment B2
      (--year 2026 | --from 2026-01-01 --to 2026-12-31) [--zone UTC] [--shift-start 08:00]
      [--pay-period-start 2020-12-20]

Amounts are whole hundredths of an hour (integers), never floating point. Which entries count on
a day, and how long a shift is, come from hours_reference.py, the reference of the hours lists."""
import argparse
import datetime
import json
import os
import sys
from dataclasses import dataclass
from decimal import Decimal
from fractions import Fraction
from zoneinfo import ZoneInfo

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import hours_reference as hours  # noqa: E402

BANKS = ("vacation", "sick", "comp", "holiday")
EARNS_COMP = ("overtime", "holdover")
COMP_RATE = Fraction(3, 2)   # 29 CFR 553.22: time and a half
HEADER = ["period", "first", "last", "bank", "opening", "forfeited", "used", "earned", "over_cap",
          "accrued", "closing"]


class BankError(ValueError):
    pass


def half_up(value):
    """The nearest whole number, halves away from zero."""
    value = Fraction(value)
    rounded = (abs(value.numerator) * 2 + value.denominator) // (2 * value.denominator)
    return rounded if value >= 0 else -rounded


def entry_hundredths(minutes):
    """An entry's hours to the hundredth, half up: 20 minutes are 0.33 h, 1 minute 0.02 h."""
    return half_up(Fraction(minutes * 100, 60))


def comp_hundredths(hundredths):
    """What an entry of these hours earns as comp time: 1.5 x its rounded hours, rounded again."""
    return half_up(COMP_RATE * hundredths)


def hundredths_of(value, what):
    """A JSON number with at most two decimals as whole hundredths."""
    if isinstance(value, bool) or not isinstance(value, (int, Decimal)):
        raise BankError(f"{what} is not a number")
    scaled = Decimal(value) * 100
    if scaled != scaled.to_integral_value():
        raise BankError(f"{what} has more than two decimals")
    return int(scaled)


def year_start_of(text):
    """(month, day) of an "MM-DD" that every year has: 02-29 is refused, as is 04-31."""
    refusal = BankError(f"yearStart '{text}' is not a day every year has (MM-DD)")
    if not isinstance(text, str) or len(text) != 5 or text[2] != "-" or \
            not (text[:2] + text[3:]).isdigit():
        raise refusal
    month, day = int(text[:2]), int(text[3:])
    try:
        datetime.date(2001, month, day)
    except ValueError:
        raise refusal from None
    return month, day


def period_start_error(day, pay_period_start):
    """None for the first day of a pay period; otherwise the sentence that names the nearest
    one (the earlier when two are as near)."""
    offset = (day - pay_period_start).days % hours.PAY_PERIOD_DAYS
    if offset == 0:
        return None
    earlier = day - datetime.timedelta(days=offset)
    later = earlier + datetime.timedelta(days=hours.PAY_PERIOD_DAYS)
    nearest = earlier if offset <= hours.PAY_PERIOD_DAYS - offset else later
    return (f"{day.isoformat()} is not the first day of a pay period; the nearest is "
            f"{nearest.isoformat()}.")


def is_last_day_of_pay_period(day, pay_period_start):
    return (day + hours.ONE_DAY - pay_period_start).days % hours.PAY_PERIOD_DAYS == 0


@dataclass
class Bank:
    name: str
    as_of: datetime.date
    balance: int          # hundredths, at the start of as_of
    accrual: int          # hundredths a pay period
    cap: int = None
    carry_over: int = None
    year_start: tuple = (1, 1)

    @classmethod
    def from_document(cls, row, pay_period_start):
        name = row.get("bank")
        if name not in BANKS:
            raise BankError(f"'{name}' is not a bank (vacation, sick, comp or holiday)")
        as_of = datetime.date.fromisoformat(row["asOf"])
        error = period_start_error(as_of, pay_period_start)
        if error:
            raise BankError(error)
        bank = cls(name, as_of, hundredths_of(row["balance"], "balance"),
                   hundredths_of(row["accrual"], "accrual"))
        if row.get("cap") is not None:
            bank.cap = hundredths_of(row["cap"], "cap")
        if row.get("carryOver") is not None:
            bank.carry_over = hundredths_of(row["carryOver"], "carryOver")
        bank.year_start = year_start_of(row.get("yearStart", "01-01"))
        for what, amount in (("accrual", bank.accrual), ("cap", bank.cap),
                             ("carryOver", bank.carry_over)):
            if amount is not None and amount < 0:
                raise BankError(f"{what} is negative")
        return bank

    def credit(self, balance, amount):
        """What of `amount` fits under the cap; a balance above it is never cut, only stopped."""
        if self.cap is None:
            return amount
        return min(amount, max(0, self.cap - balance))


@dataclass
class DayMoves:
    forfeited: int = 0
    used: int = 0
    earned: int = 0
    over_cap: int = 0
    accrued: int = 0


def day_moves(bank, day, balance, counted, pay_period_start):
    """The day's steps, in their order, and the balance after them."""
    moves = DayMoves()
    if (day.month, day.day) == bank.year_start and bank.carry_over is not None:
        moves.forfeited = max(0, balance - bank.carry_over)
        balance -= moves.forfeited
    for entry, minutes in counted:
        if entry["kind"] == "leave" and entry.get("leaveType") == bank.name:
            moves.used += entry_hundredths(minutes)
    balance -= moves.used
    if bank.name == "comp":
        for entry, minutes in counted:
            if entry["kind"] in EARNS_COMP and entry.get("comp") is True:
                earned = comp_hundredths(entry_hundredths(minutes))
                credited = bank.credit(balance, earned)
                moves.earned += credited
                moves.over_cap += earned - credited
                balance += credited
    if is_last_day_of_pay_period(day, pay_period_start):
        moves.accrued = bank.credit(balance, bank.accrual)
        balance += moves.accrued
    return moves, balance


def bank_rows(bank, rotation, by_day, pay_period_start, first, last, counted_on=None):
    counted_on = {} if counted_on is None else counted_on
    periods = [start for start in hours.first_days(pay_period_start, hours.PAY_PERIOD_DAYS,
                                                   first, last) if start >= bank.as_of]
    if not periods:
        return {}
    rows = {}
    balance = bank.balance
    day = bank.as_of
    end = periods[-1] + datetime.timedelta(days=hours.PAY_PERIOD_DAYS - 1)
    wanted = set(periods)
    while day <= end:
        period_first = day
        opening = balance
        total = DayMoves()
        for _ in range(hours.PAY_PERIOD_DAYS):
            if day not in counted_on:
                counted_on[day] = hours.counted_entries(day, rotation, by_day.get(day, []))
            counted = counted_on[day]
            moves, balance = day_moves(bank, day, balance, counted, pay_period_start)
            for field in ("forfeited", "used", "earned", "over_cap", "accrued"):
                setattr(total, field, getattr(total, field) + getattr(moves, field))
            day += hours.ONE_DAY
        closing = opening - total.forfeited - total.used + total.earned + total.accrued
        if closing != balance:
            raise AssertionError(f"{bank.name} {period_first}: closing {closing} != {balance}")
        if period_first in wanted:
            rows[period_first] = [hours.pay_period_label(period_first, pay_period_start),
                                  period_first.isoformat(),
                                  (day - hours.ONE_DAY).isoformat(), bank.name] + [
                hours.hundredths_text(amount) for amount in (
                    opening, total.forfeited, total.used, total.earned, total.over_cap,
                    total.accrued, closing)]
    return rows


def balances_report(banks, rotation, by_day, pay_period_start, first, last):
    """`banks` maps a bank's name to its Bank; rows by period, then in the order of BANKS."""
    counted_on = {}   # the same entries count for every bank
    per_bank = {name: bank_rows(banks[name], rotation, by_day, pay_period_start, first, last,
                                counted_on)
                for name in BANKS if name in banks}
    rows = []
    for start in hours.first_days(pay_period_start, hours.PAY_PERIOD_DAYS, first, last):
        rows += [per_bank[name][start] for name in BANKS
                 if name in per_bank and start in per_bank[name]]
    return hours.csv_text(HEADER, rows)


def banks_of(document, pay_period_start):
    banks = {}
    for row in document.get("banks", []):
        bank = Bank.from_document(row, pay_period_start)
        banks[bank.name] = bank
    return banks


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("days")
    parser.add_argument("--rotation", required=True)
    parser.add_argument("--current-assignment", required=True)
    parser.add_argument("--year", type=int)
    parser.add_argument("--from", dest="first", type=datetime.date.fromisoformat)
    parser.add_argument("--to", dest="last", type=datetime.date.fromisoformat)
    parser.add_argument("--zone", default="UTC")
    parser.add_argument("--shift-start", default="08:00",
                        type=lambda text: datetime.time.fromisoformat(text))
    parser.add_argument("--pay-period-start", type=datetime.date.fromisoformat,
                        default=hours.DEFAULT_PAY_PERIOD_START)
    args = parser.parse_args()
    if args.year is not None:
        first, last = datetime.date(args.year, 1, 1), datetime.date(args.year, 12, 31)
    elif args.first and args.last:
        first, last = args.first, args.last
    else:
        parser.error("give --year or both --from and --to")

    with open(args.days, encoding="utf-8") as stream:
        document = json.load(stream, parse_float=Decimal)
    try:
        banks = banks_of(document, args.pay_period_start)
    except BankError as error:
        raise SystemExit(str(error))
    rotation = hours.Rotation(hours.read_rdo_table(args.rotation),
                              hours.History.from_document(document, args.current_assignment),
                              ZoneInfo(args.zone), args.shift_start)
    sys.stdout.write(balances_report(banks, rotation, hours.entries_by_day(document["entries"]),
                                     args.pay_period_start, first, last))


if __name__ == "__main__":
    main()
