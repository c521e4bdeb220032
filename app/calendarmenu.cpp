#include "app/calendarmenu.h"

#include <QKeyEvent>
#include <QMenu>
#include <QShortcut>

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

} // namespace

CalendarMenu::CalendarMenu(QWidget* page, QWidget* grid, const CalendarMenuHandlers& handlers)
    : QObject(grid) {
    m_menu = new QMenu(grid);
    m_menu->setObjectName(QStringLiteral("mnuCalendar"));
    addEntry(m_menu, page, QStringLiteral("actPrint"), QStringLiteral("Print\u2026"),
             QKeySequence(Qt::CTRL | Qt::Key_P), handlers.print);
    addEntry(m_menu, page, QStringLiteral("actSavePdf"), QStringLiteral("Save as PDF\u2026"),
             QKeySequence(), handlers.saveAsPdf);
    addEntry(m_menu, page, QStringLiteral("actExportIcs"),
             QStringLiteral("Export to calendar (.ics)\u2026"), QKeySequence(Qt::CTRL | Qt::Key_E),
             handlers.exportCalendar);
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
