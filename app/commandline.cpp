#include "app/commandline.h"

#include "app/dayscommands.h"
#include "core/calendar.h"
#include "core/clock.h"
#include "export/calendarfile.h"
#include "export/sheet.h"
#include "export/sheetsettings.h"
#include "platform/appdatafolder.h"
#include "settings/settingsfile.h"
#include "settings/settingslocation.h"
#include "tourwise_version.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDate>
#include <QGuiApplication>
#include <QRegularExpression>

#include <cstdio>
#include <memory>

namespace {

const QString ExportOption = QStringLiteral("export-ics");
const QString PrintOption = QStringLiteral("print-pdf");
const QString FromOption = QStringLiteral("from");
const QString ToOption = QStringLiteral("to");
const QString YearOption = QStringLiteral("year");
const QString MonthOption = QStringLiteral("month");
const QString AssignmentOption = QStringLiteral("assignment");
const QString ExportDaysOption = QStringLiteral("export-days");
const QString ImportDaysOption = QStringLiteral("import-days");

QString viewRangeText() {
    return qdateFromSerial(MinViewDate).toString(Qt::ISODate) + QStringLiteral(" to ") +
           qdateFromSerial(MaxViewDate).toString(Qt::ISODate);
}

void declareOptions(QCommandLineParser& parser) {
    // "-platform xcb" is then one unknown option, not eight unknown letters.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setApplicationDescription(
        QStringLiteral("Duty calendar. Without options it opens its window; with --export-ics or "
                       "--print-pdf it writes the file and opens no window."));
    parser.addOptions({
        {ExportOption,
         QStringLiteral("Write the duty days, RDOs, paydays and pay-period starts as a calendar "
                        "file (.ics)."),
         QStringLiteral("FILE")},
        {PrintOption,
         QStringLiteral("Write the year sheet (or with --month the month sheet) as PDF."),
         QStringLiteral("FILE")},
        {FromOption,
         QStringLiteral(
             "First day of the calendar file, YYYY-MM-DD (default: first of this month)."),
         QStringLiteral("DATE")},
        {ToOption,
         QStringLiteral("Last day of the calendar file, YYYY-MM-DD (default: end of next year)."),
         QStringLiteral("DATE")},
        {YearOption, QStringLiteral("Year of the year sheet (default: this year)."),
         QStringLiteral("YYYY")},
        {MonthOption, QStringLiteral("Print the month sheet of this month."),
         QStringLiteral("YYYY-MM")},
        {AssignmentOption,
         QStringLiteral("Sub-group A1 ... B7 instead of the one in the settings."),
         QStringLiteral("GROUP")},
    });
    parser.addOptions({
        {ExportDaysOption,
         QStringLiteral(
             "Write your own entries (trades, leave, extra hours, notes) as a JSON file; "
             "- writes to standard output."),
         QStringLiteral("FILE")},
        {ImportDaysOption,
         QStringLiteral("Merge the entries of such a JSON file into yours, all or nothing; - "
                        "reads standard input."),
         QStringLiteral("FILE")},
    });
    parser.addHelpOption();
    parser.addVersionOption();
}

std::optional<DateSerial> dateInViewRange(const QDate& date) {
    if (!date.isValid())
        return std::nullopt;
    const DateSerial serial = serialFromQDate(date);
    if (serial < MinViewDate || serial > MaxViewDate)
        return std::nullopt;
    return serial;
}

// Collects the first problem; later checks keep quiet once there is one.
class Checks {
public:
    explicit Checks(CommandLine& command) : m_command(command) {}
    void fail(const QString& message) {
        if (m_command.error.isEmpty())
            m_command.error = message;
    }
    void onlyWith(const QCommandLineParser& parser, const QString& option, const QString& action) {
        if (parser.isSet(option) && !parser.isSet(action))
            fail(QStringLiteral("--%1 goes with --%2").arg(option, action));
    }

private:
    CommandLine& m_command;
};

std::optional<DateSerial> parseDay(const QString& text, const QString& option, Checks& checks) {
    static const QRegularExpression form(QStringLiteral("^\\d{4}-\\d{2}-\\d{2}$"));
    const QDate date = form.match(text).hasMatch() ? QDate::fromString(text, Qt::ISODate) : QDate();
    if (!date.isValid()) {
        checks.fail(
            QStringLiteral("--%1: '%2' is not a date of the form YYYY-MM-DD").arg(option, text));
        return std::nullopt;
    }
    const std::optional<DateSerial> serial = dateInViewRange(date);
    if (!serial)
        checks.fail(QStringLiteral("--%1: %2 is outside %3").arg(option, text, viewRangeText()));
    return serial;
}

