// One list of hours (pay periods, work periods or trades) as a read-only table model: the rows
// the command line prints, under titles for people, with a tip that says what each column
// counts, and the days in the locale's short form.
#pragma once

#include "days/hourstable.h"

#include <QAbstractTableModel>
#include <QList>
#include <QLocale>
#include <QString>

struct HoursColumn {
    QString title;
    QString tip; // the column's header tooltip: what it counts
};

class HoursTableModel : public QAbstractTableModel {
    Q_OBJECT

public:
    HoursTableModel(const QList<HoursColumn>& columns, const QLocale& locale,
                    QObject* parent = nullptr);

    // The table as the CSV has it: days in ISO 8601.
    void setTable(const HoursTable& table);
    const HoursTable& table() const { return m_table; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    QList<HoursColumn> m_columns;
    QLocale m_locale;
    HoursTable m_table;
    QList<QStringList> m_shown; // the rows as the view shows them
};
