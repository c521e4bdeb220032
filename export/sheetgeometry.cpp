#include "export/sheetgeometry.h"

#include "core/calendar.h"
#include "core/localformat.h"
#include "days/dayfacts.h"
#include "days/daytext.h"

#include <QFontMetricsF>
#include <QStringList>

#include <algorithm>

namespace {

constexpr double mm = SheetUnits::PerMm;

// Title band, bottom bands and gaps, per kind of sheet.
struct Proportions {
    double titleHeight;
    double gapBelowTitle;
    double legendRowHeight;
    double legendFont;
    double footerHeight;
    double footerFont;
    double gapAboveLegend;
};

constexpr Proportions YearProportions{11 * mm, 2 * mm, 6 * mm, 2.9 * mm, 4 * mm, 2.3 * mm, 2 * mm};
constexpr Proportions MonthProportions{13 * mm, 3 * mm, 8 * mm, 3.6 * mm, 5 * mm, 2.6 * mm, 3 * mm};

// The notes under the month's grid: their font, row height, and how many rows before the rest
// are counted instead of listed, so the grid keeps most of the page.
constexpr double NotesFont = 3.2 * mm;
constexpr double NotesRowHeight = 4.8 * mm;
constexpr size_t MostNoteRows = 8;

// The sub-groups the user had on the sheet's days, in their order: "B2", "B2, A3".
QString sheetGroups(const SheetRequest& request) {
    QStringList groups;
    for (const QString& group : SheetSubGroups(request))
        if (!groups.contains(group))
            groups << group;
    return groups.join(QStringLiteral(", "));
}

QString legendCaption(LegendEntry::Sample sample, const SheetRequest& request) {
    switch (sample) {
    case LegendEntry::Sample::CrewA:
        return QStringLiteral("Crew A on duty");
    case LegendEntry::Sample::CrewB:
        return QStringLiteral("Crew B on duty");
    case LegendEntry::Sample::MyDuty:
        return QStringLiteral("A day I work");
    case LegendEntry::Sample::MyRdo:
        return QStringLiteral("My RDO (%1)").arg(sheetGroups(request));
    case LegendEntry::Sample::Away:
        return QStringLiteral("Off, or hours off: traded away or on leave");
    case LegendEntry::Sample::ExtraWork:
        return QStringLiteral("Extra work and its hours");
    case LegendEntry::Sample::Payday:
        return QStringLiteral("Payday");
    case LegendEntry::Sample::PayPeriod:
        return QStringLiteral("Pay period begins");
    case LegendEntry::Sample::RdoGroup:
        return QStringLiteral("RDO group");
    }
    return {};
}

std::vector<LegendEntry::Sample> legendSamples(const SheetRequest& request) {
    using Sample = LegendEntry::Sample;
    std::vector<Sample> samples;
    const bool subGroup = !SheetSubGroups(request).isEmpty();
    if (request.onlyMyDays && subGroup) {
        samples.push_back(Sample::MyDuty);
    } else {
        samples.push_back(Sample::CrewA);
        samples.push_back(Sample::CrewB);
    }
    if (subGroup)
        samples.push_back(Sample::MyRdo);
    if (sheetShowsEntries(request)) {
        samples.push_back(Sample::Away);
        samples.push_back(Sample::ExtraWork);
    }
    if (request.paydays)
        samples.push_back(Sample::Payday);
    if (request.payPeriods)
        samples.push_back(Sample::PayPeriod);
    if (request.rdoGroups && !request.onlyMyDays)
        samples.push_back(Sample::RdoGroup);
    return samples;
}

// Lays the entries out left to right, wrapping when a row is full; returns the rows used.
int layoutLegend(std::vector<LegendEntry>& entries, const QRectF& band, double rowHeight,
                 double fontHeight) {
    const QFontMetricsF metrics(sheetFont(fontHeight));
    const double sampleWidth = rowHeight * 1.25;
    const double sampleHeight = rowHeight * 0.8;
    const double gapAfterSample = fontHeight * 0.5;
    const double gapAfterEntry = fontHeight * 1.6;
    double x = band.left();
    int row = 0;
    for (LegendEntry& entry : entries) {
        const double captionWidth = metrics.horizontalAdvance(entry.caption);
        const double width = sampleWidth + gapAfterSample + captionWidth;
        if (x > band.left() && x + width > band.right()) {
            x = band.left();
            ++row;
        }
        const double top = band.top() + row * rowHeight;
        entry.sampleRect =
            QRectF(x, top + (rowHeight - sampleHeight) / 2, sampleWidth, sampleHeight);
        entry.captionRect =
            QRectF(x + sampleWidth + gapAfterSample, top, captionWidth + fontHeight, rowHeight);
        x += width + gapAfterEntry;
    }
    return row + 1;
}

void placeMonthBlocks(SheetGeometry& geometry, const SheetRequest& request, const QRectF& area) {
    if (request.kind == SheetRequest::Kind::Month) {
        MonthBlock block;
        block.year = request.year;
        block.month = request.month;
        block.rows = weeksInMonth(request.year, request.month);
        block.weekdays = QRectF(area.left(), area.top(), area.width(), 8 * mm);
        block.cells = QRectF(area.left(), block.weekdays.bottom(), area.width(),
                             area.bottom() - block.weekdays.bottom());
        geometry.months.push_back(block);
        return;
    }
    constexpr int Columns = 4;
    constexpr int Rows = 3;
    const double gapX = 6 * mm;
    const double gapY = 3.5 * mm;
    const double width = (area.width() - gapX * (Columns - 1)) / Columns;
    const double height = (area.height() - gapY * (Rows - 1)) / Rows;
    const double nameHeight = 6 * mm;
    const double weekdayHeight = 4 * mm;
    for (int month = 1; month <= 12; ++month) {
        const int column = (month - 1) % Columns;
        const int row = (month - 1) / Columns;
        const QRectF box(area.left() + column * (width + gapX), area.top() + row * (height + gapY),
                         width, height);
        MonthBlock block;
        block.year = request.year;
        block.month = month;
        block.rows = 6; // every month of the year alike, so the rows line up across the page
        block.name = QRectF(box.left(), box.top(), box.width(), nameHeight);
        block.weekdays = QRectF(box.left(), block.name.bottom(), box.width(), weekdayHeight);
        block.cells = QRectF(box.left(), block.weekdays.bottom(), box.width(),
                             box.bottom() - block.weekdays.bottom());
        geometry.months.push_back(block);
    }
}

} // namespace

