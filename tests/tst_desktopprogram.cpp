// The window as a desktop program: the Quit key ends it from every page and over every dialog,
// a file saved through a dialog is named in the status line for a few seconds, and a change that
// another process makes to the user's days shows without a click. Keys go to whatever Qt
// focused, as a user's do; nothing here gives the focus to anything.
#include "otherwindow.h"
#include "windowfixture.h"

#include "days/databasefilewatch.h"
#include "days/entrystore.h"
#include "dialogs/hoursdialog.h"
#include "platform/errorreport.h"

#include <QFileDialog>
#include <QMenu>
#include <QPointer>
#include <QSignalSpy>
#include <QTabBar>
#include <QTimer>

#include <functional>

namespace {

// Only a guard against a hang: nothing here measures how fast a window reacts.
constexpr int Patience = 10000;

// Runs `act` once a dialog other than `before` is active, on screen, and holds the focus: a
// user's next key goes there. (Between two dialogs the main window may be active for a moment.)
// The check runs from a timer, so it also runs inside the loop of a dialog that exec() holds
// open.
void whenAnotherDialogIsUp(QWidget* before, const std::function<void()>& act) {
    auto* timer = new QTimer;
    timer->setInterval(10);
    // Guarded: a new dialog may take the place in memory of one that closed.
    const QPointer<QWidget> previous(before);
    QObject::connect(timer, &QTimer::timeout, [timer, previous, act] {
        QWidget* active = QApplication::activeWindow();
        QWidget* focused = QApplication::focusWidget();
        if (!active || active == previous || qobject_cast<TMainForm*>(active) ||
            !active->windowHandle() || !active->windowHandle()->isExposed() || !focused ||
            focused->window() != active)
            return;
        timer->stop();
        timer->deleteLater();
        act();
    });
    timer->start();
}

void type(QKeyCombination key) {
    QWidget* target = WindowFixture::keyTarget();
    QVERIFY(target);
    QTest::keyClick(target, key.key(), key.keyboardModifiers());
}

// Types the keys of `keys` one by one, each once the dialog that the key before opened is up,
// then runs `last` there.
void typeThroughWindows(const QKeySequence& keys, int from, const std::function<void()>& last) {
    if (from >= keys.count()) {
        last();
        return;
    }
    whenAnotherDialogIsUp(QApplication::activeWindow(),
                          [keys, from, last] { typeThroughWindows(keys, from + 1, last); });
    type(keys[static_cast<uint>(from)]);
}

void typeName(const QString& name) {
    QWidget* field = QApplication::focusWidget();
    QVERIFY(qobject_cast<QLineEdit*>(field));
    QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(field, name);
    QTest::keyClick(field, Qt::Key_Return);
}

QWidgetList visibleWindows() {
    QWidgetList shown;
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (widget->isVisible() &&
            (widget->windowType() == Qt::Window || widget->windowType() == Qt::Dialog))
            shown << widget;
    return shown;
}

// Closes the dialogs still open long after a step failed, as their own loops would otherwise
// hold the test for ever; the test then fails on `struck`.
class HangGuard {
public:
    HangGuard() {
        m_timer.setSingleShot(true);
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            struck = true;
            for (QWidget* shown : visibleWindows())
                if (qobject_cast<QDialog*>(shown))
                    shown->close();
        });
        m_timer.start(3 * Patience);
    }
    bool struck = false;

private:
    QTimer m_timer;
};

void clickTab(TMainForm& form, const QString& page) {
    QTabBar* headers = form.tabCtrl->tabBar();
    for (int tab = 0; tab < headers->count(); ++tab)
        if (headers->tabText(tab) == page) {
            QTest::mouseClick(headers, Qt::LeftButton, {}, headers->tabRect(tab).center());
            QCOMPARE(form.tabCtrl->activeIndex(), tab);
            return;
        }
    QFAIL(qPrintable(page));
}

// The day where the other window writes.
const QDate OtherWindowsDay(2026, 3, 1);

QString statusOf(const TMainForm& form) {
    return form.lblStatus->text();
}

