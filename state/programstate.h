// The program state: the selection, the grid's dates, the pay-period start, the five user
// colours, the derived font sizes, the settings path, the loaded agency title, the locale
// snapshot and a passing notice of the status line. It belongs to the window, above the rules
// it is made of: the painters and the Settings page read and change it. One instance lives as
// long as the program; every value starts zeroed. What a day is for the user is the schedule's
// to answer, not the state's.
#pragma once

#include "colors/namedcolors.h"
#include "core/calendar.h"
#include "core/dateserial.h"
#include "core/localformat.h"
#include "state/proportions.h"

#include <QString>

#include <array>

struct ProgramState {
    DateSerial SelectedDate = 0;
    DateSerial AnchorDate = 0;
    std::array<DateSerial, GridDayCount> GridDates{};
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
    QString StatusNotice;                // a passing word ("Saved hours-2026.csv") in place of
                                         // the status line's own
    LocalFormat Format;
};
