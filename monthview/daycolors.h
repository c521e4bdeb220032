// The fill and number colour of one day of the grid.
#pragma once

#include "colors/namedcolors.h"
#include "days/dayfacts.h"
#include "state/programstate.h"

// The selected day is filled with its duty colour; every other day with the background.
TAlphaColor DayFillColor(const ProgramState& state, const DayFacts& day);

// The selected day: the contrast of its fill. Other days of the shown month: their duty colour.
// Days of the neighbouring months: the leading/trailing colour.
TAlphaColor DayTextColor(const ProgramState& state, const DayFacts& day);
