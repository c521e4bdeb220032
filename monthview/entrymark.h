// The mark of a day that holds the user's entries, read without colour: a disc when the user
// works that day, a ring when not, with an exclamation mark when an entry no longer fits the day.
// It sits in the corner that neither the day number nor the sub-label takes; where the cell has
// room, the entries' words ("Trade", "OT 10h") stand under the number instead of the shape.
#pragma once

#include "days/dayfacts.h"
#include "days/daytext.h"
#include "ui/textview.h"

inline FreeText::CornerMark EntryMark(const DayFacts& day) {
    using Shape = FreeText::CornerMark::Shape;
    if (!day.hasEntries())
        return {};
    return {day.worksToday() ? Shape::Disc : Shape::Ring, !day.allFit(), DayCellWords(day)};
}
