#include "days/bankamount.h"

#include <QLocale>

#include <cmath>

namespace {

// Half up on the size, the sign put back: an amount and its negative print alike.
qint64 mirrored(qint64 value, qint64 (*roundPositive)(qint64)) {
    return value < 0 ? -roundPositive(-value) : roundPositive(value);
}

} // namespace

Hundredths hundredthsFromMinutes(qint64 minutes) {
    // 100 × minutes / 60 = 5 × minutes / 3; adding half of the divisor before dividing rounds
    // half up.
    return {mirrored(minutes, [](qint64 positive) { return (10 * positive + 3) / 6; })};
}

Hundredths compEarnedFor(Hundredths hours) {
    return {mirrored(hours.value, [](qint64 positive) { return (3 * positive + 1) / 2; })};
}

QString hundredthsText(Hundredths amount) {
    const qint64 size = amount.value < 0 ? -amount.value : amount.value;
    QString text = QString::number(size / 100);
    if (const qint64 rest = size % 100; rest != 0) {
        text += u'.' + QStringLiteral("%1").arg(rest, 2, 10, QLatin1Char('0'));
        if (text.endsWith(u'0'))
            text.chop(1);
    }
    return amount.value < 0 ? u'-' + text : text;
}

AmountReading hundredthsFromHours(double hours) {
    if (!std::isfinite(hours))
        return {{}, AmountProblem::NotANumber};
    // Far beyond the largest amount, before its digits are read.
    if (std::fabs(hours) >= 1e6)
        return {{}, AmountProblem::TooLarge};
    // The shortest text that reads back as the same double, never with an exponent.
    const QString text = QString::number(hours, 'f', QLocale::FloatingPointShortest);
    const qsizetype point = text.indexOf(u'.');
    const QString decimals = point < 0 ? QString() : text.mid(point + 1);
    if (decimals.size() > 2)
        return {{}, AmountProblem::TooManyDecimals};
    const bool negative = text.startsWith(u'-');
    const QString whole =
        text.mid(negative ? 1 : 0, (point < 0 ? text.size() : point) - (negative ? 1 : 0));
    const qint64 size = whole.toLongLong() * 100 + decimals.leftJustified(2, u'0').toLongLong();
    if (size > MaxBankAmount.value)
        return {{}, AmountProblem::TooLarge};
    return {{negative ? -size : size}};
}

double hoursOf(Hundredths amount) {
    // Division is correctly rounded, so this is the double nearest to the two-decimal number.
    return static_cast<double>(amount.value) / 100;
}
