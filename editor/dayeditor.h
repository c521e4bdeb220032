// "Edit day…": the entries of one day with Add, Edit and Delete. Every change is stored at once
// as an undoable step, which Ctrl+Z, Ctrl+Shift+Z and Ctrl+Y undo and redo here as on the
// Calendar page; the keyboard alone does everything and Esc closes.
#pragma once

#include "days/schedule.h"
#include "editor/dayediting.h"
#include "editor/dayentriesmodel.h"

#include <QDialog>

class QLabel;
class QPushButton;
class QTableView;

class DayEditor : public QDialog {
    Q_OBJECT

public:
    // The day as `schedule` has it, asked again whenever it changes; changes go through
    // `editing`.
    DayEditor(DayEditing& editing, const Schedule& schedule, DateSerial day,
              QWidget* parent = nullptr);

    void addEntry();
    void editEntry();
    void deleteEntry();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void reload();
    QString bankBalancesText(const DayFacts& day) const;
    int currentRow() const;
    void returnFocusAfter(QDialog* form, QWidget* focusAfter);

    DayEditing& m_editing;
    const Schedule& m_schedule;
    DateSerial m_day = 0;
    DayEntriesModel m_model;
    QLabel* m_summary = nullptr;
    QLabel* m_balances = nullptr;
    QLabel* m_unavailable = nullptr;
    QTableView* m_table = nullptr;
    QPushButton* m_add = nullptr;
    QPushButton* m_edit = nullptr;
    QPushButton* m_delete = nullptr;
};
