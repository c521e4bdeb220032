// The command line: write the calendar file or a sheet as PDF without opening a window, export
// or import the user's own entries, or show the help or the version. With no arguments the window
// starts as usual.
#pragma once

#include "core/dateserial.h"

#include <QString>
#include <QStringList>

#include <optional>

enum class ExitCode { Done = 0, WriteFailed = 1, BadUsage = 2 };

struct CommandLine {
    enum class Action { Window, Help, Version, ExportCalendar, PrintPdf, ExportDays, ImportDays };
    Action action = Action::Window;
    QString target; // the file to write (to read for ImportDays)
    std::optional<DateSerial> from;
    std::optional<DateSerial> to;
    std::optional<int> year;
    std::optional<int> month; // with `year`, from --month YYYY-MM
    std::optional<QString> assignment;
    QString error; // one line for the user when the arguments are wrong
};

// Reads the program's arguments (the program name first). Only checks their form and how they go
// together; settings and today's date are applied when the action runs.
CommandLine ParseCommandLine(const QStringList& arguments);

// Runs what the arguments ask for and returns the exit code, or nothing when there are no
// arguments and the window is to start. Creates the application object the action needs.
std::optional<int> RunCommandLine(int& argc, char** argv);
