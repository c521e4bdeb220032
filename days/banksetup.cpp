#include "days/banksetup.h"

#include "days/hours.h"
#include "rotation/rotation.h"

#include <QDate>
#include <QLocale>

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

// Days in each month of a year without 29 February.
constexpr int DaysInMonth[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};

QString isoDay(DateSerial day) {
    return qdateFromSerial(day).toString(Qt::ISODate);
}

std::optional<DateSerial> isoDayFromText(const QString& text) {
    // Qt also reads "2026-1-5" and a trailing time; a file's date is exactly YYYY-MM-DD.
    const QDate date = QDate::fromString(text, u"yyyy-MM-dd");
    if (!date.isValid() || text.size() != 10)
        return std::nullopt;
    return serialFromQDate(date);
}

QString shortestHours(double hours) {
    return QString::number(hours, 'f', QLocale::FloatingPointShortest);
}

// Problems of one set-up, each sentence headed by the bank it is about.
class SetupProblems {
public:
    explicit SetupProblems(QString bank) : m_bank(std::move(bank)) {}
    void add(const QString& sentence) {
        m_problems.append(m_bank + QStringLiteral(": ") + sentence);
    }
    const QStringList& all() const { return m_problems; }

    // An amount of the set-up; `field` names it in the sentence.
    std::optional<Hundredths> amount(std::optional<double> hours, const char* field,
                                     bool mayBeNegative) {
        if (!hours)
            return std::nullopt;
        const QString name = QString::fromLatin1(field);
        const AmountReading reading = hundredthsFromHours(*hours);
        switch (reading.problem) {
        case AmountProblem::None:
            break;
        case AmountProblem::NotANumber:
            add(QStringLiteral("the %1 is not a number of hours.").arg(name));
            return std::nullopt;
        case AmountProblem::TooLarge:
            add(QStringLiteral("the %1 of %2 hours is more than %3.")
                    .arg(name, shortestHours(*hours), hundredthsText(MaxBankAmount)));
            return std::nullopt;
        case AmountProblem::TooManyDecimals:
            add(QStringLiteral("the %1 %2 has more than two decimals.")
                    .arg(name, shortestHours(*hours)));
            return std::nullopt;
        }
        if (!mayBeNegative && reading.amount < Hundredths{}) {
            add(QStringLiteral("the %1 may not be negative.").arg(name));
            return std::nullopt;
        }
        return reading.amount;
    }

private:
    QString m_bank;
    QStringList m_problems;
};

} // namespace

std::optional<MonthDay> monthDayFromText(QStringView text) {
    if (text.size() != 5 || text[2] != u'-')
        return std::nullopt;
    const auto twoDigits = [&](qsizetype at) -> int {
        const QChar tens = text[at];
        const QChar ones = text[at + 1];
        if (!tens.isDigit() || !ones.isDigit() || tens.unicode() > '9' || ones.unicode() > '9')
            return -1;
        return (tens.unicode() - '0') * 10 + (ones.unicode() - '0');
    };
    const int month = twoDigits(0);
    const int day = twoDigits(3);
    if (month < 1 || month > 12 || day < 1 || day > DaysInMonth[month - 1])
        return std::nullopt;
    return MonthDay{month, day};
}

QString monthDayText(MonthDay monthDay) {
    return QStringLiteral("%1-%2")
        .arg(monthDay.month, 2, 10, QLatin1Char('0'))
        .arg(monthDay.day, 2, 10, QLatin1Char('0'));
}

DateSerial nearestPayPeriodStart(DateSerial day, DateSerial payPeriodStart) {
    const DateSerial before = PayPeriodFirstDay(day, payPeriodStart);
    return std::floor(day) - before <= PayPeriodDays / 2 ? before : before + PayPeriodDays;
}

BankSetupInput bankSetupInput(const BankSetup& setup) {
    BankSetupInput input;
    input.bank = bankName(setup.bank);
    input.asOf = isoDay(setup.asOf);
    input.balance = hoursOf(setup.balance);
    input.accrual = hoursOf(setup.accrual);
    if (setup.cap)
        input.cap = hoursOf(*setup.cap);
    if (setup.carryOver)
        input.carryOver = hoursOf(*setup.carryOver);
    input.yearStart = monthDayText(setup.yearStart);
    return input;
}

BankSetupCheck checkBankSetup(const BankSetupInput& input, DateSerial payPeriodStart) {
    const std::optional<BankKind> bank = bankFromName(input.bank);
    SetupProblems problems(bank ? bankTitle(*bank) : u'"' + input.bank + u'"');
    if (!bank)
        problems.add(QStringLiteral("not a bank; the banks are vacation, sick, comp and holiday."));

    const std::optional<DateSerial> asOf = isoDayFromText(input.asOf);
    if (!asOf)
        problems.add(
            QStringLiteral("the as-of day \"%1\" is not a date (YYYY-MM-DD).").arg(input.asOf));
    else if (const DateSerial nearest = nearestPayPeriodStart(*asOf, payPeriodStart);
             nearest != *asOf)
        problems.add(QStringLiteral("the as-of day %1 is not the first day of a pay period; the "
                                    "nearest is %2.")
                         .arg(input.asOf, isoDay(nearest)));

    if (!input.balance)
        problems.add(QStringLiteral("the balance is missing."));
    if (!input.accrual)
        problems.add(QStringLiteral("the accrual is missing (0 when nothing is credited)."));
    const auto balance = problems.amount(input.balance, "balance", true);
    const auto accrual = problems.amount(input.accrual, "accrual", false);
    const auto cap = problems.amount(input.cap, "cap", false);
    const auto carryOver = problems.amount(input.carryOver, "carry-over", false);

    const std::optional<MonthDay> yearStart = monthDayFromText(input.yearStart);
    if (!yearStart)
        problems.add(QStringLiteral("the year start must be a day every year has, as MM-DD "
                                    "(such as 01-01), not \"%1\".")
                         .arg(input.yearStart));

    if (!problems.all().isEmpty())
        return {std::nullopt, problems.all()};
    BankSetup setup;
    setup.bank = *bank;
    setup.asOf = *asOf;
    setup.balance = *balance;
    setup.accrual = *accrual;
    setup.cap = cap;
    setup.carryOver = carryOver;
    setup.yearStart = *yearStart;
    return {setup, {}};
}

BankSetupsCheck checkBankSetups(const QList<BankSetupInput>& inputs, DateSerial payPeriodStart) {
    BankSetupsCheck check;
    QList<BankKind> twice;
    for (const BankSetupInput& input : inputs) {
        const BankSetupCheck one = checkBankSetup(input, payPeriodStart);
        check.problems += one.problems;
        if (!one.setup)
            continue;
        const bool seen =
            std::any_of(check.setups.cbegin(), check.setups.cend(),
                        [&](const BankSetup& s) { return s.bank == one.setup->bank; });
        if (seen && !twice.contains(one.setup->bank)) {
            twice.append(one.setup->bank);
            check.problems.append(
                bankTitle(one.setup->bank) +
                QStringLiteral(": set up twice; a bank has one set-up (as of one day)."));
        }
        check.setups.append(*one.setup);
    }
    if (!check.problems.isEmpty())
        check.setups.clear();
    return check;
}
