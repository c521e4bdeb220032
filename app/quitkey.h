// The platform's Quit key (Ctrl+Q on the Linux desktops) closes the program from whichever of
// its windows is active: the main window on any page, a dialog of ours, or one of Qt's own (a
// file dialog, the print preview).
#pragma once

#include <QKeySequence>
#include <QList>
#include <QObject>

class QWindow;

class QuitKey : public QObject {
    Q_OBJECT

public:
    explicit QuitKey(QObject* parent = nullptr);

    // The platform's, or Ctrl+Q where it names none (as on Windows, where the window manager's
    // Alt+F4 serves, and the offscreen platform, which follows it).
    static QList<QKeySequence> keys();

private:
    void cover(QWindow* window);
};
