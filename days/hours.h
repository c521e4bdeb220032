// The totals a firefighter checks a pay slip with: hours per pay period, FLSA work periods with
// their overtime, and what each trade partner and the user owe each other. Sums of the days'
// facts, however the caller answers them.
#pragma once

#include "core/dateserial.h"
#include "days/dayentry.h"
#include "days/dayfacts.h"
#include "days/shifttime.h"

#include <QList>
#include <QString>

#include <functional>

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

inline constexpr int ShortestWorkPeriod = 7;
inline constexpr int LongestWorkPeriod = 28;

// The facts of any day, as the schedule answers them.
using DayFactsSource = std::function<const DayFacts&(DateSerial day)>;

// The hours a fire-protection employee may work in a work period of `days` (7 ... 28) before
// overtime is due: 212 hours in 28 days, in proportion and rounded to whole hours.
int flsaThresholdHours(int days);

// The FLSA work periods: their length and the first day of one of them.
struct WorkPeriodRule {
    int days = DefaultWorkPeriodDays;
    DateSerial anchor = 0;
};
// The user's settings, the pay-period start standing in for a work-period start not given.
WorkPeriodRule workPeriodRule(const HoursSettings& settings, DateSerial payPeriodStart);
DateSerial workPeriodFirstDay(DateSerial day, const WorkPeriodRule& rule);

HoursTotals hoursOfDays(DateSerial first, DateSerial last, const DayFactsSource& days);

// One row per period that holds a day of first ... last, so its days may reach beyond both.
QList<PayPeriodHours> payPeriodHours(DateSerial first, DateSerial last, DateSerial payPeriodStart,
                                     const DayFactsSource& days);
QList<WorkPeriodHours> workPeriodHours(DateSerial first, DateSerial last,
                                       const WorkPeriodRule& rule, const DayFactsSource& days);
// The days those rows cover.
DaySpan daysOfPayPeriods(DateSerial first, DateSerial last, DateSerial payPeriodStart);
DaySpan daysOfWorkPeriods(DateSerial first, DateSerial last, const WorkPeriodRule& rule);

// Every trade partner named in the days' entries, ordered by name; a trade counts where it
// counts in the day's hours. Names that differ only in case or spaces are one person.
QList<TradeBalance> tradeLedger(const QList<DayFacts>& daysWithEntries);

// Minutes as hours without trailing zeros, at most two decimals: "144", "143.5", "0.25", "-24".
QString hoursText(int minutes);
// Minutes as a person reads a length of time: "12 h", "11 h 30 min", "45 min".
QString durationText(int minutes);
