// The user's days as a JSON file, to keep or to carry to another machine:
// {"format": "tourwise-days", "version": 3, "assignmentHistory": [...], "banks": [...],
// "entries": [...]}, one entry a line, sorted by date and id, so that the same days always give
// the same bytes. Files of versions 1 (entries only) and 2 (no banks) are still read.
#pragma once

#include "days/assignmenthistory.h"
#include "days/banksetup.h"
#include "days/dayentry.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>

#include <optional>

inline constexpr int DaysJsonVersion = 3;

struct DaysFile {
    QList<DayEntry> entries;
    // The earlier assignments, each with its last day, where the file has them.
    std::optional<QList<AssignmentPeriod>> assignmentHistory;
    // The banks' set-ups as the file states them, to be checked against the pay periods.
    QList<BankSetupInput> banks;
};

QByteArray daysToJson(QList<DayEntry> entries, const QList<AssignmentPeriod>& assignmentHistory,
                      const QList<BankSetup>& banks = {});

// What the file holds, or none with one sentence in `error` that names the entry (its place in
// the file, and its id when it has one) or the assignment, and the field that is wrong. An entry
// without "modified" gets `importTime`.
std::optional<DaysFile> daysFromJson(const QByteArray& json, QString* error,
                                     const QDateTime& importTime = {});
