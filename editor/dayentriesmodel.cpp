#include "editor/dayentriesmodel.h"

#include "days/daytext.h"
#include "days/hours.h"

void DayEntriesModel::setDay(const DayFacts& day) {
    beginResetModel();
    m_day = day;
    endResetModel();
}

int DayEntriesModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_day.entries.size());
}

int DayEntriesModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant DayEntriesModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const DayEntry& entry = m_day.entries.at(index.row());
    const bool fits = m_day.fits.value(index.row(), true);
    if (role == Qt::AccessibleTextRole || (role == Qt::ToolTipRole && !fits)) {
        QString phrase = EntryPhrase(entry, entryMinutes(entry, m_day));
        if (!fits)
            phrase += QStringLiteral(" (does not fit this day)");
        return phrase;
    }
    if (role != Qt::DisplayRole)
        return {};
    switch (index.column()) {
    case Kind:
        return fits ? EntryKindTitle(entry.kind)
                    : QStringLiteral("! ") + EntryKindTitle(entry.kind);
    case Hours:
        if (entry.kind == EntryKind::Note)
            return QString();
        return hoursText(entryMinutes(entry, m_day)) +
               (entry.start ? QStringLiteral(" from ") + clockText(*entry.start) : QString());
    case Details: {
        QStringList parts;
        if (!entry.with.isEmpty())
            parts << entry.with;
        if (entry.kind == EntryKind::Leave && entry.leaveType != LeaveType::None)
            parts << LeaveTypeTitle(entry.leaveType);
        if (!entry.note.isEmpty())
            parts << entry.note;
        return parts.join(QStringLiteral(" \u00b7 "));
    }
    default:
        return {};
    }
}

QVariant DayEntriesModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    switch (section) {
    case Kind:
        return QStringLiteral("Entry");
    case Hours:
        return QStringLiteral("Hours");
    case Details:
        return QStringLiteral("With / note");
    default:
        return {};
    }
}
