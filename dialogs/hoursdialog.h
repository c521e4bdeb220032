// "Hours…": the pay periods of a year, the FLSA work periods with their overtime and the trade
// ledger, the three hours settings, and "Save as CSV…" with the command line's CSV.
#pragma once

#include "core/dateserial.h"
#include "days/hours.h"
#include "dialogs/leavetab.h"

#include <QDialog>

class HoursTableModel;
class Schedule;
class QDateEdit;
class QLabel;
class QSpinBox;
class QTabWidget;
class QTableView;
class QTimeEdit;

class HoursDialog : public QDialog {
    Q_OBJECT

public:
    // Opens on the periods holding `selectedDay`.
    // `changeBanks` stores the banks' set-ups as one undoable step; without it they are shown
    // only.
    HoursDialog(const Schedule& schedule, DateSerial selectedDay, QWidget* parent = nullptr,
                LeaveTab::ChangeBanks changeBanks = {});

    // The year whose periods are shown: every one that holds a day of it.
    int year() const;

signals:
    // "Save as CSV…" wrote the file.
    void fileSaved(const QString& path);

private:
    void refresh();
    void storeSettings();
    void saveCsv();
    const Schedule& m_schedule;
    QSpinBox* m_year = nullptr;
    QTabWidget* m_lists = nullptr;
    QTableView* m_payPeriodView = nullptr;
    QTableView* m_workPeriodView = nullptr;
    QTableView* m_tradeView = nullptr;
    LeaveTab* m_leave = nullptr;
    HoursTableModel* m_payPeriods = nullptr;
    HoursTableModel* m_workPeriods = nullptr;
    HoursTableModel* m_trades = nullptr;
    QTimeEdit* m_shiftStart = nullptr;
    QSpinBox* m_workPeriodDays = nullptr;
    QDateEdit* m_workPeriodStart = nullptr;
    QLabel* m_problem = nullptr;
    QLabel* m_notCounted = nullptr;
};

// Opens the dialog over `parent` and returns it at once; it deletes itself when closed.
HoursDialog* OpenHoursDialog(QWidget* parent, const Schedule& schedule, DateSerial selectedDay,
                             LeaveTab::ChangeBanks changeBanks = {});
