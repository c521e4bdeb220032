// Amounts of a leave or comp bank: whole hundredths of an hour, so that 45 years of accrual add
// up to the cent of an hour with no floating-point drift.
#pragma once

#include <QString>
#include <QtGlobal>

#include <compare>

struct Hundredths {
    qint64 value = 0;

    friend auto operator<=>(const Hundredths&, const Hundredths&) = default;
    friend Hundredths operator+(Hundredths a, Hundredths b) { return {a.value + b.value}; }
    friend Hundredths operator-(Hundredths a, Hundredths b) { return {a.value - b.value}; }
    Hundredths operator-() const { return {-value}; }
    Hundredths& operator+=(Hundredths other) {
        value += other.value;
        return *this;
    }
    Hundredths& operator-=(Hundredths other) {
        value -= other.value;
        return *this;
    }
};

// An entry's hours: minutes ÷ 60 to the hundredth, half up (a negative amount mirrors its
// positive). Minutes never end in exactly half a hundredth, so this is hoursText's rounding.
Hundredths hundredthsFromMinutes(qint64 minutes);
// Comp time earned for `hours` of overtime: 1.5 × the hours, to the hundredth, half up.
Hundredths compEarnedFor(Hundredths hours);

// As the hours lists print hours: at most two decimals, no trailing zeros ("130", "7.5",
// "0.25", "-12").
QString hundredthsText(Hundredths amount);

// The largest amount a set-up may hold, in either sign.
inline constexpr Hundredths MaxBankAmount{9'999'999}; // 99999.99 hours

enum class AmountProblem { None, NotANumber, TooLarge, TooManyDecimals };
struct AmountReading {
    Hundredths amount;
    AmountProblem problem = AmountProblem::None;
};
// A number of hours as a file or a form gives it. Read through its shortest decimal form, so
// 4.62 (which a double holds as 4.6199999…) is 462 hundredths and 4.625 has three decimals.
AmountReading hundredthsFromHours(double hours);
// The amount as hours for a file; hundredthsFromHours() reads it back to the same amount.
double hoursOf(Hundredths amount);
