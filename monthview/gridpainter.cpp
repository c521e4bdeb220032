#include "monthview/gridpainter.h"

#include "colors/contrast.h"
#include "monthview/daycolors.h"
#include "monthview/entrymark.h"
#include "monthview/textfit.h"
#include "ui/rectangle.h"
#include "ui/textview.h"

#include <QFontMetricsF>

#include <algorithm>
#include <cmath>

namespace {

constexpr double BorderThickness = 0.5;

// The schedule keeps the days it answered, so the grid holds only pointers to them.
using GridFacts = std::array<const DayFacts*, GridDayCount>;

TAlphaColor rectangleFill(const ProgramState& state, const GridFacts& facts, int tag) {
    if (tag == GridTags::HelpBackground)
        return Colors::White;
    if (tag >= GridTags::FirstCell && tag <= GridTags::LastCell)
        return DayFillColor(state, *facts[static_cast<size_t>(tag)]);
    return state.BkGrColor;
}

void paintRectangle(Rectangle& rectangle, TAlphaColor fill) {
    rectangle.setFill(fill);
    if (rectangle.tag() == GridTags::CalendarBackground) {
        rectangle.setStrokeThickness(0);
        return;
    }
    rectangle.setStroke(BorderColorFor(fill));
    rectangle.setStrokeThickness(BorderThickness);
}

// A sub-label in the cell moves the day number to the top-left corner to make room.
bool numbersInCorner(const GridOverlays& overlays) {
    return overlays.debitDays || overlays.payPeriods;
}

struct DayNumberSizes {
    double centred = 0;
    double corner = 0;
};

// All day numbers and the legend share one size, that of the widest two-digit number (two of the
// widest digit) where the proportional size would not fit it: sized one by one, a "7" would stand
// taller than the "17" beside it, and wide numbers would run into their neighbours. The corner
// size is measured only when a sub-label moves the numbers there: each size measured loads a
// font, and start-up would pay for one that no cell shows.
DayNumberSizes dayNumberSizes(const ControlRegistry& registry, const FontSizes& fonts,
                              bool inCorner) {
    for (QWidget* control : registry.controls()) {
        auto* number = qobject_cast<FreeText*>(control);
        if (!number || number->tag() != GridTags::FirstCell)
            continue;
        // Measured at the size the fitting tries first, so that no other size loads a font.
        const QFont& font = number->textFont();
        QFont bold = font;
        bold.setBold(true);
        bold.setPixelSize(std::max(1, static_cast<int>(std::lround(fonts.day))));
        const QFontMetricsF metrics(bold);
        QChar widest = u'0';
        for (QChar digit = u'1'; digit <= u'9'; digit = QChar(digit.unicode() + 1))
            if (metrics.horizontalAdvance(digit) > metrics.horizontalAdvance(widest))
                widest = digit;
        const QString sample(2, widest);
        // The number fills its cell, which the grid has placed already.
        const QSizeF cell = number->parentWidget()->size();
        const double centred = FittingFontSize(font, sample, fonts.day, true, cell);
        return {centred, inCorner ? FittingFontSize(font, sample, fonts.dayCorner, true, cell) : 0};
    }
    return {fonts.day, fonts.dayCorner};
}

void paintDayNumber(FreeText& number, const DayNumberSizes& sizes, const ProgramState& state,
                    const GridOverlays& overlays, TAlphaColor lastFill, const DayFacts& day) {
    number.setTextColor(DayTextColor(state, day));
    number.setUnderline(overlays.paydays && day.payday);
    // Small enough to leave room for the sub-label beside it in a narrow, tall cell.
    const double markSize =
        std::min(state.Fonts.subLabel * 0.8, number.parentWidget()->width() * 0.19);
    // The words a little smaller than the sub-label: "OT 10h" fits a cell of the start-up size.
    number.setCornerMark(EntryMark(day), ContrastColor(lastFill), markSize,
                         state.Fonts.subLabel * 0.8);
    if (numbersInCorner(overlays)) {
        number.setAlignment(TextAlign::Leading, TextAlign::Leading);
        number.setTextMargins(QMarginsF(4, -2, 0, 0));
        number.setFontSize(sizes.corner);
    } else {
        number.setAlignment(TextAlign::Center, TextAlign::Center);
        number.setTextMargins(QMarginsF(0, 0, 0, 0));
        number.setFontSize(sizes.centred);
    }
    number.setBold(true);
    number.setText(QString::number(ymdFromSerial(day.day).day));
}

void paintSubLabel(FreeText& subLabel, const ProgramState& state, const GridOverlays& overlays,
                   TAlphaColor lastFill, const DayFacts& day) {
    subLabel.setTextColor(ContrastColor(lastFill));
    const bool periodStart = overlays.payPeriods && day.payPeriodStart;
    if (overlays.debitDays && overlays.payPeriods) {
        subLabel.setFontSize(state.Fonts.subLabelSmall);
        subLabel.setText(periodStart ? day.payPeriodLabel + QLatin1Char('\r') + day.rdoGroup
                                     : day.rdoGroup);
    } else if (overlays.debitDays) {
        subLabel.setFontSize(state.Fonts.subLabel);
        subLabel.setText(day.rdoGroup);
    } else if (overlays.payPeriods) {
        subLabel.setFontSize(state.Fonts.subLabel);
        subLabel.setText(periodStart ? day.payPeriodLabel : QString());
    } else {
        subLabel.setText(QString());
    }
}

void paintLegend(FreeText& legend, const QString& crew, TAlphaColor color, double size) {
    legend.setText(crew);
    legend.setTextColor(color);
    legend.setFontSize(size);
    legend.setBold(true);
}

} // namespace

void PaintGrid(const ControlRegistry& registry, const ProgramState& state,
               const GridOverlays& overlays, const Schedule& schedule) {
    const DayNumberSizes sizes = dayNumberSizes(registry, state.Fonts, numbersInCorner(overlays));
    GridFacts facts;
    for (size_t cell = 0; cell < facts.size(); ++cell)
        facts[cell] = &schedule.day(state.GridDates[cell]);
    TAlphaColor lastFill = Colors::Null;
    FreeText* legendA = nullptr;
    FreeText* legendB = nullptr;
    for (QWidget* control : registry.controls()) {
        if (auto* rectangle = qobject_cast<Rectangle*>(control)) {
            lastFill = rectangleFill(state, facts, rectangle->tag());
            paintRectangle(*rectangle, lastFill);
            continue;
        }
        auto* text = qobject_cast<FreeText*>(control);
        if (!text)
            continue;
        const int tag = text->tag();
        if (tag >= GridTags::FirstCell && tag <= GridTags::LastNumberedCell) {
            paintDayNumber(*text, sizes, state, overlays, lastFill,
                           *facts[static_cast<size_t>(tag)]);
        } else if (tag >= GridTags::SubLabelOffset + GridTags::FirstCell &&
                   tag <= GridTags::SubLabelOffset + GridTags::LastNumberedCell) {
            paintSubLabel(*text, state, overlays, lastFill,
                          *facts[static_cast<size_t>(tag - GridTags::SubLabelOffset)]);
        } else if (tag == GridTags::LastCell - 1) {
            legendA = text;
        } else if (tag == GridTags::LastCell) {
            legendB = text;
        }
    }
    if (legendA)
        paintLegend(*legendA, QStringLiteral("A"), state.APltColor, sizes.centred);
    if (legendB)
        paintLegend(*legendB, QStringLiteral("B"), state.BPltColor, sizes.centred);
}
