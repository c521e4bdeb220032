#include "dialogs/hourstablemodel.h"

HoursTableModel::HoursTableModel(const QStringList& titles, QObject* parent)
    : QAbstractTableModel(parent), m_titles(titles) {}

void HoursTableModel::setTable(const HoursTable& table) {
    beginResetModel();
    m_table = table;
    endResetModel();
}

int HoursTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_table.rows.size());
}

int HoursTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_titles.size());
}

QVariant HoursTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= columnCount())
        return {};
    const QStringList& row = m_table.rows[index.row()];
    switch (role) {
    case Qt::DisplayRole:
        return row.value(index.column());
    case Qt::TextAlignmentRole: {
        const bool numeric = m_table.numeric.value(index.column());
        return QVariant::fromValue((numeric ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
    }
    default:
        return {};
    }
}

QVariant HoursTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal)
        return QAbstractTableModel::headerData(section, orientation, role);
    return m_titles.value(section);
}
