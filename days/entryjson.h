// The user's entries as a JSON file, to keep or to carry to another machine:
// {"format": "tourwise-days", "version": 1, "entries": [...]}, one entry a line, sorted by date
// and id, so that the same entries always give the same bytes.
#pragma once

#include "days/dayentry.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

inline constexpr int DaysJsonVersion = 1;

QByteArray entriesToJson(QList<DayEntry> entries);

// The entries of the file, or none with one sentence in `error` that names the entry (its
// place in the file, and its id when it has one) and the field that is wrong.
std::optional<QList<DayEntry>> entriesFromJson(const QByteArray& json, QString* error);
