// The Hours dialog's Leave tab: the banks as set up, which the user sets up, changes and
// removes (each change one step for undo), and their rows by pay period for the dialog's year,
// the projected ones set apart.
#pragma once

#include "days/banksetup.h"
#include "days/entrystore.h"
#include "days/hourstable.h"

#include <QWidget>

#include <functional>

class HoursTableModel;
class QLabel;
class QPushButton;
class QTableView;
class Schedule;

class LeaveTab : public QWidget {
    Q_OBJECT

public:
    // Stores the set-ups given as one undoable step, named by the text; empty without a store.
    using ChangeBanks = std::function<StoreResult(const QList<BankSetup>& after, const QString&)>;

    LeaveTab(const Schedule& schedule, ChangeBanks changeBanks, QWidget* parent = nullptr);

    // The rows of the pay periods that hold a day of the year.
    void showYear(int year);
    // What Save as CSV writes: the command line's table.
    HoursTable table() const;
    QTableView* rowsView() const { return m_rowsView; }

private:
    void setUp(int row);
    void removeSelected();
    void refreshSetups();

    const Schedule& m_schedule;
    ChangeBanks m_changeBanks;
    int m_year = 0;
    HoursTableModel* m_setups = nullptr;
    HoursTableModel* m_rows = nullptr;
    QTableView* m_setupView = nullptr;
    QTableView* m_rowsView = nullptr;
    QPushButton* m_change = nullptr;
    QPushButton* m_remove = nullptr;
    QLabel* m_projected = nullptr;
    QLabel* m_problem = nullptr;
};
