// --export-days and --import-days: the user's own entries as their JSON form, without a window.
// Each returns the program's exit status and prints at most one line.
#pragma once

#include <QString>

// Writes every entry to `target` ("-": standard output), whole or not at all.
int ExportDaysFile(const QString& target);
// Merges the entries of `source` ("-": standard input) into the store, all or nothing.
int ImportDaysFile(const QString& source);