QFont sheetFont(double height, bool bold) {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(std::max(1, qRound(height)));
    font.setBold(bold);
    // Whole-pixel hinting at 100 units per millimetre would only distort the widths.
    font.setHintingPreference(QFont::PreferNoHinting);
    // "off" would be shaped with the "ff" ligature, which a reader of the PDF's text (a search,
    // a screen reader) gets as one odd character; any letter spacing turns ligatures off.
    font.setLetterSpacing(QFont::AbsoluteSpacing, 0.001 * mm);
    return font;
}

QRectF MonthBlock::cell(int index) const {
    const QSizeF size = cellSize();
    return {cells.left() + (index % 7) * size.width(), cells.top() + (index / 7) * size.height(),
            size.width(), size.height()};
}

DaySpan SheetDays(const SheetRequest& request) {
    if (request.kind == SheetRequest::Kind::Year)
        return {serialFromYmd(request.year, 1, 1), serialFromYmd(request.year, 12, 31)};
    return {serialFromYmd(request.year, request.month, 1),
            serialFromYmd(request.year, request.month, daysInMonth(request.year, request.month))};
}

QStringList SheetSubGroups(const SheetRequest& request) {
    QStringList groups;
    const DaySpan days = SheetDays(request);
    for (const AssignmentSpan& span : request.schedule->assignmentsBetween(days.first, days.last))
        if (IsSubGroup(span.assignment))
            groups << span.assignment;
    return groups;
}

