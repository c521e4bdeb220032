#include "cli/commandline.h"

#include "cli/dayscommands.h"
#include "cli/hoursreport.h"
#include "cli/publishcommand.h"
#include "cli/userdays.h"
#include "core/calendar.h"
#include "core/clock.h"
#include "core/programfolder.h"
#include "days/banktext.h"
#include "days/hourstable.h"
#include "export/calendarfile.h"
#include "export/outputfile.h"
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
#include <QTemporaryDir>

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
const QString HoursOption = QStringLiteral("hours");
const QString WorkPeriodsOption = QStringLiteral("work-periods");
const QString TradesOption = QStringLiteral("trades");
const QString CsvOption = QStringLiteral("csv");
const QString ShiftStartOption = QStringLiteral("shift-start");
const QString WorkPeriodDaysOption = QStringLiteral("work-period-days");
const QString WorkPeriodStartOption = QStringLiteral("work-period-start");
const QString AssignmentsOption = QStringLiteral("assignments");
const QString ChangeAssignmentOption = QStringLiteral("change-assignment");
const QString EffectiveOption = QStringLiteral("effective");
const QString BalancesOption = QStringLiteral("balances");
const QString PublishOption = QStringLiteral("publish");
const QString UserOption = QStringLiteral("user");
const QString PasswordFileOption = QStringLiteral("password-file");
const QString CaFileOption = QStringLiteral("ca-file");

// The options that choose what the program does, and what each one does.
struct ActionOption {
    const QString* name;
    CommandLine::Action action;
    bool takesFile;
};
const ActionOption ActionOptions[] = {
    {&ExportOption, CommandLine::Action::ExportCalendar, true},
    {&PrintOption, CommandLine::Action::PrintPdf, true},
    {&HoursOption, CommandLine::Action::PayPeriodHours, false},
    {&WorkPeriodsOption, CommandLine::Action::WorkPeriodHours, false},
    {&TradesOption, CommandLine::Action::TradeLedger, false},
    {&ExportDaysOption, CommandLine::Action::ExportDays, true},
    {&ImportDaysOption, CommandLine::Action::ImportDays, true},
    {&AssignmentsOption, CommandLine::Action::ListAssignments, false},
    {&ChangeAssignmentOption, CommandLine::Action::ChangeAssignment, false},
    {&BalancesOption, CommandLine::Action::Balances, false},
    {&PublishOption, CommandLine::Action::Publish, true},
};
const QStringList RangeActions{ExportOption, HoursOption, WorkPeriodsOption, BalancesOption,
                               PublishOption};
const QStringList YearActions{PrintOption, HoursOption, WorkPeriodsOption, BalancesOption};
const QStringList HoursActions{HoursOption, WorkPeriodsOption, TradesOption};
const QStringList TableActions{HoursOption, WorkPeriodsOption, TradesOption, AssignmentsOption,
                               BalancesOption};

const QString PaydaysOption = QStringLiteral("paydays");
const QString NoPaydaysOption = QStringLiteral("no-paydays");
const QString PayPeriodsOption = QStringLiteral("pay-periods");
const QString NoPayPeriodsOption = QStringLiteral("no-pay-periods");
const QString TimedShiftsOption = QStringLiteral("timed-shifts");
const QString OnlyMyDaysOption = QStringLiteral("only-my-days");

QList<QCommandLineOption> contentOptions() {
    return {
        {PaydaysOption, QStringLiteral("Show the paydays, whatever the settings say.")},
        {NoPaydaysOption, QStringLiteral("Leave the paydays out.")},
        {PayPeriodsOption,
         QStringLiteral("Show the pay-period starts, whatever the settings say.")},
        {NoPayPeriodsOption, QStringLiteral("Leave the pay-period starts out.")},
        {TimedShiftsOption,
         QStringLiteral("Calendar file: duty days from the shift start to the next day's shift "
                        "start instead of whole days.")},
        {OnlyMyDaysOption,
         QStringLiteral("Sheet: black on white, with only the days I work and my RDOs marked.")},
    };
}

QString viewRangeText() {
    return qdateFromSerial(MinViewDate).toString(Qt::ISODate) + QStringLiteral(" to ") +
           qdateFromSerial(MaxViewDate).toString(Qt::ISODate);
}

