#include "editor/daydialogs.h"

#include "days/entryrules.h"
#include "days/partnernames.h"
#include "editor/dayeditor.h"
#include "editor/entryform.h"

namespace {

QString submit(DayEditing& editing, const Schedule& schedule, const DayEntry& before,
               const DayEntry& candidate) {
    const QString refusal = EntryRefusal(candidate, schedule.day(candidate.date));
    if (!refusal.isEmpty())
        return refusal;
    const StoreResult result =
        before.id.isNull() ? editing.add(candidate) : editing.change(before, candidate);
    return result.ok ? QString() : result.error;
}

} // namespace

QDialog* openDay(DayEditing& editing, const Schedule& schedule, DateSerial day, QWidget* parent) {
    if (dayDialogOpen(parent))
        return nullptr;
    // A file that cannot be used is explained in the list, which refuses every change.
    const bool usable = editing.store().status() != EntryStore::Status::Unavailable;
    if (usable && !schedule.day(day).hasEntries())
        return openNewEntry(editing, schedule, day, std::nullopt, parent);
    auto* editor = new DayEditor(editing, schedule, day, parent);
    editor->setAttribute(Qt::WA_DeleteOnClose);
    editor->open();
    return editor;
}

EntryForm* openNewEntry(DayEditing& editing, const Schedule& schedule, DateSerial day,
                        std::optional<EntryKind> kind, QWidget* parent) {
    if (dayDialogOpen(parent))
        return nullptr;
    DayEntry fresh;
    fresh.date = day;
    fresh.kind = kind.value_or(likeliestKind(schedule.day(day)));
    return openEntryForm(editing, schedule, fresh, parent);
}

EntryForm* openEntryForm(DayEditing& editing, const Schedule& schedule, const DayEntry& before,
                         QWidget* parent) {
    const DayFacts& day = schedule.day(before.date);
    auto* form = new EntryForm(
        before, shiftOf(day), recentPartnerNames(schedule.daysWithEntries()),
        [&editing, &schedule, before](const DayEntry& candidate) {
            return submit(editing, schedule, before, candidate);
        },
        parent);
    form->setAttribute(Qt::WA_DeleteOnClose);
    form->open();
    return form;
}

bool dayDialogOpen(const QWidget* parent) {
    // A closed dialog lingers until its deletion runs.
    for (const QDialog* dialog : parent->findChildren<QDialog*>(Qt::FindDirectChildrenOnly))
        if ((qobject_cast<const DayEditor*>(dialog) || qobject_cast<const EntryForm*>(dialog)) &&
            dialog->isVisible())
            return true;
    return false;
}

EntryKind likeliestKind(const DayFacts& day) {
    return day.ownDuty ? EntryKind::TradeOut : EntryKind::Overtime;
}
