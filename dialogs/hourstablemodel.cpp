#include "dialogs/hourstablemodel.h"

#include "core/localformat.h"

#include <QDate>

HoursTableModel::HoursTableModel(const QList<HoursColumn>& columns, const QLocale& locale,
                                 QObject* parent)
    : QAbstractTableModel(parent), m_columns(columns), m_locale(locale) {}

void HoursTableModel::setTable(const HoursTable& table) {
    beginResetModel();
    m_table = table;
    m_shown = table.rows;
    for (QStringList& row : m_shown) {
        for (qsizetype column = 0; column < row.size(); ++column) {
            if (!m_table.dates.value(column))
                continue;
            const QDate day = QDate::fromString(row[column], Qt::ISODate);
            if (day.isValid())
                row[column] = shortDateText(m_locale, serialFromQDate(day));
        }
    }
    endResetModel();
}

int HoursTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_shown.size());
}

int HoursTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_columns.size());
}

QVariant HoursTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= columnCount())
        return {};
    switch (role) {
    case Qt::DisplayRole:
        return m_shown[index.row()].value(index.column());
    case Qt::TextAlignmentRole: {
        const bool numeric = m_table.numeric.value(index.column());
        return QVariant::fromValue((numeric ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
    }
    default:
        return {};
    }
}

QVariant HoursTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= m_columns.size())
        return QAbstractTableModel::headerData(section, orientation, role);
    if (role == Qt::DisplayRole)
        return m_columns[section].title;
    if (role == Qt::ToolTipRole)
        return m_columns[section].tip;
    return QAbstractTableModel::headerData(section, orientation, role);
}
