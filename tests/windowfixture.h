// A real main window for tests: today fixed, settings in a temporary folder, en_US regional
// settings, shown and activated by the platform (the window manager on a desktop), so that focus,
// keys and popups behave as a user meets them.
#pragma once

#include "app/mainform.h"
#include "core/clock.h"
#include "monthview/monthgrid.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

class WindowFixture {
public:
    explicit WindowFixture(QDate todayDate = QDate(2026, 12, 10),
                           const QLocale& locale = QLocale(QLocale::English, QLocale::UnitedStates),
                           const QString& configBase = {}) {
        const DateSerial fixedToday = serialFromQDate(todayDate);
        setTodayProvider([fixedToday] { return fixedToday; });
        StartupEnvironment environment;
        environment.locale = locale;
        environment.configBase = configBase.isEmpty() ? m_folder.path() : configBase;
        environment.dataBase = dataBase();
        form = std::make_unique<TMainForm>(environment);
        // No activateWindow() and no setFocus(): a desktop activates a new window itself, and Qt
        // then places the focus where a user finds it.
        form->show();
        ready = QTest::qWaitForWindowExposed(form.get()) && QTest::qWaitForWindowActive(form.get());
    }
    ~WindowFixture() {
        form.reset();
        setTodayProvider({});
    }
    WindowFixture(const WindowFixture&) = delete;
    WindowFixture& operator=(const WindowFixture&) = delete;

    ProgramState& state() { return form->state(); }
    QString configBase() const { return m_folder.path(); }
    // Where the user's entries are kept: a folder of its own, so that tests see what is created.
    QString dataBase() const { return m_folder.filePath(QStringLiteral("data")); }

    // Shows the date's month with the date selected, as the program's own handlers do.
    void select(QDate date) {
        BuildMonth(state(), serialFromQDate(date));
        form->RefreshAll(state().SelectedDate);
    }

    QDate selected() { return qdateFromSerial(state().SelectedDate); }

    // Where a key typed now arrives: the control Qt focused, else the active window.
    static QWidget* keyTarget() {
        if (QWidget* focused = QApplication::focusWidget())
            return focused;
        return QApplication::activeWindow();
    }

    // Types a key as a user does, to whatever holds the focus.
    void typeKey(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QWidget* target = keyTarget();
        QTest::keyClick(target ? target : form.get(), key, modifiers);
    }

    std::unique_ptr<TMainForm> form;
    bool ready = false;

private:
    QTemporaryDir m_folder;
};
