#include "days/bankledger.h"

#include "days/hours.h"
#include "rotation/rotation.h"

#include <algorithm>
#include <cmath>

namespace {

using Move = BankLedger::Move;

qint64 wholeDay(DateSerial day) {
    return static_cast<qint64>(std::floor(day));
}

// What one day did to a bank.
struct DayAmounts {
    Hundredths forfeited;
    Hundredths used;
    Hundredths earned;
    Hundredths overCap;
    Hundredths accrued;
};

// One bank walked a day at a time from its asOf, in the order of the rules: forfeiture on the
// leave year's first day, leave used, comp earned, accrual on a pay period's last day.
class BankWalk {
public:
    BankWalk(const BankSetup& setup, const std::vector<Move>& moves, qint64 payPeriodStart)
        : m_setup(setup), m_day(wholeDay(setup.asOf)), m_balance(setup.balance) {
        m_nextMove = std::lower_bound(moves.cbegin(), moves.cend(), m_day,
                                      [](const Move& move, qint64 day) { return move.day < day; });
        m_movesEnd = moves.cend();
        m_periodLast = wholeDay(PayPeriodFirstDay(m_day, payPeriodStart)) + PayPeriodDays - 1;
        m_leaveYear = ymdFromSerial(m_day).year;
        if (yearStartIn(m_leaveYear) < m_day)
            ++m_leaveYear;
    }

    qint64 day() const { return m_day; } // the next day to walk
    Hundredths balance() const { return m_balance; }

    DayAmounts step() {
        DayAmounts today;
        if (m_day == yearStartIn(m_leaveYear)) {
            if (m_setup.carryOver && m_balance > *m_setup.carryOver) {
                today.forfeited = m_balance - *m_setup.carryOver;
                m_balance = *m_setup.carryOver;
            }
            ++m_leaveYear;
        }
        const auto dayEnd = std::find_if(m_nextMove, m_movesEnd,
                                         [&](const Move& move) { return move.day != m_day; });
        for (auto move = m_nextMove; move != dayEnd; ++move)
            if (move->kind == BankMovementKind::LeaveUsed)
                today.used += move->amount;
        m_balance -= today.used;
        for (auto move = m_nextMove; move != dayEnd; ++move) {
            if (move->kind != BankMovementKind::CompEarned)
                continue;
            const Hundredths credited = upToCap(move->amount);
            today.earned += credited;
            today.overCap += move->amount - credited;
            m_balance += credited;
        }
        m_nextMove = dayEnd;
        if (m_day == m_periodLast) {
            today.accrued = upToCap(m_setup.accrual);
            m_balance += today.accrued;
            m_periodLast += PayPeriodDays;
        }
        ++m_day;
        return today;
    }

private:
    qint64 yearStartIn(int year) const {
        return wholeDay(serialFromYmd(year, m_setup.yearStart.month, m_setup.yearStart.day));
    }
    // A balance above the cap is not cut; it only stops growing.
    Hundredths upToCap(Hundredths amount) const {
        if (!m_setup.cap)
            return amount;
        return std::min(amount, std::max(Hundredths{}, *m_setup.cap - m_balance));
    }

    const BankSetup& m_setup;
    qint64 m_day = 0;
    Hundredths m_balance;
    std::vector<Move>::const_iterator m_nextMove;
    std::vector<Move>::const_iterator m_movesEnd;
    qint64 m_periodLast = 0;
    int m_leaveYear = 0; // the next yearStart falls in this calendar year
};

} // namespace

std::optional<BankMovement> leaveMovement(DateSerial day, LeaveType type, int minutes) {
    const std::optional<BankKind> bank = bankOfLeave(type);
    if (!bank)
        return std::nullopt;
    return BankMovement{day, BankMovementKind::LeaveUsed, *bank, minutes};
}

BankMovement compMovement(DateSerial day, int minutes) {
    return {day, BankMovementKind::CompEarned, BankKind::Comp, minutes};
}

bool isProjected(const BankPeriodRow& row, DateSerial today) {
    return row.last > std::floor(today);
}

