#include "monthview/headerpainter.h"

#include "colors/contrast.h"
#include "core/clock.h"
#include "days/daytext.h"
#include "days/hours.h"
#include "monthview/textfit.h"
#include "rotation/rotation.h"
#include "ui/buttons.h"
#include "ui/pickers.h"
#include "ui/rectangle.h"
#include "ui/textview.h"

#include <algorithm>

namespace {

const QString TitleSeparator = QStringLiteral(" - ");

QString shortDate(const ProgramState& state, DateSerial day) {
    const QDate date = qdateFromSerial(day);
    if (state.Format.shortDatePattern.isEmpty())
        return date.toString(Qt::ISODate);
    return state.Format.locale.toString(date, state.Format.shortDatePattern);
}

QString nameAt(const QStringList& names, int index) {
    return index >= 0 && index < names.size() ? names[index] : QString();
}

} // namespace

void StyleToolbars(const HeaderControls& controls, const ProgramState& state, const QString& agency,
                   const AssignmentChoice& assignment) {
    for (Label* title :
         {controls.calendarTitle, controls.settingsTitle, controls.helpTitle, controls.aboutTitle})
        title->setFontSize(state.Fonts.title);
    const TAlphaColor contrast = ContrastColor(state.BkGrColor);
    controls.calendarTitle->setTextColor(contrast);
    controls.settingsTitle->setTextColor(contrast);
    controls.aboutTitle->setTextColor(contrast);
    controls.settingsBack->setTextColor(contrast);
    controls.aboutBack->setTextColor(contrast);
    // The Help page keeps its own white title bar.
    const TAlphaColor helpContrast = ContrastColor(controls.helpTitleBar->fill());
    controls.helpTitle->setTextColor(helpContrast);
    controls.helpBack->setTextColor(helpContrast);
    controls.payPeriodEditor->setTextColor(Colors::Black);
    controls.calendarTitle->setText(
        assignment.index <= 0 ? agency : agency + TitleSeparator + assignment.text);
}

void ShowMonthName(const HeaderControls& controls, const ProgramState& state, DateSerial date) {
    controls.monthName->setFontSize(state.Fonts.month);
    controls.monthName->setTextColor(ContrastColor(controls.monthNameBar->fill()));
    const YearMonthDay ymd = ymdFromSerial(date);
    const QString text = ymd.year == currentYear()
                             ? nameAt(state.Format.longMonthNames, ymd.month - 1)
                             : nameAt(state.Format.shortMonthNames, ymd.month - 1) +
                                   QLatin1Char(' ') + QString::number(ymd.year);
    controls.monthName->setText(text);
}

void ShowWeekdayNames(const HeaderControls& controls, const ProgramState& state) {
    const TAlphaColor contrast = ContrastColor(controls.weekdayBar->fill());
    // One size for the seven names, that of the widest where it would not fit at full size.
    double size = state.Fonts.dow;
    for (int day = 0; day < 7; ++day) {
        const Label* label = controls.weekdays[static_cast<size_t>(day)];
        size = std::min(size,
                        FittingFontSize(label->textFont(), nameAt(state.Format.shortDayNames, day),
                                        state.Fonts.dow, label->bold(), label->size()));
    }
    for (int day = 0; day < 7; ++day) {
        Label* label = controls.weekdays[static_cast<size_t>(day)];
        label->setFontSize(size);
        label->setTextColor(contrast);
        label->setText(nameAt(state.Format.shortDayNames, day));
    }
}

void ShowStatus(const HeaderControls& controls, const ProgramState& state,
                const Schedule& schedule) {
    controls.footerDate->setTextColor(Colors::Black);
    PushButton* todayButton = controls.today;
    if (today() == state.SelectedDate) {
        // Today is already selected: the button looks inactive.
        constexpr TAlphaColor Dimgray = Colors::Dimgray;
        todayButton->setTextColors({Dimgray, Dimgray, Dimgray, Colors::Blue});
        todayButton->setBold(false);
    } else {
        // The button's tint colour is never set, so its contrast is that of Null: black.
        const TAlphaColor text = ContrastColor(Colors::Null);
        todayButton->setTextColors({text, text, text, Colors::Blue});
        todayButton->setBold(true);
    }
    Label* status = controls.status;
    status->setFontSize(state.Fonts.status);
    status->setTextColor(ContrastColor(controls.footer->fill()));
    const QString text = state.StatusNotice.isEmpty()
                             ? StatusText(state, schedule, state.SelectedDate)
                             : state.StatusNotice;
    // The period's hours join the line of the group only where nothing has to shrink for them.
    const QString total = PayPeriodTotalText(schedule, state.SelectedDate);
    QStringList lines = text.split(QLatin1Char('\r'));
    if (!total.isEmpty() && lines.size() >= 2) {
        lines[1] += QStringLiteral(" \u00b7 ") + total;
        const QSizeF area = status->textArea().size();
        const QSizeF line(area.width(), area.height() / static_cast<double>(lines.size()));
        if (FittingFontSize(status->textFont(), lines[1], state.Fonts.status, status->bold(),
                            line) >= state.Fonts.status) {
            status->setText(lines.join(QLatin1Char('\r')));
            return;
        }
    }
    status->setText(text);
}

QString PayPeriodTotalText(const Schedule& schedule, DateSerial day) {
    if (!IsSubGroup(schedule.assignmentOn(day)) || day < schedule.payPeriodStart())
        return {};
    const PayPeriodHours period = schedule.payPeriodOf(day);
    return QStringLiteral("%1 %2 h").arg(period.label, hoursText(period.totals.worked));
}

QString StatusText(const ProgramState& state, const Schedule& schedule, DateSerial day) {
    const DayFacts& facts = schedule.day(day);
    QString text = shortDate(state, day) + QLatin1Char('\r') +
                   DayGroupLine(facts, schedule.currentAssignment());
    if (facts.hasEntries())
        text += QLatin1Char('\r') + DayEntriesBrief(facts);
    return text;
}
