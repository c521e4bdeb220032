// "Edit day…": the entries of one day with Add, Edit and Delete. Every change is stored at once
// as an undoable step; the keyboard alone does everything and Esc closes.
#pragma once

#include "editor/dayediting.h"
#include "editor/dayentriesmodel.h"

#include <QDialog>

#include <functional>

class QLabel;
class QPushButton;
class QTableView;

class DayEditor : public QDialog {
    Q_OBJECT

public:
    // `facts` answers what the day is now, entries included: asked again after every change.
    DayEditor(DayEditing& editing, DateSerial day, std::function<DayFacts()> facts,
              QWidget* parent = nullptr);

    void addEntry();
    void editEntry();
    void deleteEntry();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void reload();
    int currentRow() const;
    QString submit(const DayEntry& before, const DayEntry& candidate);
    void openForm(const DayEntry& before, int shiftMinutes, QWidget* focusAfter);

    DayEditing& m_editing;
    DateSerial m_day = 0;
    std::function<DayFacts()> m_facts;
    DayEntriesModel m_model;
    QLabel* m_summary = nullptr;
    QLabel* m_unavailable = nullptr;
    QTableView* m_table = nullptr;
    QPushButton* m_add = nullptr;
    QPushButton* m_edit = nullptr;
    QPushButton* m_delete = nullptr;
};