// What the status line says after a refresh now: a window that missed a change shows
// something else until the next one.
QString refreshedStatus(TMainForm& form) {
    form.RefreshAll(form.state().SelectedDate);
    return statusOf(form);
}

QString daysFile(const WindowFixture& window) {
    return daysFilePath(window.dataBase());
}

} // namespace

class DesktopProgramTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void quitKeyClosesEveryWindow_data();
    void quitKeyClosesEveryWindow();
    void savedFileIsNamedInTheStatusLine_data();
    void savedFileIsNamedInTheStatusLine();
    void savedNoticeOutlastsRefreshesThenGivesWay();
    void anotherWindowsChangeShowsWithoutAClick();
    void watchRestsWhileMinimisedOrHidden();

private:
    QString home() const { return m_home.path(); }

    QTemporaryDir m_home;
};

// The file dialogs open in the home folder and its Documents, which are then this test's own, as
// is where Qt keeps a file dialog's last folder.
void DesktopProgramTest::initTestCase() {
    QVERIFY(m_home.isValid());
    qputenv("HOME", QFile::encodeName(home()));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_home.filePath(QStringLiteral(".config"))));
}

void DesktopProgramTest::init() {
    QDir(home()).removeRecursively();
    QVERIFY(QDir().mkpath(m_home.filePath(QStringLiteral("Documents"))));
}

void DesktopProgramTest::quitKeyClosesEveryWindow_data() {
    QTest::addColumn<QString>("where");        // the page, and a control clicked on it
    QTest::addColumn<QKeySequence>("opening"); // the keys that open what is open at Ctrl+Q
    QTest::newRow("Calendar") << "Calendar" << QKeySequence();
    QTest::newRow("Settings") << "Settings" << QKeySequence();
    // A text box takes the letters for itself, Ctrl+Q not.
    QTest::newRow("Settings, typing a title") << "Settings edAgency" << QKeySequence();
    QTest::newRow("Help") << "Help" << QKeySequence();
    QTest::newRow("About") << "About" << QKeySequence();
    QTest::newRow("day editor") << "Calendar" << QKeySequence(Qt::Key_Return);
    QTest::newRow("Hours") << "Calendar" << QKeySequence(Qt::CTRL | Qt::Key_H);
    QTest::newRow("calendar export") << "Calendar" << QKeySequence(Qt::CTRL | Qt::Key_E);
    // Dialogs that hold the program in a loop of their own until they close.
    QTest::newRow("file dialog over Hours")
        << "Calendar" << QKeySequence(Qt::CTRL | Qt::Key_H, Qt::ALT | Qt::Key_V);
    QTest::newRow("print: the choice of sheet") << "Calendar" << QKeySequence(Qt::CTRL | Qt::Key_P);
    QTest::newRow("print preview")
        << "Calendar" << QKeySequence(Qt::CTRL | Qt::Key_P, QKeyCombination(Qt::Key_Return));
}

void DesktopProgramTest::quitKeyClosesEveryWindow() {
    QFETCH(QString, where);
    QFETCH(QKeySequence, opening);
    HangGuard guard;
    WindowFixture window;
    QVERIFY(window.ready);
    TMainForm& form = *window.form;
    const QString page = where.section(u' ', 0, 0);
    const QString clicked = where.section(u' ', 1);
    if (page != QLatin1String("Calendar"))
        clickTab(form, page);
    if (!clicked.isEmpty()) {
        auto* control = form.findChild<QWidget*>(clicked);
        QVERIFY(control);
        QTest::mouseClick(control, Qt::LeftButton);
        QTRY_COMPARE(QApplication::focusWidget(), control);
        QTest::keyClicks(control, QStringLiteral("Engine 4"));
    }
    bool typed = false;
    typeThroughWindows(opening, 0, [&] {
        QCOMPARE(QApplication::activeWindow() == &form, opening.isEmpty());
        type(Qt::CTRL | Qt::Key_Q);
        typed = true;
    });
    QTRY_VERIFY_WITH_TIMEOUT(typed, Patience);
    QTRY_VERIFY_WITH_TIMEOUT(visibleWindows().isEmpty(), Patience);
    QVERIFY(!form.isVisible());
    QVERIFY(!guard.struck);
}

