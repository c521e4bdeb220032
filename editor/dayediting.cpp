#include "editor/dayediting.h"

#include "core/localformat.h"
#include "days/dayentry.h"

#include <QUndoCommand>

// One undoable change of the store: the change itself is stored before the step is made, so the
// first redo does nothing; undo and redo after it go through DayEditing::apply, and a step the
// store refuses is dropped with the reason said.
template <typename Value> class StoredStep : public QUndoCommand {
public:
    StoredStep(DayEditing& editing, Value before, Value after, const QString& text)
        : QUndoCommand(text), m_editing(editing), m_before(std::move(before)),
          m_after(std::move(after)) {}

    void redo() override {
        if (m_done) {
            m_done = false;
            return;
        }
        run(m_before, m_after);
    }
    void undo() override { run(m_after, m_before); }

private:
    void run(const Value& from, const Value& to) {
        const StoreResult result = m_editing.apply(from, to);
        if (result.ok)
            return;
        setObsolete(true);
        emit m_editing.refused(result.error);
    }

    DayEditing& m_editing;
    Value m_before;
    Value m_after;
    bool m_done = true;
};

using EntryStep = StoredStep<std::optional<DayEntry>>;
using AssignmentStep = StoredStep<AssignmentHistory>;
using BanksStep = StoredStep<QList<BankSetup>>;

namespace {

QString stepText(const QString& verb, const DayEntry& entry) {
    return verb + QLatin1Char(' ') + EntryKindTitle(entry.kind).toLower() + QLatin1String(" on ") +
           shortDateText(QLocale(), entry.date);
}

} // namespace

DayEditing::DayEditing(EntryStore& store, QObject* parent) : QObject(parent), m_store(store) {}

StoreResult DayEditing::add(const DayEntry& entry) {
    DayEntry stored;
    const StoreResult result = m_store.add(entry, &stored);
    if (result.ok)
        m_history.push(new EntryStep(*this, std::nullopt, stored, stepText("Add", stored)));
    return result;
}

StoreResult DayEditing::change(const DayEntry& before, const DayEntry& after) {
    // Copied first: the store's change signal makes the views reload what the caller may have
    // handed in by reference.
    const DayEntry earlier = before;
    DayEntry stored;
    const StoreResult result = m_store.change(after, &stored);
    if (result.ok)
        m_history.push(new EntryStep(*this, earlier, stored, stepText("Change", stored)));
    return result;
}

StoreResult DayEditing::remove(const DayEntry& entry) {
    const DayEntry removed = entry; // as in change()
    const StoreResult result = m_store.remove(removed.id);
    if (result.ok)
        m_history.push(new EntryStep(*this, removed, std::nullopt, stepText("Delete", removed)));
    return result;
}

StoreResult DayEditing::apply(const std::optional<DayEntry>& from,
                              const std::optional<DayEntry>& to) {
    if (!to)
        return m_store.remove(from->id);
    if (!from)
        return m_store.restore(*to);
    // Going back is a change of its own: the revision goes up, so that a merge of an older export
    // never takes the undone state for the newer one.
    return m_store.change(*to);
}

void DayEditing::setCurrentAssignmentWriter(CurrentAssignmentWriter writer) {
    m_writeCurrent = std::move(writer);
}

StoreResult DayEditing::changeAssignments(const AssignmentHistory& before,
                                          const AssignmentHistory& after, const QString& text) {
    const StoreResult result = apply(before, after);
    if (result.ok)
        m_history.push(new AssignmentStep(*this, before, after, text));
    return result;
}

StoreResult DayEditing::changeBankSetups(const QList<BankSetup>& before,
                                         const QList<BankSetup>& after, const QString& text) {
    const StoreResult result = apply(before, after);
    if (result.ok)
        m_history.push(new BanksStep(*this, before, after, text));
    return result;
}

StoreResult DayEditing::apply(const QList<BankSetup>&, const QList<BankSetup>& to) {
    return m_store.setBankSetups(to);
}

void DayEditing::recordAssignmentChange(const AssignmentHistory& before,
                                        const AssignmentHistory& after, const QString& text) {
    m_history.push(new AssignmentStep(*this, before, after, text));
}

StoreResult DayEditing::apply(const AssignmentHistory& from, const AssignmentHistory& to) {
    if (to.earlier() != from.earlier())
        if (const StoreResult stored = m_store.setEarlierAssignments(to.earlier()); !stored.ok)
            return stored;
    // The member's days read differently: a calendar must take them as updates.
    if (const StoreResult raised = m_store.raiseDutySequence(); !raised.ok)
        return raised;
    if (to.current() == from.current() || !m_writeCurrent)
        return {};
    if (const QString refused = m_writeCurrent(to.current()); !refused.isEmpty()) {
        // The days file goes back, so the two files never tell different stories.
        m_store.setEarlierAssignments(from.earlier());
        return {false, refused};
    }
    return {};
}
