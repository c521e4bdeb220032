#include "app/calendarmenu.h"

#include <QKeyEvent>
#include <QMenu>
#include <QShortcut>
#include <QUndoStack>

namespace {

QAction* addEntry(QMenu* menu, QWidget* page, const QString& name, const QString& text,
                  const QKeySequence& shortcut, const std::function<void()>& handler) {
    // The key is only shown after the tab; the QShortcut below does the work even while the
    // menu is closed, and a second binding would make the key ambiguous while it is open.
    QAction* action = menu->addAction(
        shortcut.isEmpty() ? text : text + u'\t' + shortcut.toString(QKeySequence::NativeText));
    action->setObjectName(name);
    QObject::connect(action, &QAction::triggered, menu, [handler] { handler(); });
    if (!shortcut.isEmpty()) {
        // On the page, so that another page's controls keep their own meaning of the keys.
        auto* key = new QShortcut(shortcut, page);
        key->setContext(Qt::WindowShortcut);
        QObject::connect(key, &QShortcut::activated, menu, [handler] { handler(); });
    }
    return action;
}

// Undo and redo take their text and their enabled state from the history.
void addHistoryEntries(QMenu* menu, QWidget* page, QUndoStack* history) {
    QAction* undo = history->createUndoAction(menu, QStringLiteral("Undo"));
    undo->setObjectName(QStringLiteral("actUndo"));
    QAction* redo = history->createRedoAction(menu, QStringLiteral("Redo"));
    redo->setObjectName(QStringLiteral("actRedo"));
    const auto keys = [page](QAction* action, const QList<QKeySequence>& sequences) {
        // The keys are only shown in the menu, as for the other entries.
        action->setShortcuts(sequences);
        action->setShortcutContext(Qt::WidgetShortcut);
        for (const QKeySequence& sequence : sequences) {
            auto* key = new QShortcut(sequence, page);
            key->setContext(Qt::WindowShortcut);
            QObject::connect(key, &QShortcut::activated, action, &QAction::trigger);
        }
    };
    keys(undo, {QKeySequence(Qt::CTRL | Qt::Key_Z)});
    keys(redo,
         {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    menu->addAction(undo);
    menu->addAction(redo);
}

} // namespace

CalendarMenu::CalendarMenu(QWidget* page, QWidget* grid, const CalendarMenuHandlers& handlers,
                           QUndoStack* history)
    : QObject(grid) {
    m_menu = new QMenu(grid);
    m_menu->setObjectName(QStringLiteral("mnuCalendar"));
    // Enter on the page opens the day too; the window handles that key itself.
    addEntry(m_menu, page, QStringLiteral("actEditDay"), QStringLiteral("Edit day\u2026"),
             QKeySequence(), handlers.editDay);
    const auto kind = [&handlers](EntryKind chosen) {
        return [newEntry = handlers.newEntry, chosen] { newEntry(chosen); };
    };
    addEntry(m_menu, page, QStringLiteral("actTradeAway"), QStringLiteral("&Trade away\u2026"),
             QKeySequence(), kind(EntryKind::TradeOut));
    addEntry(m_menu, page, QStringLiteral("actLeave"), QStringLiteral("&Leave\u2026"),
             QKeySequence(), kind(EntryKind::Leave));
    addEntry(m_menu, page, QStringLiteral("actOvertime"), QStringLiteral("&Overtime\u2026"),
             QKeySequence(), kind(EntryKind::Overtime));
    m_menu->addSeparator();
    addHistoryEntries(m_menu, page, history);
    addEntry(m_menu, page, QStringLiteral("actHours"), QStringLiteral("Hours\u2026"),
             QKeySequence(Qt::CTRL | Qt::Key_H), handlers.hours);
    addEntry(m_menu, page, QStringLiteral("actAssignments"), QStringLiteral("Assignment history…"),
             QKeySequence(), handlers.assignments);
    m_menu->addSeparator();
    addEntry(m_menu, page, QStringLiteral("actPrint"), QStringLiteral("Print\u2026"),
             QKeySequence(Qt::CTRL | Qt::Key_P), handlers.print);
    addEntry(m_menu, page, QStringLiteral("actSavePdf"), QStringLiteral("Save as PDF\u2026"),
             QKeySequence(), handlers.saveAsPdf);
    addEntry(m_menu, page, QStringLiteral("actExportIcs"),
             QStringLiteral("Export to calendar (.ics)\u2026"), QKeySequence(Qt::CTRL | Qt::Key_E),
             handlers.exportCalendar);
    addEntry(m_menu, page, QStringLiteral("actPublish"),
             QStringLiteral("&Publish to a calendar server\u2026"), QKeySequence(),
             handlers.publish);
    grid->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(grid, &QWidget::customContextMenuRequested, this,
            [this, grid](const QPoint& position) { popup(grid->mapToGlobal(position)); });
}

bool CalendarMenu::isMenuKey(const QKeyEvent& event) {
    return event.key() == Qt::Key_Menu ||
           (event.key() == Qt::Key_F10 && event.modifiers() == Qt::ShiftModifier);
}

void CalendarMenu::popup(const QPoint& globalPosition) {
    m_menu->popup(globalPosition);
}
