// The mark of a day that holds the user's entries, read without colour: a filled disc when the
// user works that day, a ring when not, and "!" after it when an entry no longer fits the day.
#pragma once

#include "days/dayfacts.h"

#include <QString>

inline QString EntryMark(const DayFacts& day) {
    if (!day.hasEntries())
        return {};
    QString mark = day.worksToday() ? QStringLiteral("\u25CF") : QStringLiteral("\u25CB");
    if (!day.allFit())
        mark += QLatin1Char('!');
    return mark;
}
