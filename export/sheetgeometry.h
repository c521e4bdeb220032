// Where everything of a sheet lies. Lengths are in hundredths of a millimetre ("units"), so the
// layout and the fonts do not depend on the device; the painter scales units to device pixels.
#pragma once

#include "export/sheet.h"

#include <QFont>
#include <QRectF>
#include <QString>
#include <QStringList>

#include <vector>

namespace SheetUnits {
inline constexpr double PerMm = 100;
} // namespace SheetUnits

// The font of the sheet at `height` units (its pixel size in units).
QFont sheetFont(double height, bool bold = false);

// One month: its optional name row, the weekday row and the rows of day cells.
struct MonthBlock {
    int year = 0;
    int month = 0;
    QRectF name; // empty on the month sheet, whose title names the month
    QRectF weekdays;
    QRectF cells; // 7 columns × rows
    int rows = 6;

    QSizeF cellSize() const { return {cells.width() / 7, cells.height() / rows}; }
    // The cell of a day of this block's grid, counted from its first Sunday (0 ... 7·rows − 1).
    QRectF cell(int index) const;
};

// A legend entry: a sample cell and its caption.
struct LegendEntry {
    enum class Sample { CrewA, CrewB, MyDuty, MyRdo, Away, ExtraWork, Payday, PayPeriod, RdoGroup };
    Sample sample;
    QString caption;
    QRectF sampleRect;
    QRectF captionRect;
};

// A note of the month sheet, listed under the grid.
struct SheetNote {
    QString day;  // in the locale's short form
    QString text; // on one line
};

struct SheetGeometry {
    QRectF title;
    std::vector<MonthBlock> months;
    // The month's notes under the grid: a heading row, then a row for each note (at most a
    // few; the last row then says how many more there are). Empty on the year sheet.
    QRectF notes;
    std::vector<SheetNote> noteRows;
    double notesFont = 0;
    QRectF legend;
    std::vector<LegendEntry> legendEntries;
    double legendFont = 0;
    QRectF footer;
    double footerFont = 0;
};

SheetGeometry sheetGeometry(const SheetRequest& request, const QSizeF& pageUnits);

// The notes with text of the days the month sheet shows, by date; none on the year sheet.
std::vector<SheetNote> SheetNotes(const SheetRequest& request);

// Whether an entry falls on a day the sheet shows: then the legend explains the user's marks.
bool sheetShowsEntries(const SheetRequest& request);

// The user's sub-groups on the days the sheet shows, in date order (none without one).
QStringList SheetSubGroups(const SheetRequest& request);

// The rows that a month's grid needs: from its first Sunday to its last day.
int weeksInMonth(int year, int month);
