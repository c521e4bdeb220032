// A year or month sheet with example settings, as a PDF or a PNG: the README picture and look
// checks. make_sheet OUT.pdf|OUT.png [--month YYYY-MM] [--year YYYY] [--locale de_DE]
// [--agency TEXT] [--assignment B2] [--only-my-days] [--example-days] [--width PIXELS]
#include "core/calendar.h"
#include "days/dayfacts.h"
#include "days/schedule.h"
#include "export/sheet.h"
#include "export/sheetsettings.h"

#include <QCommandLineParser>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <cstdio>

namespace {

// A few entries of every kind in each month of the year: a whole shift traded away, a vacation,
// half a shift traded, a trade worked for someone, overtime and a holdover on the RDO, part of a
// shift sick, and two notes.
QList<DayEntry> exampleDays(int year, const Schedule& schedule) {
    QList<DayEntry> days;
    int serial = 0;
    const auto add = [&](DateSerial date, EntryKind kind, std::optional<int> minutes,
                         const QString& with = {}, LeaveType leave = LeaveType::None,
                         const QString& note = {}) {
        DayEntry entry;
        entry.id = QUuid::createUuidV5(QUuid(), QStringLiteral("example/%1").arg(++serial));
        entry.date = date;
        entry.kind = kind;
        entry.minutes = minutes;
        entry.with = with;
        entry.leaveType = leave;
        entry.note = note;
        days.append(entry);
    };
    for (int month = 1; month <= 12; ++month) {
        QList<DateSerial> duty;
        QList<DateSerial> off;
        std::optional<DateSerial> rdo;
        for (int day = 1; day <= daysInMonth(year, month); ++day) {
            const DateSerial date = serialFromYmd(year, month, day);
            const DayFacts facts = schedule.day(date);
            if (facts.ownRdo)
                rdo = date;
            else
                (facts.ownDuty ? duty : off).append(date);
        }
        if (duty.size() < 6 || off.size() < 4)
            continue;
        add(duty[1], EntryKind::TradeOut, std::nullopt, QStringLiteral("J. Smith"));
        add(duty[3], EntryKind::Leave, std::nullopt, {}, LeaveType::Vacation);
        add(duty[5], EntryKind::TradeOut, 12 * 60, QStringLiteral("J. Smith"));
        add(off[2], EntryKind::TradeIn, 24 * 60, QStringLiteral("K. Lee"));
        add(off[3], EntryKind::Overtime, 10 * 60);
        if (rdo)
            add(*rdo, EntryKind::Holdover, 2 * 60);
        add(duty[0], EntryKind::Leave, 10 * 60, {}, LeaveType::Sick);
        add(off[0], EntryKind::Note, std::nullopt, {}, LeaveType::None,
            QStringLiteral("Station 4 drill at 09:00, bring the turnout gear"));
        add(duty[1], EntryKind::Note, std::nullopt, {}, LeaveType::None,
            QStringLiteral("J. Smith asked for the 12th in return"));
    }
    return days;
}

} // namespace

int main(int argc, char* argv[]) {
    QGuiApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addPositionalArgument(QStringLiteral("output"), QStringLiteral("a .pdf or .png file"));
    const QCommandLineOption year(QStringLiteral("year"), QStringLiteral("The year."),
                                  QStringLiteral("YYYY"), QStringLiteral("2026"));
    const QCommandLineOption month(QStringLiteral("month"), QStringLiteral("A month sheet."),
                                   QStringLiteral("YYYY-MM"));
    const QCommandLineOption locale(QStringLiteral("locale"), QStringLiteral("The locale."),
                                    QStringLiteral("NAME"), QStringLiteral("en_US"));
    const QCommandLineOption agency(QStringLiteral("agency"), QStringLiteral("The title."),
                                    QStringLiteral("TEXT"), QStringLiteral("Velmora Fire"));
    const QCommandLineOption assignment(QStringLiteral("assignment"),
                                        QStringLiteral("The sub-group."), QStringLiteral("GROUP"),
                                        QStringLiteral("B2"));
    const QCommandLineOption onlyMine(QStringLiteral("only-my-days"),
                                      QStringLiteral("Black on white, my days only."));
    const QCommandLineOption examples(QStringLiteral("example-days"),
                                      QStringLiteral("Trades, leave and extra work every month."));
    const QCommandLineOption width(QStringLiteral("width"), QStringLiteral("PNG width."),
                                   QStringLiteral("PIXELS"), QStringLiteral("1100"));
    parser.addOptions({year, month, locale, agency, assignment, onlyMine, examples, width});
    parser.process(app);
    if (parser.positionalArguments().size() != 1)
        parser.showHelp(2);

    SheetRequest request;
    request.year = parser.value(year).toInt();
    if (parser.isSet(month)) {
        request.kind = SheetRequest::Kind::Month;
        request.year = parser.value(month).left(4).toInt();
        request.month = parser.value(month).mid(5).toInt();
    }
    request.locale = QLocale(parser.value(locale));
    request.agency = parser.value(agency);
    Schedule schedule;
    schedule.setCurrentAssignment(parser.value(assignment));
    if (parser.isSet(examples))
        schedule.setEntries(exampleDays(request.year, schedule));
    request.schedule = &schedule;
    request.onlyMyDays = parser.isSet(onlyMine);
    request.made = serialFromYmd(2026, 1, 15);
    request.version = SheetProgramVersion();

    const QString output = parser.positionalArguments().constFirst();
    if (output.endsWith(QLatin1String(".pdf"))) {
        QString error;
        if (!WriteSheetPdf(output, request, &error)) {
            std::fprintf(stderr, "%s\n", qPrintable(error));
            return 1;
        }
        return 0;
    }
    const QPageLayout layout = SheetPageLayout(request);
    const QSizeF pageMm = layout.fullRect(QPageLayout::Millimeter).size();
    const double dotsPerMm = parser.value(width).toDouble() / pageMm.width();
    QImage image((pageMm * dotsPerMm).toSize(), QImage::Format_RGB32);
    image.setDotsPerMeterX(qRound(dotsPerMm * 1000));
    image.setDotsPerMeterY(qRound(dotsPerMm * 1000));
    image.fill(Qt::white);
    QPainter painter(&image);
    const QRectF paper(QPointF(0, 0), image.size());
    const QMarginsF margins = layout.margins() * dotsPerMm;
    PaintSheet(painter, paper.marginsRemoved(margins), request);
    painter.end();
    return image.save(output) ? 0 : 1;
}
