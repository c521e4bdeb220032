// Changes to the user's days as undoable steps: an entry added, changed or removed, or the
// assignment history changed. Each step is stored at once, and so is each undo and redo. A step
// the store refuses on undo or redo is reported and dropped from the history, so the history
// never claims what the file does not hold.
#pragma once

#include "days/assignmenthistory.h"
#include "days/entrystore.h"

#include <QObject>
#include <QUndoStack>

#include <functional>
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

    // Where the current assignment lives (the settings file and the Settings page): the window
    // writes it there, or says in one sentence why it could not.
    using CurrentAssignmentWriter = std::function<QString(const QString& assignment)>;
    void setCurrentAssignmentWriter(CurrentAssignmentWriter writer);
    // From `before` to `after` as one step: the earlier assignments in the days file, then the
    // current one through the writer when it changes. Nothing changes when either refuses.
    StoreResult changeAssignments(const AssignmentHistory& before, const AssignmentHistory& after,
                                  const QString& text);
    // The banks' set-ups from `before` to `after` as one step.
    StoreResult changeBankSetups(const QList<BankSetup>& before, const QList<BankSetup>& after,
                                 const QString& text);

    // The same step, made already (Save writes the settings file itself), for undo and redo.
    void recordAssignmentChange(const AssignmentHistory& before, const AssignmentHistory& after,
                                const QString& text);

signals:
    // An undo or redo that the store refused, in one sentence.
    void refused(const QString& message);

private:
    template <typename Value> friend class StoredStep;
    // Takes the file from `from` (none: the entry is absent) to `to` (none: remove it).
    StoreResult apply(const std::optional<DayEntry>& from, const std::optional<DayEntry>& to);
    StoreResult apply(const AssignmentHistory& from, const AssignmentHistory& to);
    StoreResult apply(const QList<BankSetup>& from, const QList<BankSetup>& to);

    CurrentAssignmentWriter m_writeCurrent;
    EntryStore& m_store;
    QUndoStack m_history;
};