void parseYearAndMonth(const QCommandLineParser& parser, CommandLine& command, Checks& checks) {
    if (parser.isSet(YearOption) && parser.isSet(MonthOption))
        checks.fail(QStringLiteral("give --year or --month, not both"));
    const int firstYear = ymdFromSerial(MinViewDate).year;
    const int lastYear = ymdFromSerial(MaxViewDate).year;
    const auto yearInRange = [&](const QString& text, const QString& option) -> std::optional<int> {
        const int year = text.toInt();
        if (year < firstYear || year > lastYear) {
            checks.fail(QStringLiteral("--%1: the year of '%2' is not one of %3 ... %4")
                            .arg(option, parser.value(option))
                            .arg(firstYear)
                            .arg(lastYear));
            return std::nullopt;
        }
        return year;
    };
    if (parser.isSet(YearOption)) {
        static const QRegularExpression form(QStringLiteral("^\\d{4}$"));
        const QString text = parser.value(YearOption);
        if (!form.match(text).hasMatch())
            checks.fail(QStringLiteral("--year: '%1' is not a year of the form YYYY").arg(text));
        else
            command.year = yearInRange(text, YearOption);
    }
    if (parser.isSet(MonthOption)) {
        static const QRegularExpression form(QStringLiteral("^(\\d{4})-(0[1-9]|1[0-2])$"));
        const QRegularExpressionMatch match = form.match(parser.value(MonthOption));
        if (!match.hasMatch()) {
            checks.fail(QStringLiteral("--month: '%1' is not a month of the form YYYY-MM")
                            .arg(parser.value(MonthOption)));
        } else if ((command.year = yearInRange(match.captured(1), MonthOption))) {
            command.month = match.captured(2).toInt();
        }
    }
}

void parseAssignment(const QCommandLineParser& parser, CommandLine& command, Checks& checks) {
    if (!parser.isSet(AssignmentOption))
        return;
    const QString text = parser.value(AssignmentOption);
    const int index = assignmentIndex(text);
    const bool known = index != 0 || text.compare(QStringLiteral("RDO"), Qt::CaseInsensitive) == 0;
    if (!known)
        checks.fail(QStringLiteral("--assignment: '%1' is not one of A1 ... A7, B1 ... B7 or RDO")
                        .arg(text));
    else
        command.assignment = assignmentItems().at(index);
}

// --export-days and --import-days stand alone: no other action, no other option.
void parseDaysOptions(const QCommandLineParser& parser, CommandLine& command, Checks& checks) {
    const bool exporting = parser.isSet(ExportDaysOption);
    if (!exporting && !parser.isSet(ImportDaysOption))
        return;
    const QString option = exporting ? ExportDaysOption : ImportDaysOption;
    const int actions = int(parser.isSet(ExportOption)) + int(parser.isSet(PrintOption)) +
                        int(parser.isSet(ExportDaysOption)) + int(parser.isSet(ImportDaysOption));
    if (actions > 1)
        checks.fail(QStringLiteral("--%1 goes with no other action").arg(option));
    command.action = exporting ? CommandLine::Action::ExportDays : CommandLine::Action::ImportDays;
    command.target = parser.value(option);
    if (command.target.isEmpty())
        checks.fail(QStringLiteral("--%1 needs a file name").arg(option));
}

void writeLine(std::FILE* stream, const QString& text) {
    std::fputs(qPrintable(text + u'\n'), stream);
    std::fflush(stream);
}

QString storedSettingsPath() {
    return settingsFilePath(findSettingsFolder(userConfigFolder()));
}

int fail(ExitCode code, const QString& message) {
    writeLine(stderr, QStringLiteral("tourwise: ") + message);
    return static_cast<int>(code);
}

int exportCalendar(const CommandLine& command, const StoredSettings& settings) {
    CalendarExport request;
    request.assignment =
        command.assignment.value_or(assignmentItems().at(assignmentIndex(settings.assignment)));
    if (!IsSubGroup(request.assignment))
        return fail(ExitCode::BadUsage,
                    QStringLiteral("--export-ics needs a sub-group: the settings have none, give "
                                   "--assignment A1 ... B7"));
    const CalendarRange defaults = DefaultCalendarRange(today());
    request.range = {command.from.value_or(defaults.first), command.to.value_or(defaults.last)};
    if (request.range.first > request.range.last)
        return fail(ExitCode::BadUsage,
                    QStringLiteral("the range ends (%1) before it begins (%2)")
                        .arg(qdateFromSerial(request.range.last).toString(Qt::ISODate),
                             qdateFromSerial(request.range.first).toString(Qt::ISODate)));
    request.payPeriodStart = settings.payPeriodStart;
    request.agency = settings.agency;
    QString error;
    if (!WriteCalendarFile(command.target, request, &error))
        return fail(ExitCode::WriteFailed, error);
    return static_cast<int>(ExitCode::Done);
}

int printPdf(const CommandLine& command, const StoredSettings& settings) {
    SheetRequest request = SheetRequestFromSettings(settings, QLocale::system(), today());
    if (command.month) {
        request.kind = SheetRequest::Kind::Month;
        request.month = *command.month;
    }
    if (command.year)
        request.year = *command.year;
    if (command.assignment)
        request.assignment = *command.assignment;
    QString error;
    if (!WriteSheetPdf(command.target, request, &error))
        return fail(ExitCode::WriteFailed, error);
    return static_cast<int>(ExitCode::Done);
}

