// The printed sheets, checked the way a reader sees them: written to PDF, then read back with
// poppler's pdftotext (words and where they lie), pdfinfo (pages, paper) and pdftoppm (pixels).
#include "export/sheet.h"
#include "export/sheetgeometry.h"

#include "core/calendar.h"
#include "days/dayfacts.h"
#include "rotation/rotation.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cmath>
#include <memory>

namespace {

constexpr double PointsPerMm = 72.0 / 25.4;
constexpr double MarginMm = 8;

struct Word {
    QRectF box; // points
    QString text;
};

// Runs a poppler tool; fails the test when it is missing or fails.
QByteArray runTool(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0) {
        qWarning("%s failed (install poppler-utils): %s", qPrintable(program),
                 process.readAllStandardError().constData());
        return {};
    }
    return process.readAllStandardOutput();
}

QList<Word> wordsOf(const QString& pdf) {
    const QString html = QString::fromUtf8(
        runTool(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf, QStringLiteral("-")}));
    static const QRegularExpression wordPattern(QStringLiteral(
        R"re(<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>)re"));
    QList<Word> words;
    for (const auto& match : wordPattern.globalMatch(html)) {
        const QPointF topLeft(match.captured(1).toDouble(), match.captured(2).toDouble());
        const QPointF bottomRight(match.captured(3).toDouble(), match.captured(4).toDouble());
        QString text = match.captured(5);
        text.replace(QLatin1String("&amp;"), QLatin1String("&"));
        words.append({QRectF(topLeft, bottomRight), text});
    }
    return words;
}

QString pdfInfo(const QString& pdf, const QString& field) {
    const QString info = QString::fromUtf8(runTool(QStringLiteral("pdfinfo"), {pdf}));
    const QRegularExpression line(QStringLiteral("^%1:\\s*(.*)$").arg(field),
                                  QRegularExpression::MultilineOption);
    return line.match(info).captured(1).trimmed();
}

QImage rasterise(const QString& pdf, int dpi, bool grey = false) {
    const QString stem = pdf + QStringLiteral(".raster");
    QStringList arguments{QStringLiteral("-png"), QStringLiteral("-singlefile"),
                          QStringLiteral("-r"), QString::number(dpi)};
    if (grey)
        arguments << QStringLiteral("-gray");
    runTool(QStringLiteral("pdftoppm"), arguments + QStringList{pdf, stem});
    return QImage(stem + QStringLiteral(".png")).convertToFormat(QImage::Format_RGB32);
}

// A sheet of one assignment on every day: the request, the fields the tests set, and the
// schedule behind it, which follows those fields when the sheet is drawn.
struct ExampleSheet : SheetRequest {
    QString assignment = QStringLiteral("B2");
    EntriesByDay entries;
    DateSerial payPeriodStart = DefaultPayPeriodStart;
    std::shared_ptr<Schedule> days = std::make_shared<Schedule>();

    ExampleSheet() { schedule = days.get(); }
};

// The request as the sheet takes it, its schedule brought up to the example's fields.
const SheetRequest& prepared(const ExampleSheet& sheet) {
    sheet.days->setCurrentAssignment(sheet.assignment);
    sheet.days->setPayPeriodStart(sheet.payPeriodStart);
    QList<DayEntry> entries;
    for (const QList<DayEntry>& day : sheet.entries)
        entries += day;
    sheet.days->setEntries(entries);
    return sheet;
}

// A cell in PDF points: the painted area starts at the page margin.
QRectF cellInPoints(const ExampleSheet& request, DateSerial day) {
    const QPageLayout layout = SheetPageLayout(request);
    const QSizeF pageMm = layout.paintRect(QPageLayout::Millimeter).size();
    const QRectF cell = SheetDayCell(prepared(request), pageMm, day);
    return {(cell.topLeft() + QPointF(MarginMm, MarginMm)) * PointsPerMm,
            cell.size() * PointsPerMm};
}

// What a reader must find in the day's cell, from the rotation rules.
QStringList expectedMarks(const ExampleSheet& request, DateSerial day) {
    QStringList marks{QString::number(ymdFromSerial(day).day)};
    const QChar letter = ShiftLetter(day, request.assignment);
    const bool subGroup = request.assignment != QLatin1String("RDO");
    if (letter == u'X')
        marks << QStringLiteral("R");
    else if (!request.onlyMyDays || !subGroup || letter == request.assignment.at(0))
        marks << QString(letter);
    if (request.rdoGroups && !request.onlyMyDays)
        marks << RdoGroupOf(day);
    if (request.payPeriods && IsPayPeriodStart(day, request.payPeriodStart))
        marks << PayPeriodLabel(day, request.payPeriodStart);
    if (request.paydays && IsPayday(day))
        marks << QStringLiteral("$");
    marks.sort();
    return marks;
}

