// What a day opens into: the entry form at once for a day without entries, the day's list for a
// day with some, and the entry form for a new entry of a chosen kind. Every entry made or changed
// goes through the rules of entries first, then through `editing` as an undoable step.
#pragma once

#include "days/schedule.h"
#include "editor/dayediting.h"

#include <optional>

class EntryForm;
class QDialog;
class QWidget;

// Opened with `parent` below it and deleted when closed; none when one is open already.
QDialog* openDay(DayEditing& editing, const Schedule& schedule, DateSerial day, QWidget* parent);
// Without a kind, the one most often recorded on such a day.
EntryForm* openNewEntry(DayEditing& editing, const Schedule& schedule, DateSerial day,
                        std::optional<EntryKind> kind, QWidget* parent);
// The form for `before` (a new entry when its id is null).
EntryForm* openEntryForm(DayEditing& editing, const Schedule& schedule, const DayEntry& before,
                         QWidget* parent);

// A day's list or an entry form is open over `parent`.
bool dayDialogOpen(const QWidget* parent);

// A trade of the own shift on a duty day, else extra work.
EntryKind likeliestKind(const DayFacts& day);
