// A real main window for tests: today fixed, settings in a temporary folder, en_US regional
// settings, shown and active so that keys and popups behave as on a desktop.
#pragma once

#include "app/mainform.h"
#include "core/clock.h"
#include "monthview/monthgrid.h"

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
        form = std::make_unique<TMainForm>(environment);
        form->show();
        form->activateWindow();
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

    // Shows the date's month with the date selected, as the program's own handlers do.
    void select(QDate date) {
        BuildMonth(state(), serialFromQDate(date));
        form->RefreshAll(state().SelectedDate);
    }

    QDate selected() { return qdateFromSerial(state().SelectedDate); }

    std::unique_ptr<TMainForm> form;
    bool ready = false;

private:
    QTemporaryDir m_folder;
};
