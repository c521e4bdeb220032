// The printed year and month sheets: one paint routine that serves the print preview, the
// printer and the PDF file. Needs QtGui only, so the command line can write a PDF without a window.
#pragma once

#include "colors/namedcolors.h"
#include "core/dateserial.h"
#include "days/schedule.h"
#include "rotation/rotation.h"

#include <QByteArray>
#include <QLocale>
#include <QPageLayout>
#include <QRectF>
#include <QString>

#include <optional>

class QPainter;
class QPagedPaintDevice;

struct SheetRequest {
    enum class Kind { Year, Month };
    Kind kind = Kind::Year;
    int year = 2026;
    int month = 1; // 1 ... 12, used by Kind::Month
    // The user's days, assignments and pay periods, as every view reads them. Required.
    const Schedule* schedule = nullptr;
    QString agency;
    // Black on white with only the days the user works and the RDOs marked: the copy for the
    // fridge. Without a sub-group ("RDO") every day keeps its crew letter, still without colour.
    // The user's own entries mark the days: a duty day away (trade or leave) reads "off", extra
    // work "+hours".
    bool onlyMyDays = false;
    bool paydays = true;
    bool payPeriods = true;
    bool rdoGroups = true;
    TAlphaColor crewA = Colors::Red;
    TAlphaColor crewB = Colors::Blue;
    TAlphaColor rdo = Colors::Fuchsia;
    TAlphaColor otherMonth = Colors::Silver;
    QLocale locale;
    DateSerial made = 0; // the date printed in the footer
    QString version;     // the program's version, printed in the footer
};

// Landscape for the year, portrait for the month, in the locale's paper size (Letter where
// Letter is the custom, A4 elsewhere), with small margins.
QPageLayout SheetPageLayout(const SheetRequest& request);

// Paints the whole sheet into `page` (device coordinates of the painter). Every length is in
// millimetres, converted by the device's resolution, so screen, printer and PDF look alike.
void PaintSheet(QPainter& painter, const QRectF& page, const SheetRequest& request);

// Paints one page on a printer or PDF writer, in the device's current page layout. False when
// the painter could not start on the device.
bool PrintSheet(QPagedPaintDevice& device, const SheetRequest& request);

// Writes the sheet as a one-page PDF. The file appears complete or not at all; on failure
// `error` (when given) holds one line for the user.
bool WriteSheetPdf(const QString& path, const SheetRequest& request, QString* error = nullptr);

// The sheet as the bytes of a one-page PDF, or nothing when it could not be drawn.
std::optional<QByteArray> SheetPdfBytes(const SheetRequest& request);

// The days the sheet shows.
DaySpan SheetDays(const SheetRequest& request);

// Where the day's cell lies, in millimetres from the top left of a page area of `pageMm`; an
// empty rectangle when the sheet does not show the day.
QRectF SheetDayCell(const SheetRequest& request, const QSizeF& pageMm, DateSerial day);
