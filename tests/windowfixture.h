// A real main window for tests: today fixed, settings in a temporary folder, en_US regional
// settings, shown and activated by the platform (the window manager on a desktop), so that focus,
// keys and popups behave as a user meets them.
#pragma once

#include "app/mainform.h"
#include "core/clock.h"
#include "dialogs/assignmentdialog.h"
#include "monthview/monthgrid.h"

#include <QApplication>
#include <QDateEdit>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>
#include <optional>

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

    // Save on the Settings page, clicked as a user clicks it. Where Save asks from which day a
    // new assignment holds, the answer is "It was always …" (a correction), unless `from` gives
    // the day.
    void clickSave(const std::optional<QDate>& from = std::nullopt) {
        QTest::mouseClick(form->bSave, Qt::LeftButton);
        answerAssignmentQuestion(*form, from);
    }

    // Answers the question Save may have asked, if it asked one.
    static void answerAssignmentQuestion(QWidget& window, const std::optional<QDate>& from) {
        auto* question = window.findChild<AssignmentChangeDialog*>();
        if (!question || !question->isVisible())
            return;
        if (from) {
            question->findChild<QRadioButton*>(QStringLiteral("rbFromDay"))->setChecked(true);
            question->findChild<QDateEdit*>(QStringLiteral("deEffective"))->setDate(*from);
        } else {
            question->findChild<QRadioButton*>(QStringLiteral("rbAlways"))->setChecked(true);
        }
        question->accept();
    }

    std::unique_ptr<TMainForm> form;
    bool ready = false;

private:
    QTemporaryDir m_folder;
};
