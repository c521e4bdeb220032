// The month grid model and every way of moving the selected day. Plain functions over the
// program state; the window's handlers call them and then refresh.
#pragma once

#include "state/programstate.h"

// Clamps the date into the view range, fills the 42 grid dates for its month (from the Sunday on
// or before the first) and selects it.
void BuildMonth(ProgramState& state, DateSerial date);

// Page Up/Down, Home, End and the arrows change the selection (and the anchor for Page Up/Down and
// the arrows, set before any clamp). Returns whether the key was one of these eight.
bool ApplyNavigationKey(ProgramState& state, int qtKey, DateSerial today);

// The month buttons: one month back or forward, the anchor untouched.
void StepMonth(ProgramState& state, int months);

// A date chosen in the footer picker, brought into the view range.
DateSerial ClampPickerDate(DateSerial editorDate);

// A click on cell `index`: selects its day when it lies in the shown month. Returns whether it did.
bool SelectCell(ProgramState& state, int index);

// The cell that shows the selected date, -1 when the grid does not hold it.
int SelectedCellIndex(const ProgramState& state);
