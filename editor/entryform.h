// One entry's fields, which change with its kind: its hours (left empty, the whole shift for the
// kinds that may stand for one), a start time, who works with the user, the leave type and a
// note. Every field has its mnemonic. OK hands the entry to `submit`; a refusal shows as one
// sentence in the form, which stays open.
#pragma once

#include "days/dayfacts.h"

#include <QDialog>
#include <QStringList>

#include <functional>

class QCheckBox;
class QComboBox;
class QDialogButtonBox;
class QFormLayout;
class QLabel;
class QLineEdit;

class EntryForm : public QDialog {
    Q_OBJECT

public:
    // Empty from `submit`: stored. Otherwise the sentence that says why not.
    using Submit = std::function<QString(const DayEntry&)>;

    // `shift` is the day's, as the rules of entries see it; `partners` are the names recorded
    // before, the most recent first, which the partner field completes.
    EntryForm(const DayEntry& entry, const DayShift& shift, const QStringList& partners,
              Submit submit, QWidget* parent = nullptr);

    void accept() override;

private:
    EntryKind kind() const;
    void kindChanged();
    void showRefusal(const QString& sentence);
    void fitContents();
    // The entry as the fields describe it into `made`, or the sentence why they cannot be read.
    QString read(DayEntry& made) const;

    DayEntry m_entry;
    DayShift m_shift;
    Submit m_submit;
    QFormLayout* m_form = nullptr;
    QComboBox* m_kind = nullptr;
    QLineEdit* m_hours = nullptr;
    QLineEdit* m_start = nullptr;
    QLineEdit* m_with = nullptr;
    QComboBox* m_leaveType = nullptr;
    QCheckBox* m_comp = nullptr;
    QLineEdit* m_note = nullptr;
    QLabel* m_refusal = nullptr;
    QDialogButtonBox* m_buttons = nullptr;
};
