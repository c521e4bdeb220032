// "Hours…": the pay periods of a year, the FLSA work periods with their overtime and the trade
// ledger, the three hours settings, and "Save as CSV…" with the command line's CSV.
#pragma once

#include "core/dateserial.h"
#include "days/hours.h"

#include <QDialog>

class EntryStore;
class HoursTableModel;
class QDateEdit;
class QLabel;
class QSpinBox;
class QTabWidget;
class QTableView;
class QTimeEdit;

struct HoursContext {
    QString assignment;
    DateSerial payPeriodStart = 0;
    DateSerial selectedDay = 0; // the dialog opens on the periods holding it
};

class HoursDialog : public QDialog {
    Q_OBJECT

public:
    HoursDialog(EntryStore& store, const HoursContext& context, QWidget* parent = nullptr);

    // The year whose periods are shown: those whose first day lies in it.
    int year() const;

private:
    void refresh();
    void storeSettings();
    void saveCsv();
    HoursBasis basis() const;

    EntryStore& m_store;
    HoursContext m_context;
    QSpinBox* m_year = nullptr;
    QTabWidget* m_lists = nullptr;
    QTableView* m_payPeriodView = nullptr;
    QTableView* m_workPeriodView = nullptr;
    QTableView* m_tradeView = nullptr;
    HoursTableModel* m_payPeriods = nullptr;
    HoursTableModel* m_workPeriods = nullptr;
    HoursTableModel* m_trades = nullptr;
    QTimeEdit* m_shiftStart = nullptr;
    QSpinBox* m_workPeriodDays = nullptr;
    QDateEdit* m_workPeriodStart = nullptr;
    QLabel* m_problem = nullptr;
};

// Opens the dialog over `parent` and returns it at once; it deletes itself when closed.
HoursDialog* OpenHoursDialog(QWidget* parent, EntryStore& store, const HoursContext& context);
