// Paints every rectangle of the window and the texts of the 42 day cells from the program state:
// one walk over the controls in creation order, deciding by kind and Tag alone.
#pragma once

#include "days/schedule.h"
#include "state/programstate.h"
#include "ui/controlregistry.h"

struct GridOverlays {
    bool paydays = false;    // underline the numbers of paydays
    bool debitDays = false;  // the RDO group in every sub-label
    bool payPeriods = false; // the pay-period label on the first day of each period
};

// The Tags by which the walk recognises its controls.
namespace GridTags {
inline constexpr int HelpBackground = -3;     // always white
inline constexpr int CalendarBackground = -2; // background colour, no border
inline constexpr int BorderedBackground = -1; // background colour, thin border
inline constexpr int FirstCell = 0;
// A month of 31 days that starts on a Saturday ends in cell 36: the cells from 37 on never hold a
// day of the shown month.
inline constexpr int FirstNeverShownCell = 37;
inline constexpr int LastNumberedCell = 39; // cells 40 and 41 carry the crew legend
inline constexpr int LastCell = 41;
inline constexpr int SubLabelOffset = 100;
} // namespace GridTags

void PaintGrid(const ControlRegistry& registry, const ProgramState& state,
               const GridOverlays& overlays, const Schedule& schedule);
