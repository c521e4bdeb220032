// The totals a firefighter checks a pay slip with: hours per pay period, FLSA work periods with
// their overtime, and what each trade partner and the user owe each other. Sums of dayFacts().
#pragma once

#include "core/dateserial.h"
#include "days/dayentry.h"
#include "days/shifttime.h"

#include <QList>
#include <QString>

// Whose hours and how they are counted.
struct HoursBasis {
    QString assignment; // "A1" ... "B7"; anything else has no scheduled duty
    DateSerial payPeriodStart = 0;
    HoursSettings settings;
};

// Minutes, summed over days.
struct HoursTotals {
    int scheduled = 0;
    int worked = 0;
    int leave = 0;
    int tradedOut = 0;
    int tradedIn = 0;
    int extra = 0; // overtime, holdover and training
    int flsa = 0;

    friend bool operator==(const HoursTotals&, const HoursTotals&) = default;
};

struct PayPeriodHours {
    QString label; // "PP1" ... "PP26", empty before the pay-period start
    DateSerial first = 0;
    DateSerial last = 0;
    HoursTotals totals;
};

struct WorkPeriodHours {
    DateSerial first = 0;
    DateSerial last = 0;
    int days = 0;
    int flsaMinutes = 0;
    int thresholdHours = 0;
    int overtimeMinutes = 0; // FLSA minutes above the threshold
};

struct TradeBalance {
    QString with;
    int theyWorkedMinutes = 0; // trade-outs: they worked for me
    int iWorkedMinutes = 0;    // trade-ins: I worked for them
    int balanceMinutes() const { return iWorkedMinutes - theyWorkedMinutes; }
    // The other half of a trade has not happened yet.
    bool open() const { return balanceMinutes() != 0; }
};

inline constexpr int PayPeriodDays = 14;
inline constexpr int ShortestWorkPeriod = 7;
inline constexpr int LongestWorkPeriod = 28;

// The hours a fire-protection employee may work in a work period of `days` (7 ... 28) before
// overtime is due: 212 hours in 28 days, in proportion and rounded to whole hours.
int flsaThresholdHours(int days);

// The first day of the work period holding `day`, for the basis's length and first day.
DateSerial workPeriodFirstDay(DateSerial day, const HoursBasis& basis);
// The first day of the pay period holding `day`.
DateSerial payPeriodFirstDay(DateSerial day, DateSerial payPeriodStart);

HoursTotals hoursOfDays(DateSerial first, DateSerial last, const HoursBasis& basis,
                        const QList<DayEntry>& entries);

// One row per period whose first day lies in first ... last. The entries must cover every day of
// those periods, which may reach beyond `last`.
QList<PayPeriodHours> payPeriodHours(DateSerial first, DateSerial last, const HoursBasis& basis,
                                     const QList<DayEntry>& entries);
QList<WorkPeriodHours> workPeriodHours(DateSerial first, DateSerial last, const HoursBasis& basis,
                                       const QList<DayEntry>& entries);
// The days that the rows of both lists for first ... last can cover: periods of up to 28 days
// that start in the range.
struct DaySpan {
    DateSerial first = 0;
    DateSerial last = 0;
};
DaySpan daysOfPeriods(DateSerial first, DateSerial last);

// Every trade partner named in the entries, ordered by name. A trade counts as dayFacts() counts
// it: only where it fits the day.
QList<TradeBalance> tradeLedger(const QList<DayEntry>& entries, const HoursBasis& basis);

// Minutes as hours without trailing zeros, at most two decimals: "144", "143.5", "0.25", "-24".
QString hoursText(int minutes);
