// The command line: write the calendar file or a sheet as PDF, print the hours, export or
// import the user's own days, list or change the assignment over time, without opening a window,
// or show the help or the version. With no arguments the window starts as usual.
#pragma once

#include "core/dateserial.h"

#include <QString>
#include <QStringList>

#include <optional>

enum class ExitCode { Done = 0, WriteFailed = 1, BadUsage = 2 };

struct CommandLine {
    enum class Action {
        Window,
        Help,
        Version,
        ExportCalendar,
        PrintPdf,
        ExportDays,
        ImportDays,
        PayPeriodHours,
        WorkPeriodHours,
        TradeLedger,
        ListAssignments,
        ChangeAssignment,
        Balances,
        Publish
    };
    Action action = Action::Window;
    QString target; // the file to write (to read for ImportDays); "-" for the standard stream
    QString newAssignment; // ChangeAssignment: the group
    // Publish: the account, the password's file and an authority to trust besides the system's.
    QString user;
    QString passwordFile;
    QString caFile;
    std::optional<DateSerial> effective; // ChangeAssignment: its first day
    std::optional<DateSerial> from;
    std::optional<DateSerial> to;
    std::optional<int> year;
    std::optional<int> month; // with `year`, from --month YYYY-MM
    std::optional<QString> assignment;
    // The hours lists: CSV instead of a table, and the stored hours settings overridden.
    bool csv = false;
    std::optional<int> shiftStart;
    std::optional<int> workPeriodDays;
    std::optional<DateSerial> workPeriodStart;
    // What the calendar file or the sheet shows; the overlays default to the stored switches.
    std::optional<bool> paydays;
    std::optional<bool> payPeriods;
    bool timedShifts = false; // --export-ics
    bool onlyMyDays = false;  // --print-pdf
    QString error;            // one line for the user when the arguments are wrong
};

// Reads the program's arguments (the program name first). Only checks their form and how they go
// together; settings and today's date are applied when the action runs.
CommandLine ParseCommandLine(const QStringList& arguments);

// Runs what the arguments ask for and returns the exit code, or nothing when there are no
// arguments and the window is to start. Creates the application object the action needs.
std::optional<int> RunCommandLine(int& argc, char** argv);
