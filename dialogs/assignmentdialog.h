// "From which day is A3 your assignment?": asked on Save when the assignment changes from one
// that was saved before, with "It was always A3 (a correction)" beside it; and the list of the
// changes recorded, each of which can be removed. Plain Qt over the assignment history.
#pragma once

#include "days/assignmenthistory.h"

#include <QDialog>
#include <QLocale>

class QDateEdit;
class QListWidget;
class QPushButton;
class QRadioButton;

class AssignmentChangeDialog : public QDialog {
    Q_OBJECT

public:
    // `recorded` is the history as it stands; `next` the assignment to change to, or empty for
    // the list alone. The date starts at `suggestedDay`.
    AssignmentChangeDialog(const AssignmentHistory& recorded, const QString& next,
                           DateSerial suggestedDay, const QLocale& locale,
                           QWidget* parent = nullptr);

    // The history as the user left it: the changes removed, then the new one.
    AssignmentHistory history() const;
    // Words for the undo step that the answer makes.
    QString stepText() const;

private:
    void fillList();
    void removeSelected();

    AssignmentHistory m_kept; // the recorded history less the changes removed
    QString m_next;
    QLocale m_locale;
    QRadioButton* m_fromDay = nullptr;
    QRadioButton* m_always = nullptr;
    QDateEdit* m_effective = nullptr;
    QListWidget* m_changes = nullptr;
    QPushButton* m_remove = nullptr;
    int m_removed = 0;
};

// The undo step from one history to another: "Change assignment to A3 from 7/1/26", "Correct
// the assignment to A3", "Remove a change of assignment".
QString AssignmentStepText(const AssignmentHistory& before, const AssignmentHistory& after,
                           const QLocale& locale);
