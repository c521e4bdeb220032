// What one day is for this user: the rotation's answers and the user's own entries over them,
// and what follows. Every view of a day (grid, status line, reader name, calendar file, sheets)
// reads this and works out nothing again.
#pragma once

#include "core/dateserial.h"
#include "days/dayentry.h"
#include "days/shifttime.h"

#include <QChar>
#include <QList>
#include <QString>
#include <QStringView>

struct DayFacts {
    DateSerial day = 0;
    QString assignment;       // the user's assignment on the day: "A1" ... "B7" or "RDO"
    QChar letter;             // ShiftLetter: 'A', 'B', 'X' (the user's RDO) or 'Z'
    QChar crewOnDuty;         // 'A' or 'B'; null before the rotation's first day
    QString rdoGroup;         // the sub-group off that day, "A1" ... "B7", or empty
    bool hasSubGroup = false; // the assignment is one of the fourteen sub-groups
    bool ownRdo = false;
    bool ownDuty = false; // the user's crew is on duty and it is not the user's RDO
    bool payday = false;
    bool payPeriodStart = false;
    QString payPeriodLabel; // "PP1" ... "PP26" of the period holding the day, or empty

    // The user's entries of the day, in entryBefore order, and which of them fit the day as
    // the rotation has it for the assignment of the day (an entry that stops fitting is kept and
    // shown as such), and the minutes each counts for: 0 for one that does not fit, a note, or
    // training inside the user's own shift.
    QList<DayEntry> entries;
    QList<bool> fits;
    QList<int> countedMinutes;

    // Minutes. Scheduled is the user's own duty of the day (0 when not on duty); a whole shift
    // is the length of a duty starting that day, on duty or not.
    int scheduledMinutes = 0;
    int wholeShiftMinutes = 0;
    int tradedOutMinutes = 0;
    int leaveMinutes = 0;
    int tradedInMinutes = 0;
    int extraMinutes = 0; // overtime, holdover, and training beyond the user's own shift
    int workedMinutes = 0;
    int flsaMinutes = 0;

    bool hasEntries() const { return !entries.isEmpty(); }
    bool tradedAway() const { return tradedOutMinutes > 0; }
    bool onLeave() const { return leaveMinutes > 0; }
    // Hours worked beyond the user's own duty: the one test of extra work.
    bool extraWork() const { return tradedInMinutes > 0 || extraMinutes > 0; }
    int extraWorkMinutes() const { return tradedInMinutes + extraMinutes; }
    bool worksToday() const { return workedMinutes > 0; }
    // The part of the user's own scheduled duty that the user still works.
    int ownShiftWorkedMinutes() const { return scheduledMinutes - tradedOutMinutes - leaveMinutes; }
    // On duty by the rotation, but traded away or on leave for all of it.
    bool awayAllShift() const { return ownDuty && ownShiftWorkedMinutes() <= 0; }
    bool allFit() const { return !fits.contains(false); }
};

// True for "A1" ... "B7".
bool IsSubGroup(QStringView assignment);

// The shift of a day as the rules of entries see it.
struct DayShift {
    bool hasSubGroup = false;
    bool ownDuty = false;
    int scheduledMinutes = 0;  // the user's own duty, 0 when not on duty
    int wholeShiftMinutes = 0; // a duty starting that day, on duty or not
};

// The one day function. `entries` may hold entries of other days; only the day's own are taken.
DayFacts dayFacts(DateSerial day, QStringView assignment, DateSerial payPeriodStart,
                  const QList<DayEntry>& entries = {}, int shiftStart = DefaultShiftStart);

DayShift shiftOf(const DayFacts& facts);

// The minutes an entry stands for on its day: its own, or where it has none, the user's shift
// for a trade-out or leave and a whole shift of the day for the kinds that add work.
int entryMinutes(const DayEntry& entry, const DayShift& shift);
int entryMinutes(const DayEntry& entry, const DayFacts& facts);