// The words of a cell in reading order, line by line.
QString cellText(const QList<Word>& words, const QRectF& cell) {
    QList<Word> inside;
    for (const Word& word : words)
        if (cell.contains(word.box.center()))
            inside << word;
    std::sort(inside.begin(), inside.end(),
              [](const Word& a, const Word& b) { return a.box.bottom() < b.box.bottom(); });
    QStringList texts;
    // A line: the words whose bottoms lie within a third of a line of its first word's.
    for (qsizetype first = 0; first < inside.size();) {
        qsizetype end = first + 1;
        while (end < inside.size() && inside[end].box.bottom() - inside[first].box.bottom() <
                                          inside[first].box.height() / 3)
            ++end;
        std::sort(inside.begin() + first, inside.begin() + end,
                  [](const Word& a, const Word& b) { return a.box.left() < b.box.left(); });
        for (qsizetype at = first; at < end; ++at)
            texts << inside[at].text;
        first = end;
    }
    return texts.join(u' ');
}

QStringList marksInCell(const QList<Word>& words, const QRectF& cell) {
    QStringList marks;
    for (const Word& word : words) {
        if (cell.contains(word.box.center())) {
            if (!cell.contains(word.box))
                return {QStringLiteral("<%1 crosses the cell's edge>").arg(word.text)};
            marks << word.text;
        }
    }
    marks.sort();
    return marks;
}

ExampleSheet exampleRequest() {
    ExampleSheet request;
    request.year = 2026;
    request.month = 5;
    request.assignment = QStringLiteral("B2");
    request.agency = QStringLiteral("Velmora Fire");
    request.locale = QLocale(QStringLiteral("en_US"));
    request.made = serialFromYmd(2026, 3, 9);
    request.version = QStringLiteral("3.0.1");
    return request;
}

bool isGrey(QRgb pixel, int tolerance) {
    const int r = qRed(pixel), g = qGreen(pixel), b = qBlue(pixel);
    return std::abs(r - g) <= tolerance && std::abs(g - b) <= tolerance &&
           std::abs(r - b) <= tolerance;
}

int brightness(QRgb pixel) {
    return qGray(pixel);
}

// The mean colour of a rectangle of the page (in points), and how much its greys spread: a flat
// fill spreads nothing, a hatch a lot.
struct AreaTone {
    QRgb mean = 0;
    double greySpread = 0;
};

AreaTone toneOf(const QImage& page, const QRectF& points, double pixelsPerPoint) {
    const QRect area = QRectF(points.topLeft() * pixelsPerPoint, points.size() * pixelsPerPoint)
                           .toAlignedRect()
                           .intersected(page.rect());
    double r = 0, g = 0, b = 0, grey = 0, greySquares = 0;
    const double count = std::max<qsizetype>(1, qsizetype(area.width()) * area.height());
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            const QRgb pixel = page.pixel(x, y);
            r += qRed(pixel);
            g += qGreen(pixel);
            b += qBlue(pixel);
            grey += qGray(pixel);
            greySquares += double(qGray(pixel)) * qGray(pixel);
        }
    }
    const double meanGrey = grey / count;
    return {qRgb(qRound(r / count), qRound(g / count), qRound(b / count)),
            std::sqrt(std::max(0.0, greySquares / count - meanGrey * meanGrey))};
}

// The blank part of a cell without entries: right of the middle, half way down, where no text
// goes.
QRectF blankPart(const QRectF& cell) {
    return {cell.left() + cell.width() * 0.55, cell.top() + cell.height() * 0.38,
            cell.width() * 0.4, cell.height() * 0.24};
}

DayEntry entryOf(int number, int dayOfMay, EntryKind kind, std::optional<int> minutes,
                 LeaveType leave = LeaveType::None) {
    DayEntry entry;
    entry.id =
        QUuid(QStringLiteral("{00000000-0000-4000-8000-%1}").arg(number, 12, 10, QLatin1Char('0')));
    entry.date = serialFromYmd(2026, 5, dayOfMay);
    entry.kind = kind;
    entry.minutes = minutes;
    entry.leaveType = leave;
    entry.with = kind == EntryKind::TradeOut || kind == EntryKind::TradeIn
                     ? QStringLiteral("J. Smith")
                     : QString();
    return entry;
}

