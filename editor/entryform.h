// One entry's fields, which change with its kind: hours or the whole shift, a start time, who
// works with the user, the leave type and a note. OK hands the entry to `submit`; a refusal shows
// as one sentence in the form, which stays open.
#pragma once

#include "days/dayentry.h"

#include <QDialog>

#include <functional>

class QCheckBox;
class QComboBox;
class QDialogButtonBox;
class QDoubleSpinBox;
class QLabel;
class QLineEdit;
class QTimeEdit;

class EntryForm : public QDialog {
    Q_OBJECT

public:
    // Empty from `submit`: stored. Otherwise the sentence that says why not.
    using Submit = std::function<QString(const DayEntry&)>;

    // `shiftMinutes` is the length of the day's own shift, 0 when the user is not on duty.
    EntryForm(const DayEntry& entry, int shiftMinutes, Submit submit, QWidget* parent = nullptr);

    // The entry as the fields describe it.
    DayEntry entry() const;

    void accept() override;

private:
    void kindChanged();

    DayEntry m_entry;
    int m_shiftMinutes = 0;
    Submit m_submit;
    QComboBox* m_kind = nullptr;
    QCheckBox* m_wholeShift = nullptr;
    QDoubleSpinBox* m_hours = nullptr;
    QWidget* m_startRow = nullptr;
    QCheckBox* m_hasStart = nullptr;
    QTimeEdit* m_start = nullptr;
    QLineEdit* m_with = nullptr;
    QComboBox* m_leaveType = nullptr;
    QLineEdit* m_note = nullptr;
    QLabel* m_refusal = nullptr;
    QDialogButtonBox* m_buttons = nullptr;
};
