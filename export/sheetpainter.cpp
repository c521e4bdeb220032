// Paints a year or month sheet from the rotation rules: one routine for preview, printer and PDF.
#include "export/sheet.h"
#include "export/sheetgeometry.h"

#include "core/localformat.h"
#include "days/dayfacts.h"
#include "days/daytext.h"

#include <QColor>
#include <QDate>
#include <QFontMetricsF>
#include <QPaintDevice>
#include <QPainter>

#include <QStringList>

#include <algorithm>
#include <optional>

namespace {

constexpr double mm = SheetUnits::PerMm;

// Greys keep r == g == b, so the black-on-white copy stays free of colour.
const QColor Ink(0, 0, 0);
const QColor QuietInk(0x55, 0x55, 0x55);
const QColor CellBorder(0x80, 0x80, 0x80);
const QColor MyDutyGrey(0xE0, 0xE0, 0xE0);
const QColor Paper(0xFF, 0xFF, 0xFF);

// A user colour as a light tint, so black text stays readable on it.
QColor lightTint(TAlphaColor color) {
    if ((color >> 24) == 0)
        return Paper;
    constexpr double Strength = 0.2;
    const auto mix = [](TAlphaColor channel) {
        return qRound(255 - (255 - static_cast<int>(channel & 0xFF)) * Strength);
    };
    return {mix(color >> 16), mix(color >> 8), mix(color)};
}

// The stronger tint of crew B's hatch lines.
QColor hatchTint(TAlphaColor color) {
    constexpr double Strength = 0.5;
    const auto mix = [](TAlphaColor channel) {
        return qRound(255 - (255 - static_cast<int>(channel & 0xFF)) * Strength);
    };
    return {mix(color >> 16), mix(color >> 8), mix(color)};
}

QColor opaque(TAlphaColor color) {
    return QColor::fromRgb(color | 0xFF000000u);
}

// What one day's cell shows.
struct DayLook {
    QColor fill = Paper;
    bool heavyOutline = false;
    QString letter; // crew on duty, or "R" on the user's RDO
    QString group;
    QString period;
    bool payday = false;
    // Crew B's days are hatched: in greyscale the two light tints alone come out nearly alike.
    std::optional<QColor> hatch;
    // The user's own mark of the day: "off" when away all shift, "+12h" for extra work. The
    // short form is drawn where the long one does not fit.
    QString mark;
    QString shortMark;
    // On the month sheet, where there is room: what the entries are, in words.
    QStringList words;
};

const QString AwayMark = QStringLiteral("off");
const QString PartlyAwayMark = QStringLiteral("\u2212");
const QString ExtraMark = QStringLiteral("+");

// "12h", "1:30h".
QString shortHours(int minutes) {
    if (minutes % 60 == 0)
        return QStringLiteral("%1h").arg(minutes / 60);
    return QStringLiteral("%1:%2h").arg(minutes / 60).arg(minutes % 60, 2, 10, QLatin1Char('0'));
}

void markOwnDays(DayLook& look, const DayFacts& facts) {
    QStringList marks;
    QStringList shortMarks;
    const int away = facts.tradedOutMinutes + facts.leaveMinutes;
    if (facts.awayAllShift()) {
        marks << AwayMark;
        shortMarks << AwayMark;
    } else if (away > 0) {
        marks << PartlyAwayMark + shortHours(away);
        shortMarks << PartlyAwayMark;
    }
    if (facts.extraWork()) {
        marks << ExtraMark + shortHours(facts.extraWorkMinutes());
        shortMarks << ExtraMark;
    }
    look.mark = marks.join(u' ');
    look.shortMark = shortMarks.join(u' ');
}

DayLook dayLook(const SheetRequest& request, DateSerial day) {
    DayLook look;
    const DayFacts& facts = request.schedule->day(day);
    const bool works = facts.worksToday();
    if (facts.ownRdo) {
        look.letter = QStringLiteral("R");
        look.heavyOutline = true;
        look.fill = request.onlyMyDays ? Paper : lightTint(request.rdo);
    } else if (request.onlyMyDays) {
        if (facts.hasSubGroup && works) {
            look.letter = facts.letter;
            look.fill = MyDutyGrey;
        } else if (!facts.hasSubGroup) {
            look.letter = facts.letter;
        }
    } else {
        look.letter = facts.letter;
        const bool crewA = facts.letter == u'A';
        look.fill = lightTint(crewA ? request.crewA : request.crewB);
        if (!crewA)
            look.hatch = hatchTint(request.crewB);
    }
    if (facts.hasSubGroup) {
        markOwnDays(look, facts);
        if (request.kind == SheetRequest::Kind::Month)
            look.words = DaySheetWords(facts);
    }
    if (request.rdoGroups && !request.onlyMyDays)
        look.group = facts.rdoGroup;
    if (request.payPeriods && facts.payPeriodStart)
        look.period = facts.payPeriodLabel;
    look.payday = request.paydays && facts.payday;
    return look;
}

// Sizes inside a cell, from its size.
struct CellStyle {
    double numberFont;
    double letterFont;
    double smallFont;
    double padding;
    double border;
    double outline;
};

CellStyle cellStyle(const QSizeF& cell) {
    CellStyle style;
    style.numberFont = std::min({cell.height() * 0.36, cell.width() * 0.3, 7 * mm});
    style.letterFont = style.numberFont * 0.85;
    style.smallFont = style.numberFont * 0.66;
    const double side = std::min(cell.width(), cell.height());
    style.padding = side * 0.1;
    style.border = std::clamp(side * 0.02, 0.12 * mm, 0.3 * mm);
    style.outline = std::min(side * 0.08, 1.6 * mm);
    return style;
}

void drawTextAt(QPainter& painter, const QFont& font, double x, double baseline,
                const QString& text, Qt::Alignment horizontal) {
    painter.setFont(font);
    const double width = QFontMetricsF(font).horizontalAdvance(text);
    if (horizontal == Qt::AlignRight)
        x -= width;
    else if (horizontal == Qt::AlignHCenter)
        x -= width / 2;
    painter.drawText(QPointF(x, baseline), text);
}

// Diagonal lines drawn in millimetres: a brush pattern would tile by device pixels and turn
// into a flat grey on a printer.
void drawHatch(QPainter& painter, const QRectF& rect, const QColor& color) {
    constexpr double Spacing = 1.2 * mm;
    painter.save();
    painter.setClipRect(rect, Qt::IntersectClip);
    painter.setPen(QPen(color, 0.2 * mm, Qt::SolidLine, Qt::FlatCap));
    for (double x = rect.left() - rect.height(); x < rect.right(); x += Spacing)
        painter.drawLine(QPointF(x, rect.bottom()), QPointF(x + rect.height(), rect.top()));
    painter.restore();
}

void drawFrame(QPainter& painter, const QRectF& rect, const QColor& fill, double border,
               double outline, const std::optional<QColor>& hatch = std::nullopt) {
    painter.setPen(Qt::NoPen);
    painter.setBrush(fill);
    painter.drawRect(rect);
    if (hatch)
        drawHatch(painter, rect, *hatch);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(CellBorder, border, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    painter.drawRect(rect);
    if (outline > 0) {
        painter.setPen(QPen(Ink, outline, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
        const double inset = outline / 2;
        painter.drawRect(rect.adjusted(inset, inset, -inset, -inset));
    }
}

// The lines of the entries' words, each entry on one line, or broken after the dash that leads
// to a partner's name and before the hours it adds: "Trade –" above "J. Smith" reads better
// than "Trade – J." above "Smith".
QStringList wordLines(const QStringList& words, bool broken) {
    if (!broken)
        return words;
    QStringList lines;
    for (QString word : words) {
        word.replace(QStringLiteral(" \u2013 "), QStringLiteral(" \u2013\n"));
        word.replace(QStringLiteral(" +"), QStringLiteral("\n+"));
        lines += word.split(u'\n');
    }
    return lines;
}

// The pay-period label and the entries' words from the top of `room` down, left-aligned: in the
// largest size, from the sheet's small text down to a third smaller, at which every line fits,
// each entry on one line or else broken. False where they do not fit even so: the short mark
// stands.
bool paintWords(QPainter& painter, const QRectF& room, const DayLook& look, double size) {
    const double smallest = size * 0.66;
    for (double height = size; height >= smallest; height *= 0.92) {
        const QFont plain = sheetFont(height);
        const QFont bold = sheetFont(height, true);
        const double step = QFontMetricsF(plain).lineSpacing();
        for (bool broken : {false, true}) {
            QStringList lines = wordLines(look.words, broken);
            QList<const QFont*> fonts(lines.size(), &plain);
            if (!look.period.isEmpty()) {
                lines.prepend(look.period);
                fonts.prepend(&bold);
            }
            bool fits = step * static_cast<double>(lines.size()) <= room.height();
            for (qsizetype at = 0; at < lines.size() && fits; ++at)
                fits = QFontMetricsF(*fonts[at]).horizontalAdvance(lines[at]) <= room.width();
            if (!fits)
                continue;
            double baseline = room.top() + QFontMetricsF(plain).ascent();
            for (qsizetype at = 0; at < lines.size(); ++at, baseline += step)
                drawTextAt(painter, *fonts[at], room.left(), baseline, lines[at], Qt::AlignLeft);
            return true;
        }
    }
    return false;
}

// Number and crew letter on the top row, the pay-period label in the middle, the RDO group and
// the payday mark at the bottom: each mark is a text, so it reads without colour too. On the
// month sheet the entries are named between the top and the bottom rows where they fit.
void paintDay(QPainter& painter, const QRectF& cell, int dayNumber, const DayLook& look) {
    const CellStyle style = cellStyle(cell.size());
    drawFrame(painter, cell, look.fill, style.border, look.heavyOutline ? style.outline : 0,
              look.hatch);

    const QFont numberFont = sheetFont(style.numberFont, true);
    const QFont letterFont = sheetFont(style.letterFont, true);
    const QFont smallFont = sheetFont(style.smallFont);
    const QFont smallBold = sheetFont(style.smallFont, true);
    const QRectF inner =
        cell.adjusted(style.padding, style.padding, -style.padding, -style.padding);
    const double topBaseline = inner.top() + QFontMetricsF(numberFont).capHeight();
    const double bottomBaseline = inner.bottom();
    const double smallCap = QFontMetricsF(smallFont).capHeight();
    const double middleBaseline = (topBaseline + bottomBaseline - smallCap) / 2 + smallCap / 2;

    painter.setPen(Ink);
    const QString number = QString::number(dayNumber);
    drawTextAt(painter, numberFont, inner.left(), topBaseline, number, Qt::AlignLeft);
    if (look.payday) {
        // Underlined as on the screen's grid.
        const double width = QFontMetricsF(numberFont).horizontalAdvance(number);
        const double y = topBaseline + style.numberFont * 0.12;
        painter.setPen(QPen(Ink, style.numberFont * 0.07, Qt::SolidLine, Qt::FlatCap));
        painter.drawLine(QPointF(inner.left(), y), QPointF(inner.left() + width, y));
        painter.setPen(Ink);
    }
    drawTextAt(painter, letterFont, inner.right(), topBaseline, look.letter, Qt::AlignRight);
    const bool bottomRow = !look.group.isEmpty() || look.payday;
    const QRectF between(
        inner.left(), topBaseline + style.padding * 0.6, inner.width(),
        (bottomRow ? bottomBaseline - smallCap - style.padding * 0.6 : inner.bottom()) -
            (topBaseline + style.padding * 0.6));
    const bool named =
        !look.words.isEmpty() && paintWords(painter, between, look, style.smallFont * 0.8);
    if (!named && !look.period.isEmpty())
        drawTextAt(painter, smallBold, inner.left(), middleBaseline, look.period, Qt::AlignLeft);
    if (!named && !look.mark.isEmpty()) {
        // The middle row unless the pay-period label leaves too little room there; then the
        // bottom row, unless the payday mark holds it; the short mark where the long one does
        // not fit.
        const QFontMetricsF bold(smallBold);
        const double space = bold.horizontalAdvance(u' ');
        const double middleRoom =
            inner.width() -
            (look.period.isEmpty() ? 0 : bold.horizontalAdvance(look.period) + space);
        const double bottomRoom =
            look.payday
                ? 0
                : inner.width() -
                      (look.group.isEmpty()
                           ? 0
                           : QFontMetricsF(smallFont).horizontalAdvance(look.group) + space);
        double baseline = middleBaseline;
        QString mark = look.shortMark;
        for (const QString& candidate : {look.mark, look.shortMark}) {
            const double width = bold.horizontalAdvance(candidate);
            if (width <= middleRoom || width <= bottomRoom) {
                mark = candidate;
                baseline = width <= middleRoom ? middleBaseline : bottomBaseline;
                break;
            }
        }
        drawTextAt(painter, smallBold, inner.right(), baseline, mark, Qt::AlignRight);
    }
    if (!look.group.isEmpty())
        drawTextAt(painter, smallFont, inner.left(), bottomBaseline, look.group, Qt::AlignLeft);
    if (look.payday)
        drawTextAt(painter, smallBold, inner.right(), bottomBaseline, QStringLiteral("$"),
                   Qt::AlignRight);
}

void paintOtherMonthDay(QPainter& painter, const QRectF& cell, int dayNumber,
                        const SheetRequest& request) {
    const CellStyle style = cellStyle(cell.size());
    drawFrame(painter, cell, Paper, style.border, 0);
    const QFont font = sheetFont(style.numberFont);
    const QRectF inner =
        cell.adjusted(style.padding, style.padding, -style.padding, -style.padding);
    painter.setPen(request.onlyMyDays ? CellBorder : opaque(request.otherMonth));
    drawTextAt(painter, font, inner.left(), inner.top() + QFontMetricsF(font).capHeight(),
               QString::number(dayNumber), Qt::AlignLeft);
}

// Sunday first, whatever the locale's first day of the week.
QString weekdayName(const QLocale& locale, int column, QLocale::FormatType format) {
    const int qtDay = column == 0 ? 7 : column;
    return locale.standaloneDayName(qtDay, format);
}

void paintMonth(QPainter& painter, const MonthBlock& block, const SheetRequest& request) {
    painter.setPen(Ink);
    if (!block.name.isEmpty()) {
        const QFont font = sheetFont(block.name.height() * 0.62, true);
        drawTextAt(painter, font, block.name.center().x(),
                   block.name.bottom() - block.name.height() * 0.28,
                   request.locale.standaloneMonthName(block.month), Qt::AlignHCenter);
    }
    const QSizeF cell = block.cellSize();
    const bool narrow = request.kind == SheetRequest::Kind::Year;
    const QFont weekdayFont = sheetFont(block.weekdays.height() * (narrow ? 0.62 : 0.5), true);
    painter.setPen(QuietInk);
    for (int column = 0; column < 7; ++column) {
        const QString name = weekdayName(request.locale, column,
                                         narrow ? QLocale::NarrowFormat : QLocale::LongFormat);
        drawTextAt(painter, weekdayFont, block.cells.left() + (column + 0.5) * cell.width(),
                   block.weekdays.bottom() - block.weekdays.height() * 0.3, name, Qt::AlignHCenter);
    }

    const DateSerial first = serialFromYmd(block.year, block.month, 1);
    const DateSerial gridStart = first - (dayOfWeek(first) - 1);
    for (int index = 0; index < 7 * block.rows; ++index) {
        const DateSerial day = gridStart + index;
        const YearMonthDay date = ymdFromSerial(day);
        if (date.month == block.month)
            paintDay(painter, block.cell(index), date.day, dayLook(request, day));
        else if (request.kind == SheetRequest::Kind::Month)
            paintOtherMonthDay(painter, block.cell(index), date.day, request);
    }
}

QString titleDetail(const SheetRequest& request) {
    QString detail = request.kind == SheetRequest::Kind::Year
                         ? QString::number(request.year)
                         : QStringLiteral("%1 %2")
                               .arg(request.locale.standaloneMonthName(request.month))
                               .arg(request.year);
    const DaySpan days = SheetDays(request);
    const QList<AssignmentSpan> spans = request.schedule->assignmentsBetween(days.first, days.last);
    const auto shortDay = [&request](DateSerial day) {
        return request.locale.toString(qdateFromSerial(day), QStringLiteral("d MMMM"));
    };
    if (spans.size() == 1 && IsSubGroup(spans.first().assignment))
        return detail + QStringLiteral(" · Assignment %1").arg(spans.first().assignment);
    // A sheet over a change of assignment says which held when.
    QStringList held;
    for (qsizetype at = 0; at < spans.size(); ++at) {
        const AssignmentSpan& span = spans[at];
        if (at == 0)
            held << QStringLiteral("%1 until %2").arg(span.assignment, shortDay(*span.last));
        else
            held << QStringLiteral("%1 from %2").arg(span.assignment, shortDay(*span.first));
    }
    if (!held.isEmpty() && spans.size() > 1)
        detail += QStringLiteral(" · Assignment ") + held.join(QStringLiteral(", "));
    return detail;
}

// The agency title takes what the detail on the right leaves; a long one shrinks, then elides.
void paintTitle(QPainter& painter, const QRectF& band, const SheetRequest& request) {
    const double baseline = band.bottom() - band.height() * 0.3;
    const QFont detailFont = sheetFont(band.height() * 0.4);
    const QString detail = titleDetail(request);
    const double detailWidth = QFontMetricsF(detailFont).horizontalAdvance(detail);
    painter.setPen(Ink);
    drawTextAt(painter, detailFont, band.right(), baseline, detail, Qt::AlignRight);

    const double room = band.width() - detailWidth - band.height();
    double height = band.height() * 0.55;
    const double smallest = height * 0.6;
    QFont font = sheetFont(height, true);
    while (height > smallest && QFontMetricsF(font).horizontalAdvance(request.agency) > room) {
        height *= 0.95;
        font = sheetFont(height, true);
    }
    const QString agency = QFontMetricsF(font).elidedText(request.agency, Qt::ElideRight, room);
    drawTextAt(painter, font, band.left(), baseline, agency, Qt::AlignLeft);

    painter.setPen(QPen(Ink, 0.3 * mm));
    painter.drawLine(QPointF(band.left(), band.bottom()), QPointF(band.right(), band.bottom()));
}

void paintLegendSample(QPainter& painter, const LegendEntry& entry, const SheetRequest& request,
                       double fontHeight) {
    using Sample = LegendEntry::Sample;
    const QRectF& rect = entry.sampleRect;
    const double border = 0.15 * mm;
    const double outline = 0.6 * mm;
    QString mark;
    QColor fill = Paper;
    double heavy = 0;
    std::optional<QColor> hatch;
    switch (entry.sample) {
    case Sample::CrewA:
        mark = QStringLiteral("A");
        fill = request.onlyMyDays ? Paper : lightTint(request.crewA);
        break;
    case Sample::CrewB:
        mark = QStringLiteral("B");
        fill = request.onlyMyDays ? Paper : lightTint(request.crewB);
        if (!request.onlyMyDays)
            hatch = hatchTint(request.crewB);
        break;
    case Sample::MyDuty:
        mark = SheetSubGroups(request).value(SheetSubGroups(request).size() - 1).left(1);
        fill = MyDutyGrey;
        break;
    case Sample::MyRdo:
        mark = QStringLiteral("R");
        fill = request.onlyMyDays ? Paper : lightTint(request.rdo);
        heavy = outline;
        break;
    case Sample::Away:
        mark = AwayMark + u' ' + PartlyAwayMark;
        break;
    case Sample::ExtraWork:
        mark = ExtraMark;
        break;
    case Sample::Payday:
        mark = QStringLiteral("$");
        break;
    case Sample::PayPeriod:
        mark = QStringLiteral("PP7");
        break;
    case Sample::RdoGroup:
        mark = QStringLiteral("B2");
        break;
    }
    drawFrame(painter, rect, fill, border, heavy, hatch);
    painter.setPen(Ink);
    const QFont font = sheetFont(fontHeight * 0.85, true);
    const double baseline = rect.center().y() + QFontMetricsF(font).capHeight() / 2;
    drawTextAt(painter, font, rect.center().x(), baseline, mark, Qt::AlignHCenter);
}

void paintLegend(QPainter& painter, const SheetGeometry& geometry, const SheetRequest& request) {
    const QFont font = sheetFont(geometry.legendFont);
    const double capHeight = QFontMetricsF(font).capHeight();
    for (const LegendEntry& entry : geometry.legendEntries) {
        paintLegendSample(painter, entry, request, geometry.legendFont);
        painter.setPen(Ink);
        drawTextAt(painter, font, entry.captionRect.left(),
                   entry.captionRect.center().y() + capHeight / 2, entry.caption, Qt::AlignLeft);
    }
}

// The month's notes under the grid: a heading, then the day and the note, cut to the width.
void paintNotes(QPainter& painter, const SheetGeometry& geometry) {
    if (geometry.noteRows.empty())
        return;
    const double row =
        geometry.notes.height() / (static_cast<double>(geometry.noteRows.size()) + 1);
    const QFont font = sheetFont(geometry.notesFont);
    const QFontMetricsF metrics(font);
    const double baselineInRow = (row + metrics.capHeight()) / 2;
    painter.setPen(Ink);
    drawTextAt(painter, sheetFont(geometry.notesFont, true), geometry.notes.left(),
               geometry.notes.top() + baselineInRow, QStringLiteral("Notes"), Qt::AlignLeft);
    double dayWidth = 0;
    for (const SheetNote& note : geometry.noteRows)
        dayWidth = std::max(dayWidth, metrics.horizontalAdvance(note.day));
    const double textLeft = geometry.notes.left() + dayWidth + geometry.notesFont;
    const double textWidth = geometry.notes.right() - textLeft;
    for (size_t at = 0; at < geometry.noteRows.size(); ++at) {
        const SheetNote& note = geometry.noteRows[at];
        const double baseline =
            geometry.notes.top() + (static_cast<double>(at) + 1) * row + baselineInRow;
        painter.setPen(QuietInk);
        drawTextAt(painter, font, geometry.notes.left(), baseline, note.day, Qt::AlignLeft);
        painter.setPen(Ink);
        drawTextAt(painter, font, note.day.isEmpty() ? geometry.notes.left() : textLeft, baseline,
                   metrics.elidedText(note.text, Qt::ElideRight, textWidth), Qt::AlignLeft);
    }
}

void paintFooter(QPainter& painter, const SheetGeometry& geometry, const SheetRequest& request) {
    const QString made = request.locale.toString(qdateFromSerial(request.made),
                                                 fullYearShortDatePattern(request.locale));
    const QString text =
        request.version.isEmpty()
            ? QStringLiteral("Made with Tourwise on %1").arg(made)
            : QStringLiteral("Made with Tourwise %1 on %2").arg(request.version, made);
    painter.setPen(QuietInk);
    drawTextAt(painter, sheetFont(geometry.footerFont), geometry.footer.right(),
               geometry.footer.bottom() - geometry.footer.height() * 0.15, text, Qt::AlignRight);
}

} // namespace

void PaintSheet(QPainter& painter, const QRectF& page, const SheetRequest& request) {
    const QPaintDevice* device = painter.device();
    const double unitsX = device->logicalDpiX() / 25.4 / SheetUnits::PerMm;
    const double unitsY = device->logicalDpiY() / 25.4 / SheetUnits::PerMm;
    painter.save();
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
    painter.translate(page.topLeft());
    painter.scale(unitsX, unitsY);
    const QSizeF pageUnits(page.width() / unitsX, page.height() / unitsY);
    const SheetGeometry geometry = sheetGeometry(request, pageUnits);
    paintTitle(painter, geometry.title, request);
    for (const MonthBlock& block : geometry.months)
        paintMonth(painter, block, request);
    paintNotes(painter, geometry);
    paintLegend(painter, geometry, request);
    paintFooter(painter, geometry, request);
    painter.restore();
}
