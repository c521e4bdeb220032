#include "monthview/headerpainter.h"

#include "colors/contrast.h"
#include "core/clock.h"
#include "days/entrytext.h"
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
                const AssignmentChoice& assignment) {
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
    const QString text = StatusText(state, state.SelectedDate, assignment.text);
    // The period's hours join the line of the group only where nothing has to shrink for them.
    const QString total = PayPeriodTotalText(state, state.SelectedDate, assignment.text);
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

QString PayPeriodTotalText(const ProgramState& state, DateSerial day, QStringView assignment) {
    if (!IsSubGroup(assignment) || day < state.PayPeriodStart)
        return {};
    const DateSerial first = payPeriodFirstDay(day, state.PayPeriodStart);
    const DateSerial last = first + PayPeriodDays - 1;
    QList<DayEntry> entries;
    for (DateSerial date = first; date <= last; date += 1)
        entries += entriesOn(state.GridEntries, date);
    const HoursTotals totals = hoursOfDays(
        first, last, {assignment.toString(), state.PayPeriodStart, state.Hours}, entries);
    return QStringLiteral("%1 %2 h").arg(PayPeriodLabel(day, state.PayPeriodStart),
                                         hoursText(totals.worked));
}

QString StatusText(const ProgramState& state, DateSerial day, QStringView assignment) {
    const DayFacts facts = DayFactsOf(state, assignment, day);
    QString text = shortDate(state, day) + QLatin1Char('\r');
    if (facts.ownRdo)
        text += QStringLiteral("* ") + facts.rdoGroup + QStringLiteral(" *");
    else if (facts.payPeriodStart)
        text += facts.payPeriodLabel + TitleSeparator + facts.rdoGroup;
    else
        text += facts.rdoGroup;
    if (facts.hasEntries())
        text += QLatin1Char('\r') + DayEntriesBrief(facts);
    return text;
}

QString DayDescription(const ProgramState& state, DateSerial day, QStringView assignment) {
    const DayFacts facts = DayFactsOf(state, assignment, day);
    QStringList parts;
    parts << state.Format.locale.toString(qdateFromSerial(day), QLocale::LongFormat);
    if (facts.ownRdo)
        parts << QStringLiteral("your RDO (%1)").arg(facts.rdoGroup);
    else if (!facts.crewOnDuty.isNull())
        parts << QStringLiteral("crew %1 on duty").arg(facts.crewOnDuty);
    if (!facts.rdoGroup.isEmpty() && !facts.ownRdo)
        parts << QStringLiteral("RDO group %1").arg(facts.rdoGroup);
    if (facts.payday)
        parts << QStringLiteral("payday");
    if (facts.payPeriodStart)
        parts << QStringLiteral("%1 begins").arg(facts.payPeriodLabel);
    if (facts.hasEntries()) {
        parts << DayEntriesPhrase(facts);
        parts << (facts.worksToday() ? QStringLiteral("you work") : QStringLiteral("you are off"));
    }
    return parts.join(QStringLiteral(", "));
}
