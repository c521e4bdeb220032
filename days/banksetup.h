// How a bank is set up: its balance on a pay stub's day, what each pay period adds, its cap and
// what may be carried into a new leave year; and the checks that refuse a set-up that cannot be,
// one sentence per problem.
#pragma once

#include "core/dateserial.h"
#include "days/bankamount.h"
#include "days/banks.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <optional>

// A day of every year: never 29 February.
struct MonthDay {
    int month = 1;
    int day = 1;

    friend bool operator==(const MonthDay&, const MonthDay&) = default;
};
// "MM-DD" with two digits each.
std::optional<MonthDay> monthDayFromText(QStringView text);
QString monthDayText(MonthDay monthDay);

// 29 CFR 553.24: the most comp time an employee in fire protection may hold; offered as the
// cap when the comp bank is set up.
inline constexpr Hundredths FireProtectionCompCap{48'000};

struct BankSetup {
    BankKind bank = BankKind::Vacation;
    DateSerial asOf = 0;                 // the first day of a pay period
    Hundredths balance;                  // at the start of asOf; may be negative
    Hundredths accrual;                  // credited on the last day of each pay period
    std::optional<Hundredths> cap;       // the most accrual and earning may bring it to
    std::optional<Hundredths> carryOver; // the most kept into a new leave year
    MonthDay yearStart;                  // the first day of the leave year

    friend bool operator==(const BankSetup&, const BankSetup&) = default;
};

// A set-up as a file or the dialog states it, before it is checked. An absent amount is none.
struct BankSetupInput {
    QString bank;                                // "vacation" ...
    QString asOf;                                // "YYYY-MM-DD"
    std::optional<double> balance;               // hours
    std::optional<double> accrual;               // hours
    std::optional<double> cap;                   // hours
    std::optional<double> carryOver;             // hours
    QString yearStart = QStringLiteral("01-01"); // "MM-DD"
};
// The same set-up as a file states it; checkBankSetup() reads it back unchanged.
BankSetupInput bankSetupInput(const BankSetup& setup);

struct BankSetupCheck {
    std::optional<BankSetup> setup; // none when there is a problem
    QStringList problems;           // one sentence each
};
// Pay periods run 14 days back and forth from `payPeriodStart`; `asOf` must begin one.
BankSetupCheck checkBankSetup(const BankSetupInput& input, DateSerial payPeriodStart);

struct BankSetupsCheck {
    QList<BankSetup> setups; // all of them, or none when there is a problem
    QStringList problems;
};
// Every set-up of a file or the dialog, each checked, and no bank set up twice.
BankSetupsCheck checkBankSetups(const QList<BankSetupInput>& inputs, DateSerial payPeriodStart);

// The first day of a pay period nearest to `day`, the earlier of two equally near.
DateSerial nearestPayPeriodStart(DateSerial day, DateSerial payPeriodStart);
