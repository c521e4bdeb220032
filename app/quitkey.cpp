#include "app/quitkey.h"

#include <QApplication>
#include <QShortcut>
#include <QWidget>
#include <QWindow>

namespace {

const QString QuitShortcutName = QStringLiteral("scQuit");

} // namespace

QuitKey::QuitKey(QObject* parent) : QObject(parent) {
    // A key of the main window alone would be shut out by every dialog open over it, and one
    // on each dialog we make would miss Qt's. So each window gets the key when it first becomes
    // active, as a shortcut of that window: it goes through the shortcut map like any other
    // (other keyboard layouts included) and, being the only Ctrl+Q there, never makes another
    // window's keys ambiguous.
    connect(qApp, &QGuiApplication::focusWindowChanged, this, &QuitKey::cover);
}

QList<QKeySequence> QuitKey::keys() {
    QList<QKeySequence> keys = QKeySequence::keyBindings(QKeySequence::Quit);
    if (keys.isEmpty())
        keys << QKeySequence(Qt::CTRL | Qt::Key_Q);
    return keys;
}

void QuitKey::cover(QWindow* window) {
    if (!window)
        return;
    QWidget* widget = nullptr;
    for (QWidget* candidate : QApplication::topLevelWidgets())
        if (candidate->windowHandle() == window)
            widget = candidate;
    // A menu or a drop-down list keeps the keys while it is open, this one as every other.
    if (!widget || (widget->windowType() != Qt::Window && widget->windowType() != Qt::Dialog) ||
        widget->findChild<QShortcut*>(QuitShortcutName, Qt::FindDirectChildrenOnly))
        return;
    auto* key = new QShortcut(widget);
    key->setObjectName(QuitShortcutName);
    key->setKeys(keys());
    key->setContext(Qt::WindowShortcut);
    // Every window, as the title bar's close would: a dialog's own loop ends as if cancelled,
    // and the program ends with its last window.
    connect(key, &QShortcut::activated, qApp, &QApplication::closeAllWindows);
}
