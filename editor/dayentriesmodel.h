// The entries of one day as a table: kind, hours, who or what, and whether each still fits.
#pragma once

#include "days/dayfacts.h"

#include <QAbstractTableModel>

class DayEntriesModel : public QAbstractTableModel {
    Q_OBJECT

public:
    enum Column { Kind, Hours, Details, ColumnCount };

    using QAbstractTableModel::QAbstractTableModel;

    void setDay(const DayFacts& day);
    const DayEntry& entryAt(int row) const { return m_day.entries.at(row); }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    DayFacts m_day;
};
