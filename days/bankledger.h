// The banks day by day from their set-up: forfeiture at a leave year's start, leave used, comp
// earned up to the cap, accrual at the end of each pay period; and their rows by pay period.
#pragma once

#include "core/dateserial.h"
#include "days/bankamount.h"
#include "days/banks.h"
#include "days/banksetup.h"
#include "days/dayentry.h"

#include <QList>
#include <QString>

#include <array>
#include <optional>
#include <vector>

// What one counted entry does to a bank: leave drawn from a bank, or comp time earned by a
// comp-marked overtime or holdover entry that counts as extra work.
enum class BankMovementKind { LeaveUsed, CompEarned };
struct BankMovement {
    DateSerial day = 0;
    BankMovementKind kind = BankMovementKind::LeaveUsed;
    BankKind bank = BankKind::Vacation; // the bank drawn from; comp earned goes to the comp bank
    int minutes = 0;                    // the entry's counted minutes, as the hours lists count it

    friend bool operator==(const BankMovement&, const BankMovement&) = default;
};
// None for leave of type other or without a type, which draws from no bank.
std::optional<BankMovement> leaveMovement(DateSerial day, LeaveType type, int minutes);
BankMovement compMovement(DateSerial day, int minutes);

struct BankPeriodRow {
    QString label; // "PP1" ... "PP26", empty before the pay-period start
    DateSerial first = 0;
    DateSerial last = 0;
    BankKind bank = BankKind::Vacation;
    Hundredths opening; // at the start of `first`
    Hundredths forfeited;
    Hundredths used;
    Hundredths earned;  // comp credited
    Hundredths overCap; // comp earned that did not fit under the cap, to be paid in cash
    Hundredths accrued; // accrual credited
    Hundredths closing; // at the end of `last`

    friend bool operator==(const BankPeriodRow&, const BankPeriodRow&) = default;
};

// The dialog sets a period apart as projected when it ends after today.
bool isProjected(const BankPeriodRow& row, DateSerial today);

// A day on which leave left its bank below zero, by the balance at the end of the day.
struct OverdrawnDay {
    DateSerial day = 0;
    BankKind bank = BankKind::Vacation;
    Hundredths balance;

    friend bool operator==(const OverdrawnDay&, const OverdrawnDay&) = default;
};

// The banks as set up, over the movements of every day (in any order; those before a bank's
// asOf are already in its balance). Each question walks each bank once from its asOf, so its
// cost grows with the days and movements walked, never with the rows asked for.
class BankLedger {
public:
    // At most one set-up per bank (checkBankSetups()).
    BankLedger(const QList<BankSetup>& setups, DateSerial payPeriodStart,
               const QList<BankMovement>& movements);

    // One row per bank per pay period that holds a day of first ... last and starts on or
    // after the bank's asOf; by period, then in AllBanks order.
    QList<BankPeriodRow> rows(DateSerial first, DateSerial last) const;
    // The balance at the end of `day`; none for a bank not set up or a day before its asOf.
    std::optional<Hundredths> balanceAfter(BankKind bank, DateSerial day) const;
    // The days of first ... last with leave that left its bank below zero; by day, then bank.
    QList<OverdrawnDay> overdrawnDays(DateSerial first, DateSerial last) const;

    // What one bank does to its amounts, ready for the walk: rounded once, sorted by day.
    struct Move {
        qint64 day = 0;
        BankMovementKind kind = BankMovementKind::LeaveUsed;
        Hundredths amount; // hours used, or comp earned before the cap
    };

private:
    struct Bank {
        BankSetup setup;
        std::vector<Move> moves;
    };
    const Bank* bankOf(BankKind bank) const;

    std::vector<Bank> m_banks; // in AllBanks order
    qint64 m_payPeriodStart = 0;
};