void DesktopProgramTest::savedFileIsNamedInTheStatusLine_data() {
    QTest::addColumn<QKeySequence>("opening"); // from the grid to the file dialog
    QTest::addColumn<bool>("throughMenu");     // "Save as PDF…" has no key: a click in the menu
    QTest::addColumn<QString>("name");
    QTest::newRow("CSV from Hours")
        << QKeySequence(Qt::CTRL | Qt::Key_H, Qt::ALT | Qt::Key_V) << false << "hours-2026.csv";
    QTest::newRow("calendar file")
        << QKeySequence(Qt::CTRL | Qt::Key_E, QKeyCombination(Qt::Key_Return)) << false
        << "duty.ics";
    QTest::newRow("PDF") << QKeySequence(Qt::Key_Return) << true << "sheet.pdf";
}

void DesktopProgramTest::savedFileIsNamedInTheStatusLine() {
    QFETCH(QKeySequence, opening);
    QFETCH(bool, throughMenu);
    QFETCH(QString, name);
    HangGuard guard;
    WindowFixture window;
    QVERIFY(window.ready);
    TMainForm& form = *window.form;
    // A group to export: the export dialog offers none to a user who never chose one.
    form.cbPlt->setCurrentIndex(assignmentIndex(QStringLiteral("B2")));
    QStringList reported;
    setErrorReporter([&](const QString& message) { reported << message; });
    const QString before = statusOf(form);

    bool named = false;
    const auto toFileDialog = [&] {
        typeThroughWindows(opening, 0, [&] {
            QVERIFY(qobject_cast<QFileDialog*>(QApplication::activeWindow()));
            typeName(name);
            named = true;
        });
    };
    if (!throughMenu) {
        toFileDialog();
    } else {
        // The Menu key opens the month's menu; the entry is clicked where it is drawn, and the
        // keys begin in the window that it opens.
        whenAnotherDialogIsUp(&form, toFileDialog);
        QTest::keyClick(WindowFixture::keyTarget(), Qt::Key_Menu);
        QMenu* menu = form.calendarMenu()->menu();
        QTRY_VERIFY(menu->isVisible());
        QAction* savePdf = menu->findChild<QAction*>(QStringLiteral("actSavePdf"));
        QVERIFY(savePdf);
        QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(savePdf).center());
    }
    QTRY_VERIFY_WITH_TIMEOUT(named, Patience);
    setErrorReporter({});

    const QString written = QFileInfo(name).suffix() == QLatin1String("pdf")
                                ? m_home.filePath(QStringLiteral("Documents/") + name)
                                : m_home.filePath(name);
    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(written), Patience);
    QTRY_COMPARE_WITH_TIMEOUT(statusOf(form), QStringLiteral("Saved ") + name, Patience);
    QVERIFY(reported.isEmpty());
    // No word of it beyond the status line: only the dialog the save came from stays open.
    for (QWidget* shown : visibleWindows())
        QVERIFY2(shown == &form || qobject_cast<HoursDialog*>(shown),
                 qPrintable(shown->objectName()));
    QVERIFY(statusOf(form) != before);
    QVERIFY(!guard.struck);
}

