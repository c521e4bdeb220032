#include "monthview/monthgrid.h"

#include "core/calendar.h"

#include <Qt>

#include <cmath>

void BuildMonth(ProgramState& state, DateSerial date) {
    date = clampToViewRange(date);
    const DateSerial first = firstGridDay(date);
    for (int i = 0; i < GridDayCount; ++i)
        state.GridDates[static_cast<size_t>(i)] = first + i;
    state.SelectedDate = date;
}

bool ApplyNavigationKey(ProgramState& state, int qtKey, DateSerial today) {
    DateSerial& selected = state.SelectedDate;
    switch (qtKey) {
    case Qt::Key_PageUp:
        selected = std::trunc(monthStep(selected, -1));
        break;
    case Qt::Key_PageDown:
        selected = std::trunc(monthStep(selected, +1));
        break;
    case Qt::Key_End:
        selected = state.AnchorDate;
        return true;
    case Qt::Key_Home:
        selected = today;
        return true;
    case Qt::Key_Left:
        selected -= 1;
        break;
    case Qt::Key_Up:
        selected -= 7;
        break;
    case Qt::Key_Right:
        selected += 1;
        break;
    case Qt::Key_Down:
        selected += 7;
        break;
    default:
        return false;
    }
    state.AnchorDate = selected;
    return true;
}

void StepMonth(ProgramState& state, int months) {
    state.SelectedDate = std::trunc(monthStep(state.SelectedDate, months));
}

DateSerial ClampPickerDate(DateSerial editorDate) {
    return clampToViewRange(editorDate);
}

bool SelectCell(ProgramState& state, int index) {
    if (index < 0 || index >= GridDayCount)
        return false;
    const DateSerial day = state.GridDates[static_cast<size_t>(index)];
    // Within one grid the month number alone tells the shown month from its neighbours.
    if (ymdFromSerial(day).month != ymdFromSerial(state.SelectedDate).month)
        return false;
    state.SelectedDate = day;
    return true;
}

int SelectedCellIndex(const ProgramState& state) {
    for (int i = 0; i < GridDayCount; ++i)
        if (isSameDay(state.GridDates[static_cast<size_t>(i)], state.SelectedDate))
            return i;
    return -1;
}
