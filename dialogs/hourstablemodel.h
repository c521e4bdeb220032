// One list of hours (pay periods, work periods or trades) as a read-only table model: the rows
// the command line prints, under titles for people.
#pragma once

#include "days/hourstable.h"

#include <QAbstractTableModel>
#include <QStringList>

class HoursTableModel : public QAbstractTableModel {
    Q_OBJECT

public:
    HoursTableModel(const QStringList& titles, QObject* parent = nullptr);

    void setTable(const HoursTable& table);
    const HoursTable& table() const { return m_table; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    QStringList m_titles;
    HoursTable m_table;
};