void DesktopProgramTest::savedNoticeOutlastsRefreshesThenGivesWay() {
    HangGuard guard;
    WindowFixture window;
    QVERIFY(window.ready);
    TMainForm& form = *window.form;
    window.select(OtherWindowsDay);
    auto* timer = form.findChild<QTimer*>(QStringLiteral("tmStatusNotice"));
    QVERIFY(timer);
    QVERIFY(!timer->isActive()); // nothing runs while there is no notice
    const QString dayBefore = statusOf(form);

    bool named = false;
    typeThroughWindows(QKeySequence(Qt::CTRL | Qt::Key_H, Qt::ALT | Qt::Key_V), 0, [&] {
        typeName(QStringLiteral("hours-2026.csv"));
        named = true;
    });
    QTRY_VERIFY_WITH_TIMEOUT(named, Patience);
    const QString notice = QStringLiteral("Saved hours-2026.csv");
    QTRY_COMPARE_WITH_TIMEOUT(statusOf(form), notice, Patience);
    QVERIFY(timer->isActive());
    // Refreshes of every kind leave it standing: a new size, and another window's change (Hours
    // stays open over the window, as a user may leave it).
    const QSize larger = form.size() + QSize(40, 30);
    form.resize(larger);
    QTRY_COMPARE_WITH_TIMEOUT(form.size(), larger, Patience);
    QCOMPARE(refreshedStatus(form), notice);
    QSignalSpy refreshed(&form.entryStore(), &EntryStore::changed); // the window refreshes on it
    OtherWindow other(daysFile(window));
    QVERIFY(other.add(QStringLiteral("During the notice")));
    QTRY_VERIFY_WITH_TIMEOUT(!refreshed.isEmpty(), Patience);
    QCOMPARE(statusOf(form), notice);

    // Then the day's own lines come back, with what changed meanwhile, and nothing runs on.
    QTRY_VERIFY_WITH_TIMEOUT(statusOf(form) != notice, Patience);
    const QString after = statusOf(form);
    QCOMPARE(refreshedStatus(form), after);
    QVERIFY(after != dayBefore);
    QVERIFY(!timer->isActive());
    QVERIFY(!guard.struck);
}

void DesktopProgramTest::anotherWindowsChangeShowsWithoutAClick() {
    WindowFixture window; // no days file yet: the other window makes it
    QVERIFY(window.ready);
    TMainForm& form = *window.form;
    window.select(OtherWindowsDay);
    QVERIFY(!QFileInfo::exists(daysFile(window)));
    QStringList seen{statusOf(form)};
    OtherWindow other(daysFile(window));
    for (const QString& note : {QStringLiteral("Engine 4 swap"), QStringLiteral("Drill at 9")}) {
        QVERIFY(other.add(note));
        // Nothing is clicked, typed or activated: the window finds out by itself.
        QTRY_VERIFY_WITH_TIMEOUT(!seen.contains(statusOf(form)), Patience);
        seen << statusOf(form);
        QCOMPARE(refreshedStatus(form), seen.constLast());
    }
    QCOMPARE(form.schedule().day(serialFromQDate(OtherWindowsDay)).entries.size(), 2);
}

void DesktopProgramTest::watchRestsWhileMinimisedOrHidden() {
    WindowFixture window;
    QVERIFY(window.ready);
    TMainForm& form = *window.form;
    window.select(OtherWindowsDay);
    auto* watch = form.findChild<DatabaseFileWatch*>();
    QVERIFY(watch);
    QVERIFY(watch->isWatching());
    OtherWindow other(daysFile(window));
    const QString empty = statusOf(form);
    QVERIFY(other.add(QStringLiteral("Before")));
    QTRY_VERIFY_WITH_TIMEOUT(statusOf(form) != empty, Patience);

    form.showMinimized();
    QTRY_VERIFY_WITH_TIMEOUT(!watch->isWatching(), Patience);
    QVERIFY(watch->watchedPaths().isEmpty());
    QVERIFY(other.add(QStringLiteral("While minimised")));
    const QString minimised = statusOf(form);
    form.showNormal();
    QTRY_VERIFY_WITH_TIMEOUT(watch->isWatching(), Patience);
    // Turning the watch back on asks at once what happened meanwhile.
    QTRY_VERIFY_WITH_TIMEOUT(statusOf(form) != minimised, Patience);
    QCOMPARE(form.schedule().day(serialFromQDate(OtherWindowsDay)).entries.size(), 2);

    form.hide();
    QVERIFY(!watch->isWatching());
    QVERIFY(watch->watchedPaths().isEmpty());
    form.show();
    QVERIFY(watch->isWatching());
    QVERIFY(watch->watchedPaths().contains(daysFile(window)));
}

QTEST_MAIN(DesktopProgramTest)
#include "tst_desktopprogram.moc"
