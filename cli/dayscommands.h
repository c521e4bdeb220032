// --export-days and --import-days: the user's own days as their JSON form, without a window.
// Each returns the program's exit status and prints at most one line, or three on a refusal.
#pragma once

#include "settings/settingsfile.h"

#include <QString>

// Writes every entry and the earlier assignments to `target` ("-": standard output), whole or
// not at all.
int ExportDaysFile(const QString& target, const StoredSettings& settings);
// Merges the entries of `source` ("-": standard input) into the store, and replaces the earlier
// assignments where the file has them: all or nothing, and nothing when an entry would not fit
// its day.
int ImportDaysFile(const QString& source, const StoredSettings& settings);