bool asksForSheet(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const QByteArray argument(argv[i]);
        const QByteArray option = argument.startsWith("--") ? argument.mid(2) : argument.mid(1);
        if (argument.startsWith('-') && (option == "print-pdf" || option.startsWith("print-pdf=")))
            return true;
    }
    return false;
}

// Fonts need a GUI application; a command line must work without a display, so it never uses one.
std::unique_ptr<QCoreApplication> applicationFor(int& argc, char** argv) {
    if (!asksForSheet(argc, argv))
        return std::make_unique<QCoreApplication>(argc, argv);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    return std::make_unique<QGuiApplication>(argc, argv);
}

} // namespace

CommandLine ParseCommandLine(const QStringList& arguments) {
    CommandLine command;
    QCommandLineParser parser;
    declareOptions(parser);
    if (!parser.parse(arguments)) {
        command.error = parser.errorText();
        if (command.error.endsWith(u'.'))
            command.error.chop(1);
        return command;
    }
    if (parser.isSet(QStringLiteral("help")) || parser.isSet(QStringLiteral("help-all"))) {
        command.action = CommandLine::Action::Help;
        return command;
    }
    if (parser.isSet(QStringLiteral("version"))) {
        command.action = CommandLine::Action::Version;
        return command;
    }
    Checks checks(command);
    if (!parser.positionalArguments().isEmpty())
        checks.fail(
            QStringLiteral("unexpected argument '%1'").arg(parser.positionalArguments().first()));
    const bool exporting = parser.isSet(ExportOption);
    const bool printing = parser.isSet(PrintOption);
    if (exporting && printing)
        checks.fail(QStringLiteral("give --export-ics or --print-pdf, not both"));
    if (exporting || printing) {
        command.action =
            exporting ? CommandLine::Action::ExportCalendar : CommandLine::Action::PrintPdf;
        command.target = parser.value(exporting ? ExportOption : PrintOption);
        if (command.target.isEmpty())
            checks.fail(QStringLiteral("--%1 needs a file name")
                            .arg(exporting ? ExportOption : PrintOption));
    }
    checks.onlyWith(parser, FromOption, ExportOption);
    checks.onlyWith(parser, ToOption, ExportOption);
    checks.onlyWith(parser, YearOption, PrintOption);
    checks.onlyWith(parser, MonthOption, PrintOption);
    if (!exporting && !printing && parser.isSet(AssignmentOption))
        checks.fail(QStringLiteral("--assignment goes with --export-ics or --print-pdf"));
    if (parser.isSet(FromOption))
        command.from = parseDay(parser.value(FromOption), FromOption, checks);
    if (parser.isSet(ToOption))
        command.to = parseDay(parser.value(ToOption), ToOption, checks);
    parseYearAndMonth(parser, command, checks);
    parseAssignment(parser, command, checks);
    parseDaysOptions(parser, command, checks);
    return command;
}

std::optional<int> RunCommandLine(int& argc, char** argv) {
    if (argc <= 1)
        return std::nullopt;
    const std::unique_ptr<QCoreApplication> application = applicationFor(argc, argv);
    QCoreApplication::setApplicationName(QString::fromLatin1(ProductName));
    QCoreApplication::setApplicationVersion(QString::fromLatin1(ProductVersion));
    QCoreApplication::setOrganizationName(QStringLiteral("Kestrand"));
    const CommandLine command = ParseCommandLine(QCoreApplication::arguments());
    if (!command.error.isEmpty())
        return fail(ExitCode::BadUsage, command.error + QStringLiteral(" (see --help)"));
    switch (command.action) {
    case CommandLine::Action::Help: {
        QCommandLineParser parser;
        declareOptions(parser);
        writeLine(stdout, parser.helpText().trimmed());
        return static_cast<int>(ExitCode::Done);
    }
    case CommandLine::Action::Version:
        writeLine(stdout, QStringLiteral("%1 %2").arg(QLatin1StringView(ProductName),
                                                      QLatin1StringView(ProductVersion)));
        return static_cast<int>(ExitCode::Done);
    case CommandLine::Action::Window:
        // Only options that need an action were given.
        return fail(ExitCode::BadUsage,
                    QStringLiteral("nothing to do: give --export-ics FILE or --print-pdf FILE"));
    case CommandLine::Action::ExportDays:
        return ExportDaysFile(command.target);
    case CommandLine::Action::ImportDays:
        return ImportDaysFile(command.target);
    case CommandLine::Action::ExportCalendar:
    case CommandLine::Action::PrintPdf:
        break;
    }
    const StoredSettings settings = loadSettings(storedSettingsPath(), QLocale::system());
    return command.action == CommandLine::Action::ExportCalendar ? exportCalendar(command, settings)
                                                                 : printPdf(command, settings);
}
