// Changes to the user's entries as undoable steps: each step is stored at once, and so is each
// undo and redo. A step the store refuses on undo or redo is reported and dropped from the
// history, so the history never claims what the file does not hold.
#pragma once

#include "days/entrystore.h"

#include <QObject>
#include <QUndoStack>

#include <optional>

class DayEditing : public QObject {
    Q_OBJECT

public:
    explicit DayEditing(EntryStore& store, QObject* parent = nullptr);

    EntryStore& store() { return m_store; }
    QUndoStack* history() { return &m_history; }

    StoreResult add(const DayEntry& entry);
    StoreResult change(const DayEntry& before, const DayEntry& after);
    StoreResult remove(const DayEntry& entry);

signals:
    // An undo or redo that the store refused, in one sentence.
    void refused(const QString& message);

private:
    friend class EntryStep;
    // Takes the file from `from` (none: the entry is absent) to `to` (none: remove it).
    StoreResult apply(const std::optional<DayEntry>& from, const std::optional<DayEntry>& to);

    EntryStore& m_store;
    QUndoStack m_history;
};
