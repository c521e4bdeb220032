// The program state: the selection, the grid's dates and the user's entries on them, the
// pay-period start, the five user colours, the derived font sizes, the settings path, the loaded
// agency title and the locale snapshot. It belongs to the window, above the rules it is made of:
// the painters and the Settings page read and change it. One instance lives as long as the program;
// every value starts zeroed.
#pragma once

#include "colors/namedcolors.h"
#include "core/calendar.h"
#include "core/dateserial.h"
#include "core/localformat.h"
#include "days/dayfacts.h"
#include "state/proportions.h"

#include <QString>

#include <array>

struct ProgramState {
    DateSerial SelectedDate = 0;
    DateSerial AnchorDate = 0;
    std::array<DateSerial, GridDayCount> GridDates{};
    EntriesByDay GridEntries; // the user's entries of the grid's days, read with the month
    HoursSettings Hours;      // the user's shift start and work period, kept with the entries
    DateSerial PayPeriodStart = 0;
    TAlphaColor APltColor = 0;
    TAlphaColor BPltColor = 0;
    TAlphaColor XPltColor = 0;
    TAlphaColor LdTrColor = 0;
    TAlphaColor BkGrColor = 0;
    FontSizes Fonts;
    QString IniPath;
    QString LoadedAgency;                // as the agency box shows it
    DateSerial LoadedPayPeriodStart = 0; // as the file holds it
    LocalFormat Format;
};

// What the day is for the user, from the rotation and the entries the state holds for it.
inline DayFacts DayFactsOf(const ProgramState& state, QStringView assignment, DateSerial day) {
    return dayFacts(day, assignment, state.PayPeriodStart, entriesOn(state.GridEntries, day),
                    state.Hours.shiftStart);
}