// B2 in May 2026: the 4th, 8th and 13th are its duty days, the 6th and 7th crew A's.
EntriesByDay mayEntries() {
    EntriesByDay days;
    for (const DayEntry& entry :
         {entryOf(1, 4, EntryKind::TradeOut, std::nullopt),
          entryOf(2, 8, EntryKind::Leave, std::nullopt, LeaveType::Vacation),
          entryOf(3, 13, EntryKind::TradeOut, 12 * 60), entryOf(4, 6, EntryKind::TradeIn, 24 * 60),
          entryOf(5, 7, EntryKind::Overtime, 10 * 60)})
        days[dayKey(entry.date)].append(entry);
    return days;
}

} // namespace

class TestSheets : public QObject {
    Q_OBJECT

private slots:
    void init();

    void pageLayoutFollowsLocaleAndKind_data();
    void pageLayoutFollowsLocaleAndKind();
    void everyDayCellCarriesItsMarks_data();
    void everyDayCellCarriesItsMarks();
    void yearSheetNamesMonthsTitleAndLegend_data();
    void yearSheetNamesMonthsTitleAndLegend();
    void monthSheetIsOnePortraitPage_data();
    void monthSheetIsOnePortraitPage();
    void ownRdoOutlineAndCrewFillsReadInPixels();
    void crewsDifferInGrey_data();
    void crewsDifferInGrey();
    void userDaysAreMarked_data();
    void userDaysAreMarked();
    void monthSheetNamesTheDaysAndListsTheNotes();
    void onlyMyDaysHasNoColour_data();
    void onlyMyDaysHasNoColour();
    void longTitleStaysInsideTheTitleBand();
    void unwritableTargetFailsAndLeavesNothing_data();
    void unwritableTargetFailsAndLeavesNothing();

private:
    QString write(const ExampleSheet& request, const QString& name = QStringLiteral("s.pdf"));
    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestSheets::init() {
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

QString TestSheets::write(const ExampleSheet& request, const QString& name) {
    const QString path = m_dir->filePath(name);
    QString error;
    if (!WriteSheetPdf(path, prepared(request), &error))
        qWarning("%s", qPrintable(error));
    return path;
}

void TestSheets::pageLayoutFollowsLocaleAndKind_data() {
    QTest::addColumn<QString>("locale");
    QTest::addColumn<bool>("year");
    QTest::addColumn<int>("paper");
    QTest::addColumn<int>("orientation");
    QTest::newRow("en_US year: Letter landscape")
        << "en_US" << true << int(QPageSize::Letter) << int(QPageLayout::Landscape);
    QTest::newRow("en_CA month: Letter portrait")
        << "en_CA" << false << int(QPageSize::Letter) << int(QPageLayout::Portrait);
    QTest::newRow("de_DE year: A4 landscape")
        << "de_DE" << true << int(QPageSize::A4) << int(QPageLayout::Landscape);
    QTest::newRow("en_GB month: A4 portrait")
        << "en_GB" << false << int(QPageSize::A4) << int(QPageLayout::Portrait);
}

void TestSheets::pageLayoutFollowsLocaleAndKind() {
    QFETCH(QString, locale);
    QFETCH(bool, year);
    QFETCH(int, paper);
    QFETCH(int, orientation);
    ExampleSheet request = exampleRequest();
    request.locale = QLocale(locale);
    request.kind = year ? SheetRequest::Kind::Year : SheetRequest::Kind::Month;
    const QPageLayout layout = SheetPageLayout(request);
    QCOMPARE(int(layout.pageSize().id()), paper);
    QCOMPARE(int(layout.orientation()), orientation);
}

void TestSheets::everyDayCellCarriesItsMarks_data() {
    QTest::addColumn<QString>("locale");
    QTest::addColumn<bool>("year");
    QTest::addColumn<QString>("assignment");
    QTest::addColumn<bool>("onlyMyDays");
    QTest::addColumn<bool>("overlays");
    QTest::newRow("year, en_US, B2, all marks") << "en_US" << true << "B2" << false << true;
    QTest::newRow("year, de_DE (A4), A5, no overlays") << "de_DE" << true << "A5" << false << false;
    QTest::newRow("year, only my days, B2") << "en_US" << true << "B2" << true << true;
    QTest::newRow("year, no sub-group, only my days") << "en_US" << true << "RDO" << true << true;
    QTest::newRow("month, en_US, B2") << "en_US" << false << "B2" << false << true;
    QTest::newRow("month, de_DE, A1, only my days") << "de_DE" << false << "A1" << true << true;
}

// Each day's number, crew letter (or "R" on the user's RDO), RDO group, pay-period label and
// payday mark lie inside that day's own cell, for a whole year against the rotation rules.
void TestSheets::everyDayCellCarriesItsMarks() {
    QFETCH(QString, locale);
    QFETCH(bool, year);
    QFETCH(QString, assignment);
    QFETCH(bool, onlyMyDays);
    QFETCH(bool, overlays);
    ExampleSheet request = exampleRequest();
    request.locale = QLocale(locale);
    request.assignment = assignment;
    request.onlyMyDays = onlyMyDays;
    request.paydays = request.payPeriods = request.rdoGroups = overlays;
    request.kind = year ? SheetRequest::Kind::Year : SheetRequest::Kind::Month;
    const QList<Word> words = wordsOf(write(request));
    QVERIFY(!words.isEmpty());

    const DateSerial first = year ? serialFromYmd(2026, 1, 1) : serialFromYmd(2026, 5, 1);
    const DateSerial last = year ? serialFromYmd(2026, 12, 31) : serialFromYmd(2026, 5, 31);
    int rdoCount = 0;
    for (DateSerial day = first; day <= last; ++day) {
        const QRectF cell = cellInPoints(request, day);
        QVERIFY(!cell.isEmpty());
        const QStringList expected = expectedMarks(request, day);
        rdoCount += expected.contains(QStringLiteral("R"));
        const QStringList found = marksInCell(words, cell);
        if (found != expected) {
            QFAIL(qPrintable(QStringLiteral("%1: found %2, expected %3")
                                 .arg(qdateFromSerial(day).toString(Qt::ISODate),
                                      found.join(QLatin1Char(' ')),
                                      expected.join(QLatin1Char(' ')))));
        }
    }
    if (assignment != QLatin1String("RDO"))
        QVERIFY(rdoCount > 0);
}

void TestSheets::yearSheetNamesMonthsTitleAndLegend_data() {
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("pageSize");
    QTest::addColumn<QString>("madeOn");
    QTest::newRow("en_US") << "en_US"
                           << "792 x 612 pts (letter)"
                           << "3/9/2026";
    QTest::newRow("de_DE") << "de_DE"
                           << "842 x 595 pts (A4)"
                           << "09.03.2026";
}

void TestSheets::yearSheetNamesMonthsTitleAndLegend() {
    QFETCH(QString, locale);
    QFETCH(QString, pageSize);
    QFETCH(QString, madeOn);
    ExampleSheet request = exampleRequest();
    request.locale = QLocale(locale);
    const QString pdf = write(request);
    QCOMPARE(pdfInfo(pdf, QStringLiteral("Pages")), QStringLiteral("1"));
    QCOMPARE(pdfInfo(pdf, QStringLiteral("Page size")), pageSize);

    const QString text =
        QString::fromUtf8(runTool(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")}))
            .simplified();
    QStringList expected{QStringLiteral("Velmora Fire"),
                         QStringLiteral("2026 · Assignment B2"),
                         QStringLiteral("Crew A on duty"),
                         QStringLiteral("Crew B on duty"),
                         QStringLiteral("My RDO (B2)"),
                         QStringLiteral("Payday"),
                         QStringLiteral("Pay period begins"),
                         QStringLiteral("RDO group"),
                         QStringLiteral("Made with Tourwise 3.0.1 on %1").arg(madeOn)};
    for (int month = 1; month <= 12; ++month)
        expected << request.locale.standaloneMonthName(month);
    for (const QString& phrase : expected)
        QVERIFY2(text.contains(phrase), qPrintable(phrase));
}

void TestSheets::monthSheetIsOnePortraitPage_data() {
    QTest::addColumn<int>("month");
    QTest::addColumn<int>("rows");
    QTest::newRow("February 2026 starts on Sunday: four rows") << 2 << 4;
    QTest::newRow("May 2026 runs into a sixth week") << 5 << 6;
    QTest::newRow("December 2026: five rows") << 12 << 5;
}

void TestSheets::monthSheetIsOnePortraitPage() {
    QFETCH(int, month);
    QFETCH(int, rows);
    ExampleSheet request = exampleRequest();
    request.kind = SheetRequest::Kind::Month;
    request.month = month;
    const QString pdf = write(request);
    QCOMPARE(pdfInfo(pdf, QStringLiteral("Pages")), QStringLiteral("1"));
    QCOMPARE(pdfInfo(pdf, QStringLiteral("Page size")), QStringLiteral("612 x 792 pts (letter)"));

    // The cells fill the rows the month needs, down to the legend.
    const DateSerial lastDay = serialFromYmd(2026, month, daysInMonth(2026, month));
    const QRectF first = cellInPoints(request, serialFromYmd(2026, month, 1));
    const QRectF last = cellInPoints(request, lastDay);
    QCOMPARE(qRound((last.bottom() - first.top()) / first.height()), rows);
    const QList<Word> words = wordsOf(pdf);
    const auto legend = std::find_if(words.begin(), words.end(), [](const Word& word) {
        return word.text == QLatin1String("Crew");
    });
    QVERIFY(legend != words.end());
    QVERIFY(last.bottom() < legend->box.top());
    QVERIFY(last.bottom() > legend->box.top() - 20 * PointsPerMm);
    QVERIFY(
        QString::fromUtf8(runTool(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")}))
            .contains(QStringLiteral("%1 2026").arg(request.locale.standaloneMonthName(month))));
}

// Probes known cells of the rasterised year sheet: the user's RDO has a dark outline, crew days
// are tinted with their crew's colour, and greyscale still tells them apart by the outline.
void TestSheets::ownRdoOutlineAndCrewFillsReadInPixels() {
    ExampleSheet request = exampleRequest();
    const int dpi = 150;
    const QImage page = rasterise(write(request), dpi);
    QVERIFY(!page.isNull());
    const double pixelsPerPoint = dpi / 72.0;
    // Just inside the left edge, half way down, and in the cell's blank middle right.
    const auto edge = [&](DateSerial day) {
        const QRectF cell = cellInPoints(request, day);
        return page.pixel(QPointF(cell.left() + 0.25 * PointsPerMm, cell.center().y()).toPoint() *
                          pixelsPerPoint);
    };
    // Averaged over the blank part, since crew B's days are hatched.
    const auto blank = [&](DateSerial day) {
        return toneOf(page, blankPart(cellInPoints(request, day)), pixelsPerPoint).mean;
    };
    const DateSerial myRdo = serialFromYmd(2026, 1, 17);
    const DateSerial crewA = serialFromYmd(2026, 1, 18);
    const DateSerial crewB = serialFromYmd(2026, 1, 20);
    QCOMPARE(ShiftLetter(myRdo, request.assignment), QChar(u'X'));
    QCOMPARE(ShiftLetter(crewA, request.assignment), QChar(u'A'));
    QCOMPARE(ShiftLetter(crewB, request.assignment), QChar(u'B'));

    QVERIFY2(brightness(edge(myRdo)) < 80, "the user's RDO has a heavy dark outline");
    QVERIFY2(brightness(edge(crewA)) > 170, "an ordinary day has no heavy outline");
    const QRgb tintA = blank(crewA);
    const QRgb tintB = blank(crewB);
    QVERIFY2(qRed(tintA) > qBlue(tintA) + 20, "crew A days are tinted red");
    QVERIFY2(qBlue(tintB) > qRed(tintB) + 20, "crew B days are tinted blue");
    QVERIFY2(brightness(tintA) > 180 && brightness(tintB) > 180, "tints are light");
}

void TestSheets::crewsDifferInGrey_data() {
    QTest::addColumn<bool>("grey");
    QTest::addColumn<bool>("year");
    QTest::addColumn<TAlphaColor>("crewA");
    QTest::addColumn<TAlphaColor>("crewB");
    QTest::newRow("year, red and blue, in colour") << false << true << Colors::Red << Colors::Blue;
    QTest::newRow("year, red and blue, printed grey")
        << true << true << Colors::Red << Colors::Blue;
    QTest::newRow("month, red and blue, printed grey")
        << true << false << Colors::Red << Colors::Blue;
    // The same colour for both crews: only the pattern tells them apart.
    QTest::newRow("year, one colour for both, printed grey")
        << true << true << Colors::Darkblue << Colors::Darkblue;
}

// Rasterised in colour (and read as grey) or with pdftoppm -gray: a crew A day and a crew B day
// differ in their mean grey or in the pattern of their fill.
void TestSheets::crewsDifferInGrey() {
    QFETCH(bool, grey);
    QFETCH(bool, year);
    QFETCH(TAlphaColor, crewA);
    QFETCH(TAlphaColor, crewB);
    ExampleSheet request = exampleRequest();
    request.kind = year ? SheetRequest::Kind::Year : SheetRequest::Kind::Month;
    request.month = 1;
    request.crewA = crewA;
    request.crewB = crewB;
    const int dpi = 150;
    const QImage page = rasterise(write(request), dpi, grey);
    QVERIFY(!page.isNull());
    const DateSerial dayA = serialFromYmd(2026, 1, 18);
    const DateSerial dayB = serialFromYmd(2026, 1, 20);
    QCOMPARE(ShiftLetter(dayA, request.assignment), QChar(u'A'));
    QCOMPARE(ShiftLetter(dayB, request.assignment), QChar(u'B'));
    const AreaTone a = toneOf(page, blankPart(cellInPoints(request, dayA)), dpi / 72.0);
    const AreaTone b = toneOf(page, blankPart(cellInPoints(request, dayB)), dpi / 72.0);
    const int meanGap = std::abs(qGray(a.mean) - qGray(b.mean));
    const double patternGap = std::abs(a.greySpread - b.greySpread);
    QVERIFY2(meanGap >= 15 || patternGap >= 15,
             qPrintable(QStringLiteral("grey %1 vs %2, spread %3 vs %4")
                            .arg(qGray(a.mean))
                            .arg(qGray(b.mean))
                            .arg(a.greySpread)
                            .arg(b.greySpread)));
    QVERIFY2(qGray(a.mean) > 170 && qGray(b.mean) > 170, "both stay light under black text");
}

void TestSheets::userDaysAreMarked_data() {
    QTest::addColumn<bool>("year");
    QTest::addColumn<bool>("onlyMyDays");
    QTest::newRow("month") << false << false;
    QTest::newRow("month, only my days") << false << true;
    QTest::newRow("year") << true << false;
    QTest::newRow("year, only my days") << true << true;
}

// Read back with pdftotext and pdftoppm: a duty day traded away or on leave says "off" and,
// on the copy of my days, has neither the crew letter nor the grey of a day worked; part of a
// shift away says its hours; extra work is marked "+" and reads as a day worked; the legend
// explains both. The month sheet, with room for them, names the kinds instead of "off".
void TestSheets::userDaysAreMarked() {
    QFETCH(bool, year);
    QFETCH(bool, onlyMyDays);
    ExampleSheet request = exampleRequest();
    request.kind = year ? SheetRequest::Kind::Year : SheetRequest::Kind::Month;
    request.onlyMyDays = onlyMyDays;
    const QString plainPdf = write(request, QStringLiteral("plain.pdf"));
    request.entries = mayEntries();
    const QString pdf = write(request);
    const QList<Word> words = wordsOf(pdf);
    const int dpi = 100;
    const QImage page = rasterise(pdf, dpi);
    QVERIFY(!words.isEmpty() && !page.isNull());
    const auto marks = [&](int dayOfMay) {
        return marksInCell(words, cellInPoints(request, serialFromYmd(2026, 5, dayOfMay)));
    };
    const auto fillOf = [&](int dayOfMay) {
        const QRectF cell = cellInPoints(request, serialFromYmd(2026, 5, dayOfMay));
        // Below the number, left of any mark: blank on the copy of my days.
        const QRectF left(cell.left() + cell.width() * 0.1, cell.top() + cell.height() * 0.6,
                          cell.width() * 0.3, cell.height() * 0.25);
        return qGray(toneOf(page, left, dpi / 72.0).mean);
    };
    const QString crewLetter = QStringLiteral("B");
    const auto inWords = [&](int dayOfMay) {
        return cellText(words, cellInPoints(request, serialFromYmd(2026, 5, dayOfMay)));
    };
    if (!year) {
        QVERIFY2(inWords(4).contains(QStringLiteral("Trade \u2013 J. Smith")),
                 qPrintable(inWords(4)));
        QVERIFY2(inWords(8).contains(QStringLiteral("Vacation")), qPrintable(inWords(8)));
    }
    for (int away : {4, 8}) {
        const QStringList found = marks(away);
        QVERIFY2(found.contains(QStringLiteral("off")) == year, qPrintable(found.join(u' ')));
        if (onlyMyDays) {
            QVERIFY2(!found.contains(crewLetter), qPrintable(found.join(u' ')));
            QVERIFY2(fillOf(away) > 245, "a day away is not filled as a day worked");
        }
    }
    if (year)
        QVERIFY2(marks(13).contains(QStringLiteral("\u221212h")), qPrintable(marks(13).join(u' ')));
    else
        QVERIFY2(inWords(13).contains(QStringLiteral("Trade \u2013 J. Smith 12 h")),
                 qPrintable(inWords(13)));
    QVERIFY(marks(13).contains(crewLetter));
    for (int extra : {6, 7}) {
        const QStringList found = marks(extra);
        QVERIFY2(std::any_of(found.begin(), found.end(),
                             [](const QString& word) { return word.startsWith(u'+'); }),
                 qPrintable(found.join(u' ')));
        QVERIFY(found.contains(QStringLiteral("A")));
        if (onlyMyDays)
            QVERIFY2(fillOf(extra) < 235, "extra work reads as a day worked");
    }
    if (!year) {
        QVERIFY2(inWords(6).contains(QStringLiteral("For J. Smith +24 h")), qPrintable(inWords(6)));
        QVERIFY2(inWords(7).contains(QStringLiteral("OT +10 h")), qPrintable(inWords(7)));
    }
    // A duty day without entries is as it was.
    QVERIFY(!marks(5).contains(QStringLiteral("off")));
    QVERIFY(marks(5).contains(crewLetter));

    const auto text = [](const QString& file) {
        return QString::fromUtf8(runTool(QStringLiteral("pdftotext"), {file, QStringLiteral("-")}))
            .simplified();
    };
    const QStringList legend{QStringLiteral("Off, or hours off: traded away or on leave"),
                             QStringLiteral("Extra work and its hours")};
    for (const QString& caption : legend) {
        QVERIFY2(text(pdf).contains(caption), qPrintable(caption));
        QVERIFY2(!text(plainPdf).contains(caption), "no entries, no such legend");
    }
}

// The month sheet names each day's entries where they fit its cell and keeps the short mark
// where they do not; the notes with text are listed under the grid, above the legend, each on
// one line, the rest counted. The year sheet keeps its marks and lists nothing.
void TestSheets::monthSheetNamesTheDaysAndListsTheNotes() {
    ExampleSheet request = exampleRequest();
    request.kind = SheetRequest::Kind::Month;
    request.entries = mayEntries();
    const auto add = [&](DayEntry entry) { request.entries[dayKey(entry.date)].append(entry); };
    const auto note = [](int number, int dayOfMay, const QString& text) {
        DayEntry entry = entryOf(number, dayOfMay, EntryKind::Note, std::nullopt);
        entry.note = text;
        return entry;
    };
    add(entryOf(10, 5, EntryKind::Leave, 10 * 60, LeaveType::Sick)); // a B2 duty day
    add(note(11, 2, QStringLiteral("Station 4 drill\nbring gear")));
    add(note(12, 21, QString())); // no text: named in its cell, not listed
    // Too much for one cell: the short mark stands for the trade; every note is listed.
    add(entryOf(13, 9, EntryKind::TradeOut, 12 * 60));
    for (int number = 14; number < 22; ++number)
        add(note(number, 9, QStringLiteral("Reminder %1").arg(number)));
    const QString pdf = write(request);
    const QList<Word> words = wordsOf(pdf);
    QVERIFY(!words.isEmpty());
    const auto inCell = [&](int dayOfMay) {
        return cellText(words, cellInPoints(request, serialFromYmd(2026, 5, dayOfMay)));
    };
    QVERIFY2(inCell(5).contains(QStringLiteral("Sick 10 h")), qPrintable(inCell(5)));
    QVERIFY2(inCell(2).contains(QStringLiteral("Note")), qPrintable(inCell(2)));
    QVERIFY2(inCell(21).contains(QStringLiteral("Note")), qPrintable(inCell(21)));
    QVERIFY2(inCell(9).contains(QStringLiteral("\u221212h")) && !inCell(9).contains(u"Trade"),
             qPrintable(inCell(9)));

    // Under the grid and above the legend, left-aligned with it.
    const auto first = [&](const QString& text) {
        return std::find_if(words.begin(), words.end(),
                            [&](const Word& word) { return word.text == text; });
    };
    const auto heading = first(QStringLiteral("Notes"));
    const auto legend = first(QStringLiteral("Crew"));
    QVERIFY(heading != words.end() && legend != words.end());
    const QRectF lastCell = cellInPoints(request, serialFromYmd(2026, 5, 31));
    QVERIFY(heading->box.top() > lastCell.bottom());
    QVERIFY(heading->box.left() < lastCell.left() + 2);
    const QString text =
        QString::fromUtf8(runTool(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")}));
    const QString notes = text.mid(text.indexOf(QStringLiteral("Notes"))).simplified();
    QVERIFY2(notes.contains(QStringLiteral("5/9/26 Reminder 14")), qPrintable(notes));
    QVERIFY2(notes.contains(QStringLiteral("5/2/26 Station 4 drill bring gear")),
             qPrintable(notes));
    // Eight rows at most: seven notes, and the two left counted.
    QVERIFY2(notes.contains(QStringLiteral("5/9/26 Reminder 19 \u2026 and 2 more notes")),
             qPrintable(notes));
    QVERIFY(!notes.contains(QStringLiteral("Reminder 20")));
    for (const Word& word : words)
        if (word.text == QLatin1String("Reminder") || word.text == QLatin1String("Station"))
            QVERIFY(word.box.top() > heading->box.top() && word.box.bottom() < legend->box.top());

    request.kind = SheetRequest::Kind::Year;
    const QString year = QString::fromUtf8(
        runTool(QStringLiteral("pdftotext"),
                {write(request, QStringLiteral("year.pdf")), QStringLiteral("-")}));
    QVERIFY(year.contains(QStringLiteral("off")));
    for (const char* word : {"Notes", "Vacation", "Reminder", "Trade"})
        QVERIFY2(!year.contains(QLatin1String(word)), word);
}

void TestSheets::onlyMyDaysHasNoColour_data() {
    QTest::addColumn<bool>("year");
    QTest::addColumn<QString>("assignment");
    QTest::newRow("year, B2") << true << "B2";
    QTest::newRow("month, A7") << false << "A7";
    QTest::newRow("year, no sub-group") << true << "RDO";
    QTest::newRow("month, B2, with entries") << false << "B2+";
}

void TestSheets::onlyMyDaysHasNoColour() {
    QFETCH(bool, year);
    QFETCH(QString, assignment);
    ExampleSheet request = exampleRequest();
    request.kind = year ? SheetRequest::Kind::Year : SheetRequest::Kind::Month;
    request.assignment = assignment;
    if (assignment.endsWith(u'+')) {
        request.assignment.chop(1);
        request.entries = mayEntries();
    }
    const QImage coloured = rasterise(write(request, QStringLiteral("colour.pdf")), 40);
    request.onlyMyDays = true;
    const QImage plain = rasterise(write(request, QStringLiteral("plain.pdf")), 40);
    QVERIFY(!coloured.isNull() && !plain.isNull());
    int colouredPixels = 0;
    for (int y = 0; y < coloured.height(); ++y) {
        for (int x = 0; x < coloured.width(); ++x) {
            colouredPixels += !isGrey(coloured.pixel(x, y), 3);
            if (!isGrey(plain.pixel(x, y), 3))
                QFAIL(qPrintable(QStringLiteral("colour at %1,%2").arg(x).arg(y)));
        }
    }
    QVERIFY2(colouredPixels > coloured.width() * coloured.height() / 10,
             "the colour sheet, for contrast, is coloured");
}

// A title too long for the band shrinks and then ends in an ellipsis; it never runs under the
// year on the right or off the page.
void TestSheets::longTitleStaysInsideTheTitleBand() {
    ExampleSheet request = exampleRequest();
    request.agency = QStringLiteral("Velmora County Consolidated Fire Protection District Number "
                                    "Seven, Northern Mountain Volunteer Companies and Station "
                                    "Forty-Two Auxiliary");
    const QList<Word> words = wordsOf(write(request));
    const auto year = std::find_if(words.begin(), words.end(), [](const Word& word) {
        return word.text == QLatin1String("2026");
    });
    QVERIFY(year != words.end());
    const double pageRight = SheetPageLayout(request).fullRectPoints().width();
    double titleRight = 0;
    QStringList titleWords;
    for (const Word& word : words) {
        if (word.box.bottom() > year->box.bottom() + 2 || word.box.right() > year->box.left())
            continue;
        titleWords << word.text;
        titleRight = std::max(titleRight, word.box.right());
    }
    QVERIFY(titleWords.size() >= 5);
    QCOMPARE(titleWords.first(), QStringLiteral("Velmora"));
    QVERIFY(titleRight < year->box.left() - 2);
    const auto elided = std::find_if(words.begin(), words.end(), [&](const Word& word) {
        return word.text.endsWith(QChar(0x2026)) && word.box.bottom() <= year->box.bottom() + 2;
    });
    QVERIFY2(elided != words.end(), "the cut title ends in an ellipsis");
    for (const Word& word : words)
        QVERIFY(word.box.right() <= pageRight - MarginMm * PointsPerMm + 1);
}

void TestSheets::unwritableTargetFailsAndLeavesNothing_data() {
    QTest::addColumn<QString>("target");
    QTest::newRow("below a regular file") << "file/sheet.pdf";
    QTest::newRow("a folder in the way") << "folder";
    QTest::newRow("a missing folder") << "missing/sheet.pdf";
}

void TestSheets::unwritableTargetFailsAndLeavesNothing() {
    QFETCH(QString, target);
    QFile file(m_dir->filePath(QStringLiteral("file")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("folder")));
    const QStringList before = QDir(m_dir->path()).entryList(QDir::AllEntries | QDir::Hidden);

    QString error;
    QVERIFY(!WriteSheetPdf(m_dir->filePath(target), prepared(exampleRequest()), &error));
    QVERIFY2(error.startsWith(QStringLiteral("Unable to write to ")), qPrintable(error));
    QVERIFY(!error.contains(QLatin1Char('\n')));
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::AllEntries | QDir::Hidden), before);
    QVERIFY(QDir(m_dir->filePath(QStringLiteral("folder"))).isEmpty());
}

QTEST_MAIN(TestSheets)
#include "tst_sheets.moc"
