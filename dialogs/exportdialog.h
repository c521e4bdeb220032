// "Export to calendar (.ics)…": the assignment, the range and what to include, then a file name;
// the file is written by export/calendarfile.h.
#pragma once

#include "export/calendarfile.h"

#include <QDialog>

#include <functional>

class QCheckBox;
class QComboBox;
class QDateEdit;
class QPushButton;

// What the dialog starts from: the Calendar page's switches and title.
struct CalendarExportChoices {
    bool paydays = false;
    bool payPeriodStarts = false;
    QString agency;
    DateSerial today = 0;
};

// The file kept up to date, which the window fills; none by default.
struct KeptCalendar {
    // The file kept up to date, or empty, and where the dialog stores a new choice (an empty
    // path switches it off); without the function the check box is not offered.
    QString file;
    bool timedShifts = false; // the kept file's duty days are timed
    std::function<void(const QString& path, bool timedShifts)> setFile;
};

class ExportCalendarDialog : public QDialog {
    Q_OBJECT

public:
    // The file follows the schedule, assignment history included; another group chosen in the
    // dialog is written as if it held on every day. With `publish`, the dialog offers "Publish
    // to a calendar server…", which closes it and calls that.
    ExportCalendarDialog(const Schedule& schedule, const CalendarExportChoices& choices,
                         QWidget* parent = nullptr, const KeptCalendar& kept = {},
                         const std::function<void()>& publish = {});

    // The file to write as the controls describe it.
    CalendarExport request() const;
    QString assignment() const;
    bool keepUpToDate() const;

private:
    void keepRangeInOrder(QDateEdit* changed);
    void updateExportButton();

    const Schedule& m_schedule;
    Schedule m_asIfOneGroup;
    CalendarExportChoices m_choices;
    KeptCalendar m_kept;
    QComboBox* m_assignment = nullptr;
    QDateEdit* m_from = nullptr;
    QDateEdit* m_to = nullptr;
    QCheckBox* m_dutyDays = nullptr;
    QCheckBox* m_rdos = nullptr;
    QCheckBox* m_paydays = nullptr;
    QCheckBox* m_payPeriodStarts = nullptr;
    QCheckBox* m_timedShifts = nullptr;
    QCheckBox* m_keepUpToDate = nullptr;
    QPushButton* m_export = nullptr;
};

// Opens the dialog over `parent` and returns at once; when the user confirms, asks for the file
// name and writes the file, then tells `saved` its path. A failed write goes to the error report.
// A confirmed "Keep this file up to date" stores the written file's path through
// kept.setFile; unchecking it stores an empty path.
void OpenCalendarExport(QWidget* parent, const Schedule& schedule,
                        const CalendarExportChoices& choices, const KeptCalendar& kept = {},
                        const std::function<void(const QString& path)>& saved = {},
                        const std::function<void()>& publish = {});

// Asks where to save; an empty text cancels. Tests replace it; an empty function restores the
// desktop's file dialog.
using SaveFileChooser = std::function<QString(QWidget* parent, const QString& suggestedName)>;
void setSaveFileChooser(SaveFileChooser chooser);