void declareOptions(QCommandLineParser& parser) {
    // "-platform xcb" is then one unknown option, not eight unknown letters.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setApplicationDescription(
        QStringLiteral("Duty calendar. Without options it opens its window; with --export-ics or "
                       "--print-pdf it writes the file (\"-\": standard output), with --hours, "
                       "--work-periods or --trades it prints the hours, and opens no window."));
    parser.addOptions({
        {ExportOption,
         QStringLiteral("Write the duty days, RDOs, paydays and pay-period starts as a calendar "
                        "file (.ics)."),
         QStringLiteral("FILE")},
        {PrintOption,
         QStringLiteral("Write the year sheet (or with --month the month sheet) as PDF."),
         QStringLiteral("FILE")},
        {HoursOption,
         QStringLiteral("Print the hours of each pay period that holds a day of the range "
                        "(default: this year).")},
        {WorkPeriodsOption,
         QStringLiteral("Print the FLSA hours, threshold and overtime of each work period that "
                        "holds a day of the range (default: this year).")},
        {TradesOption,
         QStringLiteral("Print the hours traded with each person and what is still open.")},
        {BalancesOption,
         QStringLiteral("Print the leave and comp banks of each pay period that holds a day of "
                        "the range (default: this year).")},
        {CsvOption,
         QStringLiteral("Print the hours or the assignments as CSV instead of a table.")},
        {FromOption,
         QStringLiteral("First day of the calendar file (default: first of this month) or of the "
                        "hours, YYYY-MM-DD."),
         QStringLiteral("DATE")},
        {ToOption,
         QStringLiteral("Last day of the calendar file (default: end of next year) or of the "
                        "hours, YYYY-MM-DD."),
         QStringLiteral("DATE")},
        {YearOption, QStringLiteral("Year of the year sheet or of the hours (default: this year)."),
         QStringLiteral("YYYY")},
        {MonthOption, QStringLiteral("Print the month sheet of this month."),
         QStringLiteral("YYYY-MM")},
        {AssignmentOption,
         QStringLiteral("Sub-group A1 ... B7 on every day, instead of the assignments you "
                        "recorded (a what-if)."),
         QStringLiteral("GROUP")},
        {AssignmentsOption, QStringLiteral("Print your assignments and the days each held.")},
        {ChangeAssignmentOption,
         QStringLiteral("Record that GROUP (A1 ... B7 or RDO) is your assignment from the day "
                        "--effective gives, as Save on the Settings page does."),
         QStringLiteral("GROUP")},
        {EffectiveOption, QStringLiteral("The first day of the new assignment, YYYY-MM-DD."),
         QStringLiteral("DATE")},
        {ShiftStartOption,
         QStringLiteral(
             "The hours: a shift starts at this time, HH:MM, instead of the stored one."),
         QStringLiteral("HH:MM")},
        {WorkPeriodDaysOption,
         QStringLiteral("The hours: days in an FLSA work period, 7 ... 28, instead of the stored "
                        "number."),
         QStringLiteral("N")},
        {WorkPeriodStartOption,
         QStringLiteral("The hours: the first day of a work period, YYYY-MM-DD, instead of the "
                        "stored one."),
         QStringLiteral("DATE")},
    });
    parser.addOptions(contentOptions());
    parser.addOptions({
        {PublishOption,
         QStringLiteral("Publish the calendar file's events to a calendar server (CalDAV): the "
                        "server's address (the calendar \"Tourwise duty\" is found there or "
                        "made) or a calendar's own address."),
         QStringLiteral("URL")},
        {UserOption, QStringLiteral("The calendar server's user name."), QStringLiteral("NAME")},
        {PasswordFileOption,
         QStringLiteral("Read the server's password from the first line of FILE, which only you "
                        "may read; without it the desktop's keyring is asked."),
         QStringLiteral("FILE")},
        {CaFileOption,
         QStringLiteral("Trust the certificate authority in FILE (PEM) besides the system's."),
         QStringLiteral("FILE")},
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

// Collects the first problem; later checks keep quiet once there is one.
class Checks {
public:
    explicit Checks(CommandLine& command) : m_command(command) {}
    void fail(const QString& message) {
        if (m_command.error.isEmpty())
            m_command.error = message;
    }
    void onlyWith(const QCommandLineParser& parser, const QString& option,
                  const QStringList& actions) {
        if (!parser.isSet(option))
            return;
        for (const QString& action : actions)
            if (parser.isSet(action))
                return;
        fail(QStringLiteral("--%1 goes with %2").arg(option, optionList(actions)));
    }
    // "--a", "--a or --b", "--a, --b or --c".
    static QString optionList(const QStringList& options) {
        QString text;
        for (qsizetype at = 0; at < options.size(); ++at) {
            if (at > 0)
                text += at + 1 == options.size() ? QStringLiteral(" or ") : QStringLiteral(", ");
            text += QStringLiteral("--") + options[at];
        }
        return text;
    }

private:
    CommandLine& m_command;
};

std::optional<DateSerial> parseDay(const QString& text, const QString& option, Checks& checks) {
    static const QRegularExpression form(QStringLiteral("^(\\d{4})-(\\d{2})-(\\d{2})$"));
    const QRegularExpressionMatch match = form.match(text);
    if (!match.hasMatch()) {
        checks.fail(
            QStringLiteral("--%1: '%2' is not a date of the form YYYY-MM-DD").arg(option, text));
        return std::nullopt;
    }
    const int year = match.captured(1).toInt();
    const int month = match.captured(2).toInt();
    const int dayOfMonth = match.captured(3).toInt();
    if (month < 1 || month > 12) {
        checks.fail(QStringLiteral("--%1: '%2' does not exist: there is no month %3")
                        .arg(option, text)
                        .arg(month));
        return std::nullopt;
    }
    if (dayOfMonth < 1 || dayOfMonth > daysInMonth(year, month)) {
        checks.fail(QStringLiteral("--%1: '%2' does not exist: %3 %4 has %5 days")
                        .arg(option, text, QLocale::c().monthName(month))
                        .arg(year)
                        .arg(daysInMonth(year, month)));
        return std::nullopt;
    }
    const DateSerial serial = serialFromYmd(year, month, dayOfMonth);
    if (serial < MinViewDate || serial > MaxViewDate) {
        checks.fail(QStringLiteral("--%1: %2 is outside %3").arg(option, text, viewRangeText()));
        return std::nullopt;
    }
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

// A group as the assignment list names it; none, with the problem told, for any other text.
std::optional<QString> parseGroup(const QString& text, const QString& option, Checks& checks) {
    const int index = assignmentIndex(text);
    const bool known = index != 0 || text.compare(QStringLiteral("RDO"), Qt::CaseInsensitive) == 0;
    if (!known) {
        checks.fail(QStringLiteral("--%1: '%2' is not one of A1 ... A7, B1 ... B7 or RDO")
                        .arg(option, text));
        return std::nullopt;
    }
    return assignmentItems().at(index);
}

void parseAssignmentChange(const QCommandLineParser& parser, CommandLine& command, Checks& checks) {
    checks.onlyWith(parser, EffectiveOption, {ChangeAssignmentOption});
    if (command.action != CommandLine::Action::ChangeAssignment)
        return;
    if (const std::optional<QString> group =
            parseGroup(parser.value(ChangeAssignmentOption), ChangeAssignmentOption, checks))
        command.newAssignment = *group;
    if (!parser.isSet(EffectiveOption))
        checks.fail(QStringLiteral("--change-assignment needs --effective DATE, the first day of "
                                   "the new assignment"));
    else
        command.effective = parseDay(parser.value(EffectiveOption), EffectiveOption, checks);
}

void parseAssignment(const QCommandLineParser& parser, CommandLine& command, Checks& checks) {
    if (!parser.isSet(AssignmentOption))
        return;
    if (command.action == CommandLine::Action::ListAssignments ||
        command.action == CommandLine::Action::ChangeAssignment) {
        checks.fail(QStringLiteral("--assignment is a what-if for one run; to record a change of "
                                   "assignment give --change-assignment GROUP --effective DATE"));
        return;
    }
    command.assignment = parseGroup(parser.value(AssignmentOption), AssignmentOption, checks);
    if (command.assignment == QStringLiteral("RDO") &&
        command.action != CommandLine::Action::PrintPdf) {
        QString action;
        for (const ActionOption& option : ActionOptions)
            if (option.action == command.action)
                action = *option.name;
        checks.fail(
            QStringLiteral("--assignment: RDO names no group; --%1 needs a sub-group, one of "
                           "A1 ... A7, B1 ... B7")
                .arg(action));
    }
}

// The stored hours settings are overridden only for this run.
void parseHoursSettings(const QCommandLineParser& parser, CommandLine& command, Checks& checks) {
    if (parser.isSet(CsvOption))
        command.csv = true;
    if (parser.isSet(ShiftStartOption)) {
        const QString text = parser.value(ShiftStartOption);
        command.shiftStart = clockFromText(text);
        if (!command.shiftStart)
            checks.fail(QStringLiteral("--shift-start: '%1' is not a time of the form HH:MM, "
                                       "00:00 ... 23:59")
                            .arg(text));
    }
    if (parser.isSet(WorkPeriodDaysOption)) {
        static const QRegularExpression form(QStringLiteral("^\\d{1,2}$"));
        const QString text = parser.value(WorkPeriodDaysOption);
        const int days = form.match(text).hasMatch() ? text.toInt() : 0;
        if (days < ShortestWorkPeriod || days > LongestWorkPeriod)
            checks.fail(QStringLiteral("--work-period-days: '%1' is not a number of days %2 ... %3")
                            .arg(text)
                            .arg(ShortestWorkPeriod)
                            .arg(LongestWorkPeriod));
        else
            command.workPeriodDays = days;
    }
    if (parser.isSet(WorkPeriodStartOption))
        command.workPeriodStart =
            parseDay(parser.value(WorkPeriodStartOption), WorkPeriodStartOption, checks);
}

// Which action the options ask for; two of them are refused.
void parseAction(const QCommandLineParser& parser, CommandLine& command, Checks& checks) {
    QStringList given;
    for (const ActionOption& option : ActionOptions) {
        if (!parser.isSet(*option.name))
            continue;
        given.append(*option.name);
        if (given.size() > 1)
            continue;
        command.action = option.action;
        if (option.takesFile) {
            command.target = parser.value(*option.name);
            if (command.target.isEmpty())
                checks.fail(option.action == CommandLine::Action::Publish
                                ? QStringLiteral("--publish needs the address of a calendar "
                                                 "server")
                                : QStringLiteral("--%1 needs a file name").arg(*option.name));
        }
    }
    if (given.size() > 1)
        checks.fail(QStringLiteral("give --%1 or --%2, not both").arg(given[0], given[1]));
}

// An option given twice would leave one of the two values unused.
void refuseRepeats(const QCommandLineParser& parser, Checks& checks) {
    for (const QString& name : parser.optionNames())
        if (parser.optionNames().count(name) > 1)
            checks.fail(QStringLiteral("--%1 is given twice").arg(name));
}

// --paydays / --no-paydays and the like: one of the pair or neither.
std::optional<bool> parseSwitchPair(const QCommandLineParser& parser, const QString& on,
                                    const QString& off, Checks& checks) {
    if (parser.isSet(on) && parser.isSet(off))
        checks.fail(QStringLiteral("give --%1 or --%2, not both").arg(on, off));
    if (parser.isSet(on) || parser.isSet(off))
        return parser.isSet(on);
    return std::nullopt;
}

void parseContents(const QCommandLineParser& parser, CommandLine& command, Checks& checks) {
    if (command.action == CommandLine::Action::Window)
        for (const QString& option :
             {PaydaysOption, NoPaydaysOption, PayPeriodsOption, NoPayPeriodsOption})
            if (parser.isSet(option))
                checks.fail(QStringLiteral("--%1 goes with --export-ics, --publish or --print-pdf")
                                .arg(option));
    checks.onlyWith(parser, TimedShiftsOption, {ExportOption, PublishOption});
    for (const QString& option : {UserOption, PasswordFileOption, CaFileOption})
        checks.onlyWith(parser, option, {PublishOption});
    command.user = parser.value(UserOption);
    command.passwordFile = parser.value(PasswordFileOption);
    command.caFile = parser.value(CaFileOption);
    checks.onlyWith(parser, OnlyMyDaysOption, {PrintOption});
    command.paydays = parseSwitchPair(parser, PaydaysOption, NoPaydaysOption, checks);
    command.payPeriods = parseSwitchPair(parser, PayPeriodsOption, NoPayPeriodsOption, checks);
    command.timedShifts = parser.isSet(TimedShiftsOption);
    command.onlyMyDays = parser.isSet(OnlyMyDaysOption);
}

// --export-days and --import-days stand alone: the action table refuses a second action, and a
// group means nothing to them.
void parseDaysOptions(const QCommandLineParser& parser, const CommandLine& command,
                      Checks& checks) {
    const bool days = command.action == CommandLine::Action::ExportDays ||
                      command.action == CommandLine::Action::ImportDays;
    if (days && parser.isSet(AssignmentOption))
        checks.fail(QStringLiteral("--%1 takes no --assignment: it covers every entry")
                        .arg(command.action == CommandLine::Action::ExportDays ? ExportDaysOption
                                                                               : ImportDaysOption));
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

QString isoDay(DateSerial day) {
    return qdateFromSerial(day).toString(Qt::ISODate);
}

// The range of a command, or the refusal of one that runs backwards.
std::optional<DaySpan> rangeOf(const CommandLine& command, const DaySpan& defaults,
                               QString* refusal) {
    const DaySpan range{command.from.value_or(defaults.first), command.to.value_or(defaults.last)};
    if (range.first > range.last) {
        *refusal = QStringLiteral("the range ends (%1) before it begins (%2)")
                       .arg(isoDay(range.last), isoDay(range.first));
        return std::nullopt;
    }
    return range;
}

// The one-run what-if of --assignment, and whether any day of the range has a sub-group.
bool applyWhatIf(const CommandLine& command, Schedule& schedule, const DaySpan& range) {
    if (command.assignment)
        schedule.setAssignmentOnEveryDay(*command.assignment);
    for (const AssignmentSpan& span : schedule.assignmentsBetween(range.first, range.last))
        if (IsSubGroup(span.assignment))
            return true;
    return false;
}

// The events of the calendar file and of a publish: the settings' switches unless the command
// line sets them.
CalendarExport calendarRequest(const CommandLine& command, const StoredSettings& settings,
                               const Schedule& schedule, const DaySpan& range) {
    CalendarExport request;
    request.schedule = &schedule;
    request.range = range;
    request.agency = settings.agency;
    request.contents.paydays = command.paydays.value_or(settings.showPaydays);
    request.contents.payPeriodStarts = command.payPeriods.value_or(settings.showPayPeriods);
    request.contents.timedShifts = command.timedShifts;
    return request;
}

int exportCalendar(const CommandLine& command, const StoredSettings& settings) {
    QString refusal;
    const std::optional<DaySpan> range = rangeOf(command, DefaultCalendarRange(today()), &refusal);
    if (!range)
        return fail(ExitCode::BadUsage, refusal);
    // Without the user's days the file would show traded-away duties as duty: no file then.
    UserDays days(settings);
    if (!days.problem().isEmpty())
        return fail(ExitCode::WriteFailed, days.problem());
    if (!applyWhatIf(command, days.schedule(), *range))
        return fail(ExitCode::BadUsage,
                    QStringLiteral("--export-ics needs a sub-group: the settings have none, give "
                                   "--assignment A1 ... B7"));
    const CalendarExport request = calendarRequest(command, settings, days.schedule(), *range);
    // A switch of the duty days' times must reach a phone as an update.
    if (const StoreResult noted = days.store().noteDutyTiming(command.timedShifts); !noted.ok)
        return fail(ExitCode::WriteFailed, noted.error);
    const QByteArray bytes = CalendarFileBytes(request, nowUtc());
    if (!days.schedule().problem().isEmpty())
        return fail(ExitCode::WriteFailed, days.schedule().problem());
    QString error;
    if (!WriteOutput(command.target, bytes, &error))
        return fail(ExitCode::WriteFailed, error);
    return static_cast<int>(ExitCode::Done);
}

int printPdf(const CommandLine& command, const StoredSettings& settings) {
    UserDays days(settings);
    if (!days.problem().isEmpty())
        return fail(ExitCode::WriteFailed, days.problem());
    SheetRequest request = SheetRequestFromSettings(settings, QLocale::system(), today());
    request.schedule = &days.schedule();
    if (command.month) {
        request.kind = SheetRequest::Kind::Month;
        request.month = *command.month;
    }
    if (command.year)
        request.year = *command.year;
    if (command.assignment)
        days.schedule().setAssignmentOnEveryDay(*command.assignment);
    request.paydays = command.paydays.value_or(request.paydays);
    request.payPeriods = command.payPeriods.value_or(request.payPeriods);
    request.onlyMyDays = command.onlyMyDays;
    const std::optional<QByteArray> pdf = SheetPdfBytes(request);
    if (!pdf)
        return fail(
            ExitCode::WriteFailed,
            UnableToWriteText(command.target, QStringLiteral("the PDF could not be drawn")));
    if (!days.schedule().problem().isEmpty())
        return fail(ExitCode::WriteFailed, days.schedule().problem());
    QString error;
    if (!WriteOutput(command.target, *pdf, &error))
        return fail(ExitCode::WriteFailed, error);
    return static_cast<int>(ExitCode::Done);
}

HoursList hoursListOf(CommandLine::Action action) {
    switch (action) {
    case CommandLine::Action::WorkPeriodHours:
        return HoursList::WorkPeriods;
    case CommandLine::Action::TradeLedger:
        return HoursList::Trades;
    default:
        return HoursList::PayPeriods;
    }
}

int printHours(const CommandLine& command, const StoredSettings& settings) {
    HoursReport report;
    report.list = hoursListOf(command.action);
    report.csv = command.csv;
    const int year = command.year.value_or(currentYear());
    QString refusal;
    const std::optional<DaySpan> range =
        rangeOf(command, {serialFromYmd(year, 1, 1), serialFromYmd(year, 12, 31)}, &refusal);
    if (!range)
        return fail(ExitCode::BadUsage, refusal);
    report.first = range->first;
    report.last = range->last;

    UserDays days(settings);
    if (!days.problem().isEmpty())
        return fail(ExitCode::WriteFailed, days.problem());
    Schedule& schedule = days.schedule();
    const DaySpan checked =
        report.list == HoursList::Trades ? DaySpan{MinViewDate, MaxViewDate} : *range;
    if (!applyWhatIf(command, schedule, checked))
        return fail(ExitCode::BadUsage, QStringLiteral("the hours need a sub-group: the settings "
                                                       "have none, give --assignment A1 ... B7"));
    if (command.shiftStart || command.workPeriodDays || command.workPeriodStart) {
        HoursSettings hours = schedule.hoursSettings();
        hours.shiftStart = command.shiftStart.value_or(hours.shiftStart);
        hours.workPeriodDays = command.workPeriodDays.value_or(hours.workPeriodDays);
        if (command.workPeriodStart)
            hours.workPeriodStart = command.workPeriodStart;
        schedule.overrideHoursSettings(hours);
    }
    const QString text = HoursReportText(report, schedule);
    if (!schedule.problem().isEmpty())
        return fail(ExitCode::WriteFailed, schedule.problem());
    QString error;
    if (!WriteOutput(QString::fromLatin1(StandardOutputName), text.toUtf8(), &error))
        return fail(ExitCode::WriteFailed, error);
    // Entries the lists leave out are never left out in silence.
    const QString notCounted = NotCountedText(HoursReportNotCounted(report, schedule));
    if (!notCounted.isEmpty())
        writeLine(stderr, QStringLiteral("tourwise: ") + notCounted);
    return static_cast<int>(ExitCode::Done);
}

int printBalances(const CommandLine& command, const StoredSettings& settings) {
    const int year = command.year.value_or(currentYear());
    QString refusal;
    const std::optional<DaySpan> range =
        rangeOf(command, {serialFromYmd(year, 1, 1), serialFromYmd(year, 12, 31)}, &refusal);
    if (!range)
        return fail(ExitCode::BadUsage, refusal);
    UserDays days(settings);
    if (!days.problem().isEmpty())
        return fail(ExitCode::WriteFailed, days.problem());
    const HoursTable table = bankTable(days.schedule().banks().rows(range->first, range->last));
    if (!days.schedule().problem().isEmpty())
        return fail(ExitCode::WriteFailed, days.schedule().problem());
    QString error;
    if (!WriteOutput(QString::fromLatin1(StandardOutputName),
                     (command.csv ? csvText(table) : alignedText(table)).toUtf8(), &error))
        return fail(ExitCode::WriteFailed, error);
    return static_cast<int>(ExitCode::Done);
}

int publish(const CommandLine& command, const StoredSettings& settings) {
    QString refusal;
    const std::optional<DaySpan> range = rangeOf(command, DefaultCalendarRange(today()), &refusal);
    if (!range)
        return fail(ExitCode::BadUsage, refusal);
    UserDays days(settings);
    if (!days.problem().isEmpty())
        return fail(ExitCode::WriteFailed, days.problem());
    if (!applyWhatIf(command, days.schedule(), *range))
        return fail(ExitCode::BadUsage,
                    QStringLiteral("--publish needs a sub-group: the settings have none, give "
                                   "--assignment A1 ... B7"));
    PublishRequest request;
    request.address = command.target;
    request.user = command.user;
    request.passwordFile = command.passwordFile;
    request.caFile = command.caFile;
    request.calendar = calendarRequest(command, settings, days.schedule(), *range);
    const PublishOutcome outcome = PublishFromCommandLine(request, days.store());
    if (!outcome.ok)
        return fail(outcome.wrongUse ? ExitCode::BadUsage : ExitCode::WriteFailed, outcome.line);
    writeLine(stdout, outcome.line);
    return static_cast<int>(ExitCode::Done);
}

int listAssignments(const CommandLine& command, const StoredSettings& settings) {
    UserDays days(settings);
    if (!days.problem().isEmpty())
        return fail(ExitCode::WriteFailed, days.problem());
    const HoursTable table = assignmentTable(days.schedule().history().spans());
    if (!days.schedule().problem().isEmpty())
        return fail(ExitCode::WriteFailed, days.schedule().problem());
    QString error;
    if (!WriteOutput(QString::fromLatin1(StandardOutputName),
                     (command.csv ? csvText(table) : alignedText(table)).toUtf8(), &error))
        return fail(ExitCode::WriteFailed, error);
    return static_cast<int>(ExitCode::Done);
}

int changeAssignment(const CommandLine& command, const StoredSettings& settings) {
    const QString path = settingsFilePath(resolveSettingsFolder(userConfigFolder()));
    const QString current = assignmentItems().at(assignmentIndex(settings.assignment));
    const QString& next = command.newAssignment;
    if (next == current) {
        writeLine(stdout,
                  QStringLiteral("%1 is your assignment already; nothing changed.").arg(next));
        return static_cast<int>(ExitCode::Done);
    }
    UserDays days(settings);
    if (!days.problem().isEmpty())
        return fail(ExitCode::WriteFailed, days.problem());
    const AssignmentHistory before = days.schedule().history();
    if (!days.schedule().problem().isEmpty())
        return fail(ExitCode::WriteFailed, days.schedule().problem());
    // A first choice of group changes nothing that came before: every day was without one.
    const bool firstChoice = !IsSubGroup(current) && !before.hasChanges();
    const AssignmentHistory after =
        firstChoice ? before.correctedTo(next) : before.changedTo(next, *command.effective);
    if (after.earlier() != before.earlier()) {
        const StoreResult stored = days.store().setEarlierAssignments(after.earlier());
        if (!stored.ok)
            return fail(ExitCode::WriteFailed, stored.error);
    }
    // The member's days read differently now: a calendar must take them as updates.
    if (!firstChoice)
        if (const StoreResult raised = days.store().raiseDutySequence(); !raised.ok)
            return fail(ExitCode::WriteFailed, raised.error);
    if (!saveAssignment(path, next, QLocale::system())) {
        // The days file goes back, so the two files never tell different stories.
        days.store().setEarlierAssignments(before.earlier());
        return fail(ExitCode::WriteFailed, QStringLiteral("Unable to write to %1").arg(path));
    }
    const QList<AssignmentSpan> spans = after.spans();
    QString line = QStringLiteral("%1 is your assignment").arg(next);
    if (spans.size() > 1) {
        const AssignmentSpan& previous = spans[spans.size() - 2];
        line += QStringLiteral(" from %1 (%2 until %3)")
                    .arg(isoDay(*spans.last().first), previous.assignment, isoDay(*previous.last));
    }
    writeLine(stdout, line + u'.');
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

struct Application {
    // The runtime folder that a GUI application looks into at start; it warns on stderr when
    // none is set, as from cron or a bare terminal. A private one lives as long as the run.
    std::unique_ptr<QTemporaryDir> runtimeFolder;
    std::unique_ptr<QCoreApplication> application;
};

// Fonts need a GUI application; a command line must work without a display, so it never uses one.
Application applicationFor(int& argc, char** argv) {
    Application made;
    if (!asksForSheet(argc, argv)) {
        made.application = std::make_unique<QCoreApplication>(argc, argv);
        return made;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
        made.runtimeFolder = std::make_unique<QTemporaryDir>();
        if (made.runtimeFolder->isValid())
            qputenv("XDG_RUNTIME_DIR", QFile::encodeName(made.runtimeFolder->path()));
    }
    made.application = std::make_unique<QGuiApplication>(argc, argv);
    return made;
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
    refuseRepeats(parser, checks);
    parseAction(parser, command, checks);
    checks.onlyWith(parser, FromOption, RangeActions);
    checks.onlyWith(parser, ToOption, RangeActions);
    checks.onlyWith(parser, YearOption, YearActions);
    checks.onlyWith(parser, MonthOption, {PrintOption});
    checks.onlyWith(parser, CsvOption, TableActions);
    for (const QString& option : {ShiftStartOption, WorkPeriodDaysOption, WorkPeriodStartOption})
        checks.onlyWith(parser, option, HoursActions);
    if (command.action == CommandLine::Action::Window && parser.isSet(AssignmentOption))
        checks.fail(QStringLiteral("--assignment goes with an action such as --export-ics or "
                                   "--print-pdf"));
    if (parser.isSet(YearOption) && (parser.isSet(FromOption) || parser.isSet(ToOption)))
        checks.fail(QStringLiteral("give --year or --from and --to, not both"));
    if (parser.isSet(FromOption))
        command.from = parseDay(parser.value(FromOption), FromOption, checks);
    if (parser.isSet(ToOption))
        command.to = parseDay(parser.value(ToOption), ToOption, checks);
    parseYearAndMonth(parser, command, checks);
    parseAssignment(parser, command, checks);
    parseAssignmentChange(parser, command, checks);
    parseHoursSettings(parser, command, checks);
    parseContents(parser, command, checks);
    parseDaysOptions(parser, command, checks);
    return command;
}

std::optional<int> RunCommandLine(int& argc, char** argv) {
    if (argc <= 1)
        return std::nullopt;
    const Application application = applicationFor(argc, argv);
    QCoreApplication::setApplicationName(QString::fromLatin1(ProductName));
    QCoreApplication::setApplicationVersion(QString::fromLatin1(ProductVersion));
    QCoreApplication::setOrganizationName(QString::fromLatin1(OrganizationName));
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
                    QStringLiteral("nothing to do: give --export-ics FILE, --print-pdf FILE, "
                                   "--hours, --work-periods, --trades, --export-days FILE, "
                                   "--import-days FILE, --assignments, --change-assignment "
                                   "GROUP, --balances or --publish URL"));
    default:
        break;
    }
    const StoredSettings settings = loadSettings(storedSettingsPath(), QLocale::system());
    switch (command.action) {
    case CommandLine::Action::ExportDays:
        return ExportDaysFile(command.target, settings);
    case CommandLine::Action::ImportDays:
        return ImportDaysFile(command.target, settings);
    case CommandLine::Action::ExportCalendar:
        return exportCalendar(command, settings);
    case CommandLine::Action::PrintPdf:
        return printPdf(command, settings);
    case CommandLine::Action::ListAssignments:
        return listAssignments(command, settings);
    case CommandLine::Action::ChangeAssignment:
        return changeAssignment(command, settings);
    case CommandLine::Action::Balances:
        return printBalances(command, settings);
    case CommandLine::Action::Publish:
        return publish(command, settings);
    default:
        return printHours(command, settings);
    }
}