std::vector<SheetNote> SheetNotes(const SheetRequest& request) {
    std::vector<SheetNote> notes;
    if (request.kind != SheetRequest::Kind::Month)
        return notes;
    const DaySpan days = SheetDays(request);
    for (const DayFacts& day : request.schedule->daysWithEntries(days.first, days.last))
        for (const DayEntry& entry : day.entries)
            if (entry.kind == EntryKind::Note && !NoteLine(entry).isEmpty())
                notes.push_back({shortDateText(request.locale, day.day), NoteLine(entry)});
    return notes;
}

bool sheetShowsEntries(const SheetRequest& request) {
    const DaySpan days = SheetDays(request);
    return !SheetSubGroups(request).isEmpty() &&
           !request.schedule->daysWithEntries(days.first, days.last).isEmpty();
}

int weeksInMonth(int year, int month) {
    const DateSerial first = serialFromYmd(year, month, 1);
    const int leading = dayOfWeek(first) - 1;
    return (leading + daysInMonth(year, month) + 6) / 7;
}

SheetGeometry sheetGeometry(const SheetRequest& request, const QSizeF& pageUnits) {
    const Proportions& p =
        request.kind == SheetRequest::Kind::Year ? YearProportions : MonthProportions;
    SheetGeometry geometry;
    const double width = pageUnits.width();
    geometry.title = QRectF(0, 0, width, p.titleHeight);
    geometry.footer = QRectF(0, pageUnits.height() - p.footerHeight, width, p.footerHeight);
    geometry.footerFont = p.footerFont;
    geometry.legendFont = p.legendFont;

    for (LegendEntry::Sample sample : legendSamples(request))
        geometry.legendEntries.push_back({sample, legendCaption(sample, request), {}, {}});
    const QRectF band(0, 0, width, p.legendRowHeight);
    const int rows = layoutLegend(geometry.legendEntries, band, p.legendRowHeight, p.legendFont);
    const double legendTop = geometry.footer.top() - rows * p.legendRowHeight;
    geometry.legend = QRectF(0, legendTop, width, rows * p.legendRowHeight);
    for (LegendEntry& entry : geometry.legendEntries) {
        entry.sampleRect.translate(0, legendTop);
        entry.captionRect.translate(0, legendTop);
    }

    double gridBottom = legendTop - p.gapAboveLegend;
    std::vector<SheetNote> notes = SheetNotes(request);
    if (!notes.empty()) {
        if (notes.size() > MostNoteRows) {
            const size_t more = notes.size() - (MostNoteRows - 1);
            notes.resize(MostNoteRows - 1);
            notes.push_back({QString(), QStringLiteral("\u2026 and %1 more notes").arg(more)});
        }
        const double height = (static_cast<double>(notes.size()) + 1) * NotesRowHeight;
        geometry.notes = QRectF(0, gridBottom - height, width, height);
        geometry.noteRows = std::move(notes);
        geometry.notesFont = NotesFont;
        gridBottom = geometry.notes.top() - p.gapAboveLegend;
    }
    const double top = geometry.title.bottom() + p.gapBelowTitle;
    const QRectF area(0, top, width, gridBottom - top);
    placeMonthBlocks(geometry, request, area);
    return geometry;
}

QRectF SheetDayCell(const SheetRequest& request, const QSizeF& pageMm, DateSerial day) {
    const YearMonthDay date = ymdFromSerial(day);
    const SheetGeometry geometry = sheetGeometry(request, pageMm * SheetUnits::PerMm);
    for (const MonthBlock& block : geometry.months) {
        if (block.year != date.year || block.month != date.month)
            continue;
        const int index = dayOfWeek(serialFromYmd(date.year, date.month, 1)) - 1 + date.day - 1;
        const QRectF cell = block.cell(index);
        return {cell.topLeft() / SheetUnits::PerMm, cell.size() / SheetUnits::PerMm};
    }
    return {};
}
