#include "monthview/daycolors.h"

#include "colors/contrast.h"
#include "rotation/rotation.h"

namespace {

TAlphaColor dutyColor(const ProgramState& state, QChar letter) {
    switch (letter.unicode()) {
    case u'A':
        return state.APltColor;
    case u'B':
        return state.BPltColor;
    case u'X':
        return state.XPltColor;
    default:
        return state.LdTrColor;
    }
}

} // namespace

TAlphaColor DayFillColor(const ProgramState& state, QStringView assignment, DateSerial date) {
    if (isSameDay(date, state.SelectedDate))
        return dutyColor(state, ShiftLetter(date, assignment));
    return state.BkGrColor;
}

TAlphaColor DayTextColor(const ProgramState& state, QStringView assignment, DateSerial date) {
    const QChar letter = ShiftLetter(date, assignment);
    if (isSameDay(date, state.SelectedDate)) {
        // Before the rotation's first day there is no duty colour to contrast with.
        if (letter == u'Z')
            return state.BkGrColor;
        return ContrastColor(dutyColor(state, letter));
    }
    if (ymdFromSerial(date).month == ymdFromSerial(state.SelectedDate).month)
        return dutyColor(state, letter);
    return state.LdTrColor;
}
