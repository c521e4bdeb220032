#include "monthview/daycolors.h"

#include "colors/contrast.h"

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

TAlphaColor DayFillColor(const ProgramState& state, const DayFacts& day) {
    if (isSameDay(day.day, state.SelectedDate))
        return dutyColor(state, day.letter);
    return state.BkGrColor;
}

TAlphaColor DayTextColor(const ProgramState& state, const DayFacts& day) {
    const QChar letter = day.letter;
    if (isSameDay(day.day, state.SelectedDate)) {
        // Before the rotation's first day there is no duty colour to contrast with.
        if (letter == u'Z')
            return state.BkGrColor;
        return ContrastColor(dutyColor(state, letter));
    }
    if (ymdFromSerial(day.day).month == ymdFromSerial(state.SelectedDate).month)
        return dutyColor(state, letter);
    return state.LdTrColor;
}