BankLedger::BankLedger(const QList<BankSetup>& setups, DateSerial payPeriodStart,
                       const QList<BankMovement>& movements)
    : m_payPeriodStart(wholeDay(payPeriodStart)) {
    for (BankKind kind : AllBanks) {
        const auto setup = std::find_if(setups.cbegin(), setups.cend(),
                                        [&](const BankSetup& s) { return s.bank == kind; });
        if (setup == setups.cend())
            continue;
        Bank bank{*setup, {}};
        for (const BankMovement& movement : movements) {
            const Hundredths hours = hundredthsFromMinutes(movement.minutes);
            if (movement.kind == BankMovementKind::LeaveUsed && movement.bank == kind)
                bank.moves.push_back({wholeDay(movement.day), movement.kind, hours});
            else if (movement.kind == BankMovementKind::CompEarned && kind == BankKind::Comp)
                bank.moves.push_back({wholeDay(movement.day), movement.kind, compEarnedFor(hours)});
        }
        std::stable_sort(bank.moves.begin(), bank.moves.end(),
                         [](const Move& a, const Move& b) { return a.day < b.day; });
        m_banks.push_back(std::move(bank));
    }
}

const BankLedger::Bank* BankLedger::bankOf(BankKind kind) const {
    for (const Bank& bank : m_banks)
        if (bank.setup.bank == kind)
            return &bank;
    return nullptr;
}

QList<BankPeriodRow> BankLedger::rows(DateSerial first, DateSerial last) const {
    const qint64 from = wholeDay(first);
    const qint64 to = wholeDay(last);
    QList<BankPeriodRow> rows;
    if (from > to)
        return rows;
    for (const Bank& bank : m_banks) {
        BankWalk walk(bank.setup, bank.moves, m_payPeriodStart);
        const qint64 asOf = walk.day();
        // A set-up made before a change of the pay-period start may begin inside a period; the
        // rows start with the first whole period.
        qint64 start = wholeDay(PayPeriodFirstDay(asOf, m_payPeriodStart));
        if (start < asOf) {
            start += PayPeriodDays;
            while (walk.day() < start)
                walk.step();
        }
        for (; start <= to; start += PayPeriodDays) {
            BankPeriodRow row;
            row.first = start;
            row.last = start + PayPeriodDays - 1;
            row.bank = bank.setup.bank;
            row.opening = walk.balance();
            while (walk.day() <= row.last) {
                const DayAmounts today = walk.step();
                row.forfeited += today.forfeited;
                row.used += today.used;
                row.earned += today.earned;
                row.overCap += today.overCap;
                row.accrued += today.accrued;
            }
            row.closing = walk.balance();
            if (row.last >= from) {
                row.label = PayPeriodLabel(row.first, m_payPeriodStart);
                rows.append(row);
            }
        }
    }
    // Each bank's rows are already by period, and the banks in AllBanks order.
    std::stable_sort(rows.begin(), rows.end(), [](const BankPeriodRow& a, const BankPeriodRow& b) {
        return a.first < b.first;
    });
    return rows;
}

std::optional<Hundredths> BankLedger::balanceAfter(BankKind kind, DateSerial day) const {
    const Bank* bank = bankOf(kind);
    if (!bank)
        return std::nullopt;
    BankWalk walk(bank->setup, bank->moves, m_payPeriodStart);
    const qint64 until = wholeDay(day);
    if (until < walk.day())
        return std::nullopt;
    while (walk.day() <= until)
        walk.step();
    return walk.balance();
}

QList<OverdrawnDay> BankLedger::overdrawnDays(DateSerial first, DateSerial last) const {
    const qint64 from = wholeDay(first);
    const qint64 to = wholeDay(last);
    QList<OverdrawnDay> days;
    // Each bank's days are already in order, and the banks in AllBanks order.
    for (const Bank& bank : m_banks) {
        BankWalk walk(bank.setup, bank.moves, m_payPeriodStart);
        while (walk.day() <= to) {
            const qint64 day = walk.day();
            const DayAmounts today = walk.step();
            if (day >= from && today.used > Hundredths{} && walk.balance() < Hundredths{})
                days.append({static_cast<DateSerial>(day), bank.setup.bank, walk.balance()});
        }
    }
    std::stable_sort(days.begin(), days.end(),
                     [](const OverdrawnDay& a, const OverdrawnDay& b) { return a.day < b.day; });
    return days;
}
