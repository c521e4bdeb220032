// The texts around the grid: the four title bars and their Back buttons, the Calendar title
// (agency and assignment), the month header, the weekday row, the status line and the Today
// button.
#pragma once

#include "days/schedule.h"
#include "state/programstate.h"

#include <QString>

#include <array>

class DateEdit;
class Label;
class PushButton;
class Rectangle;

struct HeaderControls {
    Label* calendarTitle = nullptr;     // lblToolbar1
    Label* settingsTitle = nullptr;     // lblToolbar2
    Label* helpTitle = nullptr;         // lblToolbar3
    Label* aboutTitle = nullptr;        // lblToolbar4
    PushButton* settingsBack = nullptr; // sbBack2
    PushButton* helpBack = nullptr;     // sbBack3
    PushButton* aboutBack = nullptr;    // sbBack4
    Rectangle* helpTitleBar = nullptr;  // rectToolbar3
    Label* monthName = nullptr;
    Rectangle* monthNameBar = nullptr;
    std::array<Label*, 7> weekdays{};
    Rectangle* weekdayBar = nullptr;
    Label* status = nullptr;
    Rectangle* footer = nullptr;
    PushButton* today = nullptr;
    DateEdit* footerDate = nullptr;
    DateEdit* payPeriodEditor = nullptr;
};

// What the Calendar title and the status line read from the Settings page.
struct AssignmentChoice {
    int index = 0; // 0 (or less) for "RDO", no sub-group
    QString text;  // the selected item's text
};

void StyleToolbars(const HeaderControls& controls, const ProgramState& state, const QString& agency,
                   const AssignmentChoice& assignment);
void ShowMonthName(const HeaderControls& controls, const ProgramState& state, DateSerial date);
void ShowWeekdayNames(const HeaderControls& controls, const ProgramState& state);
void ShowStatus(const HeaderControls& controls, const ProgramState& state,
                const Schedule& schedule);

// The lines of the status line for a day: the short date, then its RDO group with the
// pay-period label on a period's first day, or "* group *" on the user's own RDO, and the
// day's entries in brief where it has any.
QString StatusText(const ProgramState& state, const Schedule& schedule, DateSerial day);

// The hours the user works in the pay period holding the day, "PP7 96 h"; empty without a
// sub-group on the day or before the first pay period.
QString PayPeriodTotalText(const Schedule& schedule, DateSerial day);
