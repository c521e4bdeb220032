// The Calendar page's context menu ("Edit day…", the common kinds of a new entry: "Trade away…",
// "Leave…", "Overtime…", then "Undo", "Redo", "Hours…", "Assignment history…", "Print…", "Save
// as PDF…", "Export to calendar (.ics)…", "Publish to a calendar server…") and its shortcuts
// Ctrl+Z, Ctrl+Shift+Z and Ctrl+Y, Ctrl+H, Ctrl+P and Ctrl+E. Right click on the grid, the Menu key
// and Shift+F10 open it.
#pragma once

#include "days/dayentry.h"

#include <QObject>
#include <QPoint>

#include <functional>

class QAction;
class QKeyEvent;
class QMenu;
class QUndoStack;
class QWidget;

struct CalendarMenuHandlers {
    std::function<void()> editDay;
    std::function<void()> hours;
    std::function<void()> assignments;
    std::function<void()> print;
    std::function<void()> saveAsPdf;
    std::function<void()> exportCalendar;
    std::function<void()> publish;
    // A new entry of that kind on the selected day.
    std::function<void(EntryKind)> newEntry;
};

class CalendarMenu : public QObject {
    Q_OBJECT

public:
    // The shortcuts live on `page` and work only while it is shown; a right click on `grid`
    // opens the menu where the pointer is.
    CalendarMenu(QWidget* page, QWidget* grid, const CalendarMenuHandlers& handlers,
                 QUndoStack* history);

    // The Menu key or Shift+F10.
    static bool isMenuKey(const QKeyEvent& event);

    // Opens the menu at `globalPosition` and returns at once.
    void popup(const QPoint& globalPosition);

    QMenu* menu() const { return m_menu; }

private:
    QMenu* m_menu = nullptr;
};
