// "Publish to a calendar server…" in the real window, driven by real key events against a real
// Radicale on a loopback port, with the password in a real keyring (gnome-keyring in a D-Bus
// session of the test's own, keyring_session.sh): the calendars found, "Tourwise duty" made, a
// first publish and its state line, a change in the window published in the background, a stopped
// server's failure and its retries, a calendar's own address, refused input, every field's key,
// and no password in any file of the program's folders or in any message. Run without a keyring
// (TOURWISE_EXPECT_NO_KEYRING=1), it checks that the dialog says so and publishes nothing.
#include "windowfixture.h"

#include "days/entrystore.h"
#include "dialogs/exportdialog.h"
#include "dialogs/publishdialog.h"
#include "dialogs/publishing.h"
#include "editor/dayediting.h"
#include "export/davxml.h"
#include "platform/keyring.h"
#include "rotation/rotation.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDirIterator>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QThread>

#include <memory>

#include "caldavservers.h"
#include "caldavtesting.h"

namespace {

const QString Assignment = QStringLiteral("B2");
// 14:02:30 UTC on the fixture's today; the test runs in UTC.
const QDateTime Now(QDate(2026, 12, 10), QTime(14, 2, 30), Qt::UTC);
const QString NowShown = QStringLiteral("2:02 PM");

bool expectNoKeyring() {
    return qEnvironmentVariableIntValue("TOURWISE_EXPECT_NO_KEYRING") == 1;
}

CalDavAccount account() {
    CalDavAccount account;
    account.user = TestUser;
    account.password = TestPassword;
    return account;
}

KeyringResult waitForKeyring(KeyringRequest* request) {
    return waitFor<KeyringResult>(
        [&](auto done) { QObject::connect(request, &KeyringRequest::finished, request, done); });
}

// Every message the program logs, to look for the password in.
QStringList& logged() {
    static QStringList messages;
    return messages;
}

void keepMessage(QtMsgType, const QMessageLogContext&, const QString& message) {
    logged() << message;
    fprintf(stderr, "%s\n", qPrintable(message));
}

template <typename T> T* control(QWidget* dialog, const char* name) {
    return dialog ? dialog->findChild<T*>(QLatin1StringView(name)) : nullptr;
}

void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::keyClick(WindowFixture::keyTarget(), key, modifiers);
}

void alt(Qt::Key key) {
    press(key, Qt::AltModifier);
}

void type(const QString& text) {
    QTest::keyClicks(WindowFixture::keyTarget(), text);
}

QString stateLine(QWidget* dialog) {
    return control<QLabel>(dialog, "lblPublishState")->text();
}

QString message(QWidget* dialog) {
    return control<QLabel>(dialog, "lblPublishMessage")->text();
}

QStringList calendarItems(QWidget* dialog) {
    QStringList items;
    QComboBox* list = control<QComboBox>(dialog, "cbCalendar");
    for (int index = 0; index < list->count(); ++index)
        items << list->itemText(index);
    return items;
}

// A duty day of B2 in the shown month.
QDate dutyDay() {
    for (QDate date(2026, 12, 14); date.month() == 12; date = date.addDays(1))
        if (dayFacts(serialFromQDate(date), Assignment, DefaultPayPeriodStart).ownDuty)
            return date;
    return {};
}

} // namespace

class PublishDialogTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void findMakePublishAndKeepUpToDate();
    void keptUpToDateWhileTheWindowWorks();
    void aWrongPasswordIsOneSentence();
    void stoppedServerFailsAndIsRetried();
    void aCalendarsOwnAddress();
    void refusedInputChangesNothing_data();
    void refusedInputChangesNothing();
    void everyFieldHasItsKey_data();
    void everyFieldHasItsKey();
    void openedFromTheExportDialog();
    void withoutKeepingUpToDateNothingWaits();
    void withoutAKeyringNothingIsPublished();

private:
    // The window with B2 chosen, the month of its today shown.
    std::unique_ptr<WindowFixture> openWindow();
    // The Menu key on the grid, then P.
    PublishDialog* openFromMenu(WindowFixture& window);
    void makeCalendar(const QString& path, const QString& name);
    QByteArray onServer(const QUrl& calendar);
    QStringList calendarsOnServer();
    // Stored, kept in the keyring and published once, as the dialog leaves it.
    QUrl publishedOnce(WindowFixture& window, bool keepUpToDate);
    // No file of the program's folders and no message holds the password; `published`: the
    // days file is there to look into.
    void passwordIsNowhere(WindowFixture& window, bool published = true);

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<RadicaleServer> m_radicale;
};

void PublishDialogTest::initTestCase() {
    if (!expectNoKeyring() && qEnvironmentVariableIsEmpty("TOURWISE_TEST_KEYRING"))
        QFAIL("run in keyring_session.sh, or with TOURWISE_EXPECT_NO_KEYRING=1");
    qputenv("TZ", "UTC");
    tzset();
    qInstallMessageHandler(keepMessage);
}

void PublishDialogTest::init() {
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_radicale = std::make_unique<RadicaleServer>();
    QVERIFY2(m_radicale->start(m_dir->filePath(QStringLiteral("radicale"))),
             qPrintable(m_radicale->log()));
    setNowUtcProvider([] { return Now; });
    logged().clear();
}

void PublishDialogTest::cleanup() {
    if (!expectNoKeyring())
        waitForKeyring(Keyring::deletePassword(m_radicale->url(), TestUser));
    m_radicale.reset();
    setNowUtcProvider({});
}

std::unique_ptr<WindowFixture> PublishDialogTest::openWindow() {
    auto window = std::make_unique<WindowFixture>();
    window->form->cbPlt->setCurrentIndex(window->form->cbPlt->findText(Assignment));
    window->select(QDate(2026, 12, 10));
    return window;
}

PublishDialog* PublishDialogTest::openFromMenu(WindowFixture& window) {
    QMenu* menu = window.form->calendarMenu()->menu();
    press(Qt::Key_Menu);
    [&] { QTRY_VERIFY(menu->isVisible()); }();
    QTest::keyClick(menu, Qt::Key_P);
    PublishDialog* dialog = nullptr;
    [&] {
        QTRY_VERIFY((dialog = window.form->findChild<PublishDialog*>()) && dialog->isVisible());
        QTRY_COMPARE(QApplication::activeWindow(), dialog);
    }();
    return dialog;
}

void PublishDialogTest::makeCalendar(const QString& path, const QString& name) {
    CalDavClient client(account());
    const DavResponse made = sendAndWait(client, {"MKCALENDAR",
                                                  m_radicale->url(path),
                                                  MkcalendarBody(name),
                                                  "application/xml; charset=utf-8",
                                                  {}});
    QCOMPARE(made.status, 201);
}

QByteArray PublishDialogTest::onServer(const QUrl& calendar) {
    CalDavClient client(account());
    const DavResponse whole = sendAndWait(client, {"GET", calendar, {}, {}, {}});
    return whole.status == 200 ? whole.body : QByteArray();
}

QStringList PublishDialogTest::calendarsOnServer() {
    CalDavClient client(account());
    const CalDavDiscovery found =
        waitFor<CalDavDiscovery>([&](auto done) { client.discover(m_radicale->url(), done); });
    QStringList names;
    for (const CalDavCalendar& calendar : found.calendars)
        names << calendar.displayName;
    names.sort();
    return names;
}

QUrl PublishDialogTest::publishedOnce(WindowFixture& window, bool keepUpToDate) {
    makeCalendar(QStringLiteral("/tester/duty/"), QStringLiteral("Duty"));
    const QUrl calendar = m_radicale->url(QStringLiteral("/tester/duty/"));
    PublishChoices choices;
    choices.server = m_radicale->url().toString();
    choices.user = TestUser;
    choices.calendar = calendar.toString();
    choices.keepUpToDate = keepUpToDate;
    if (!window.form->entryStore().setPublishChoices(choices).ok)
        return {};
    if (!waitForKeyring(Keyring::writePassword(m_radicale->url(), TestUser, TestPassword)).ok)
        return {};
    Publishing& publishing = window.form->publishing();
    publishing.publishNow();
    [&] {
        QTRY_VERIFY_WITH_TIMEOUT(
            !publishing.state().running && publishing.state().lastTry.isValid(), 120000);
        QCOMPARE(publishing.state().failure, QString());
    }();
    return calendar;
}

void PublishDialogTest::passwordIsNowhere(WindowFixture& window, bool published) {
    const QByteArray password = TestPassword.toUtf8();
    int files = 0;
    for (const QString& folder : {window.configBase(), window.dataBase()}) {
        QDirIterator each(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (each.hasNext()) {
            QFile file(each.next());
            QVERIFY(file.open(QIODevice::ReadOnly));
            QVERIFY2(!file.readAll().contains(password), qPrintable(file.fileName()));
            ++files;
        }
    }
    if (published)
        QVERIFY(QFileInfo::exists(daysFilePath(window.dataBase())));
    QVERIFY(files > 0 || !published);
    for (const QString& line : logged())
        QVERIFY2(!line.contains(TestPassword), "a message holds the password");
}

// The whole way from the keyboard: the server, the user and the password typed, the calendars
// found, "Tourwise duty" made and published to, the state line; then a change of the days in the
// window published in the background, and nothing left waiting.
void PublishDialogTest::findMakePublishAndKeepUpToDate() {
    if (expectNoKeyring())
        QSKIP("no keyring in this run");
    // Listed by name, whatever order their addresses or the server give.
    makeCalendar(QStringLiteral("/tester/a-work/"), QStringLiteral("Work"));
    makeCalendar(QStringLiteral("/tester/b-home/"), QStringLiteral("Home"));
    auto window = openWindow();
    QVERIFY(window->ready);
    Publishing& publishing = window->form->publishing();
    // Nothing is published and nothing waits until the dialog has published once.
    DayEntry note;
    note.date = serialFromQDate(QDate(2026, 12, 21));
    note.kind = EntryKind::Note;
    note.note = QStringLiteral("Bring the pager");
    QVERIFY(window->form->dayEditing().add(note).ok);
    QVERIFY(!publishing.isWaiting());

    PublishDialog* dialog = openFromMenu(*window);
    QVERIFY(dialog);
    QCOMPARE(QApplication::focusWidget(), control<QLineEdit>(dialog, "edServer"));
    QCOMPARE(stateLine(dialog), QStringLiteral("Not published yet."));
    type(m_radicale->url().toString());
    press(Qt::Key_Tab);
    type(TestUser);
    press(Qt::Key_Tab);
    type(TestPassword);
    QCOMPARE(control<QLineEdit>(dialog, "edPassword")->displayText().contains(TestPassword), false);
    alt(Qt::Key_Y); // paydays
    alt(Qt::Key_K); // keep it up to date
    alt(Qt::Key_F);
    QTRY_COMPARE_WITH_TIMEOUT(message(dialog), QStringLiteral("2 calendars found."), 30000);
    QCOMPARE(calendarItems(dialog), (QStringList{"Home (/tester/b-home/)", "Work (/tester/a-work/)",
                                                 "New calendar: Tourwise duty"}));
    // A calendar of its own is offered first, and the list has the keys.
    QComboBox* calendars = control<QComboBox>(dialog, "cbCalendar");
    QCOMPARE(calendars->currentText(), QStringLiteral("New calendar: Tourwise duty"));
    QCOMPARE(QApplication::focusWidget(), calendars);
    // Finding keeps nothing: the password is not in the keyring yet.
    QVERIFY(waitForKeyring(Keyring::readPassword(m_radicale->url(), TestUser)).notFound);

    press(Qt::Key_Return);
    QTRY_VERIFY_WITH_TIMEOUT(stateLine(dialog).startsWith(QStringLiteral("Published ")), 120000);
    QCOMPARE(calendarsOnServer(), (QStringList{"Home", "Tourwise duty", "Work"}));
    const QUrl made = m_radicale->url(QStringLiteral("/tester/tourwise-duty/"));
    const QByteArray published = onServer(made);
    const qsizetype events = published.count("BEGIN:VEVENT");
    QVERIFY2(events > 200, qPrintable(QString::number(events)));
    QVERIFY(published.contains("SUMMARY:Payday\r\n"));
    QVERIFY(!published.contains(" begins\r\n")); // pay-period starts stay off
    QCOMPARE(stateLine(dialog),
             QStringLiteral("Published %1 \u2014 %2 events").arg(NowShown).arg(events));
    QCOMPARE(calendars->currentText(), QStringLiteral("Tourwise duty (/tester/tourwise-duty/)"));
    // The other calendars hold nothing of ours.
    QVERIFY(!onServer(m_radicale->url(QStringLiteral("/tester/b-home/"))).contains("BEGIN:VEVENT"));

    // What is kept where: the password in the keyring, the rest in the days file.
    QLineEdit* password = control<QLineEdit>(dialog, "edPassword");
    QCOMPARE(password->text(), QString());
    QCOMPARE(password->placeholderText(), QStringLiteral("Kept in the keyring"));
    QCOMPARE(waitForKeyring(Keyring::readPassword(m_radicale->url(), TestUser)).password,
             TestPassword);
    const std::optional<PublishChoices> kept = window->form->entryStore().publishChoices();
    QVERIFY(kept);
    QCOMPARE(kept->server, m_radicale->url().toString());
    QCOMPARE(kept->user, TestUser);
    QCOMPARE(QUrl(kept->calendar), made);
    QVERIFY(kept->paydays && !kept->payPeriodStarts && !kept->timedShifts && kept->keepUpToDate);

    // A vacation on a duty day, typed in the window, reaches the server by itself.
    press(Qt::Key_Escape);
    QTRY_VERIFY(!window->form->findChild<PublishDialog*>());
    QTRY_COMPARE(QApplication::activeWindow(), window->form.get());
    window->select(dutyDay());
    press(Qt::Key_Return);
    // The entry form is up with the keys.
    QTRY_VERIFY(QApplication::activeModalWidget() && QApplication::focusWidget() &&
                QApplication::focusWidget()->window() == QApplication::activeModalWidget());
    QTest::keyClick(WindowFixture::keyTarget(), 'l');
    press(Qt::Key_Return);
    QTRY_COMPARE(QApplication::activeWindow(), window->form.get());
    QCOMPARE(window->form->schedule().day(serialFromQDate(dutyDay())).entries.size(), 1);
    QVERIFY(publishing.isWaiting() || publishing.state().running);
    QTRY_VERIFY_WITH_TIMEOUT(onServer(made).contains("SUMMARY:Off \xe2\x80\x93 vacation"), 60000);
    QTRY_VERIFY(!publishing.state().running);
    QCOMPARE(publishing.state().failure, QString());
    QCOMPARE(onServer(made).count("BEGIN:VEVENT"), events);
    QVERIFY(!publishing.isWaiting());

    // Open again: the choices as kept, the password in the keyring only.
    dialog = openFromMenu(*window);
    QCOMPARE(control<QLineEdit>(dialog, "edServer")->text(), m_radicale->url().toString());
    QCOMPARE(control<QLineEdit>(dialog, "edUser")->text(), TestUser);
    QCOMPARE(QApplication::focusWidget(), control<QLineEdit>(dialog, "edPassword"));
    QTRY_COMPARE(control<QLineEdit>(dialog, "edPassword")->placeholderText(),
                 QStringLiteral("Kept in the keyring"));
    QCOMPARE(calendarItems(dialog), QStringList{"/tester/tourwise-duty/"});
    QVERIFY(control<QCheckBox>(dialog, "chkKeepUpToDate")->isChecked());
    QVERIFY(stateLine(dialog).startsWith(QStringLiteral("Published ")));
    press(Qt::Key_Escape);
    passwordIsNowhere(*window);
}

// A change of the days and a Save each publish again by themselves, while the window goes on
// taking keys: a key posted as the publish starts is handled before it ends, and no event loop
// runs inside another while it works.
void PublishDialogTest::keptUpToDateWhileTheWindowWorks() {
    if (expectNoKeyring())
        QSKIP("no keyring in this run");
    auto window = openWindow();
    QVERIFY(window->ready);
    Publishing& publishing = window->form->publishing();
    const QUrl calendar = publishedOnce(*window, true);
    QVERIFY(!calendar.isEmpty());
    publishing.setDelays(50, {});

    const int loopLevel = QThread::currentThread()->loopLevel();
    const QDate before = window->selected();
    bool posted = false;
    int nested = 0;
    QDate selectedAtTheEnd;
    connect(&publishing, &Publishing::stateChanged, this, [&] {
        if (QThread::currentThread()->loopLevel() != loopLevel)
            ++nested;
        if (publishing.state().running && !posted) {
            posted = true;
            QCoreApplication::postEvent(WindowFixture::keyTarget(),
                                        new QKeyEvent(QEvent::KeyPress, Qt::Key_Right, {}));
            QCoreApplication::postEvent(WindowFixture::keyTarget(),
                                        new QKeyEvent(QEvent::KeyRelease, Qt::Key_Right, {}));
        } else if (!publishing.state().running && posted && !selectedAtTheEnd.isValid()) {
            selectedAtTheEnd = window->selected();
        }
    });
    DayEntry note;
    note.date = serialFromQDate(QDate(2026, 12, 20));
    note.kind = EntryKind::Note;
    note.note = QStringLiteral("Station picnic");
    QVERIFY(window->form->dayEditing().add(note).ok);
    // The change returns at once; the publish follows it.
    QVERIFY(publishing.isWaiting());
    QVERIFY(!publishing.state().running);
    QTRY_VERIFY_WITH_TIMEOUT(selectedAtTheEnd.isValid(), 60000);
    QCOMPARE(selectedAtTheEnd, before.addDays(1));
    QCOMPARE(nested, 0);
    QCOMPARE(publishing.state().failure, QString());
    QVERIFY(onServer(calendar).contains("Station picnic"));

    // Save on the Settings page publishes too.
    window->clickSave();
    QVERIFY(publishing.isWaiting() || publishing.state().running);
    QTRY_VERIFY_WITH_TIMEOUT(!publishing.isWaiting() && !publishing.state().running, 60000);
    QCOMPARE(publishing.state().failure, QString());
    QCOMPARE(nested, 0);
    passwordIsNowhere(*window);
}

// A password the server refuses is one sentence and changes nothing: typed in the dialog it is
// tried before it could replace the kept one; kept in the keyring after it changed on the
// server, the publish in the background says so in the state line and waits for the user.
void PublishDialogTest::aWrongPasswordIsOneSentence() {
    if (expectNoKeyring())
        QSKIP("no keyring in this run");
    auto window = openWindow();
    QVERIFY(window->ready);
    Publishing& publishing = window->form->publishing();
    const QUrl calendar = publishedOnce(*window, true);
    QVERIFY(!calendar.isEmpty());
    const std::optional<PublishChoices> kept = window->form->entryStore().publishChoices();
    const QString wrong = QStringLiteral("not-the-password");
    const auto isTheSentence = [](const QString& text) {
        return text.startsWith(QStringLiteral("The server at ")) &&
               text.contains(QStringLiteral(" did not accept the user name %1 ").arg(TestUser)) &&
               text.endsWith(QStringLiteral("(401); check both and try again.")) &&
               !text.contains(QStringLiteral(". "));
    };

    PublishDialog* dialog = openFromMenu(*window);
    const QString published = stateLine(dialog);
    QVERIFY(published.startsWith(QStringLiteral("Published ")));
    QCOMPARE(QApplication::focusWidget(), control<QLineEdit>(dialog, "edPassword"));
    type(wrong);
    press(Qt::Key_Return);
    QTRY_VERIFY_WITH_TIMEOUT(message(dialog).contains(QStringLiteral("(401)")), 30000);
    QVERIFY2(isTheSentence(message(dialog)), qPrintable(message(dialog)));
    QCOMPARE(stateLine(dialog), published);
    QCOMPARE(waitForKeyring(Keyring::readPassword(m_radicale->url(), TestUser)).password,
             TestPassword);
    QCOMPARE(window->form->entryStore().publishChoices()->calendar, kept->calendar);
    QVERIFY(!publishing.isWaiting() && !publishing.state().running);
    press(Qt::Key_Escape);
    QTRY_VERIFY(!window->form->findChild<PublishDialog*>());

    QVERIFY(waitForKeyring(Keyring::writePassword(m_radicale->url(), TestUser, wrong)).ok);
    publishing.setDelays(50, {400});
    DayEntry note;
    note.date = serialFromQDate(QDate(2026, 12, 20));
    note.kind = EntryKind::Note;
    note.note = QStringLiteral("Not sent");
    QVERIFY(window->form->dayEditing().add(note).ok);
    QTRY_VERIFY_WITH_TIMEOUT(!publishing.state().failure.isEmpty(), 30000);
    dialog = openFromMenu(*window);
    const QString failed = stateLine(dialog);
    const QString prefix = QStringLiteral("Not published at %1: ").arg(NowShown);
    QVERIFY2(failed.startsWith(prefix) && isTheSentence(failed.mid(prefix.size())),
             qPrintable(failed));
    // Trying the same password again would only fail again.
    QVERIFY(!publishing.isWaiting());
    QVERIFY(!onServer(calendar).contains("Not sent"));
    press(Qt::Key_Escape);
    passwordIsNowhere(*window);
}

// The server stops: the dialog says what failed and when it is tried again, the tries come at
// growing intervals, and once the server is back the change is published and nothing waits.
void PublishDialogTest::stoppedServerFailsAndIsRetried() {
    if (expectNoKeyring())
        QSKIP("no keyring in this run");
    auto window = openWindow();
    QVERIFY(window->ready);
    Publishing& publishing = window->form->publishing();
    const QUrl calendar = publishedOnce(*window, true);
    QVERIFY(!calendar.isEmpty());
    publishing.setDelays(50, {400, 800, 1600});
    QList<qint64> waits;
    connect(&publishing, &Publishing::stateChanged, this, [&] {
        const PublishingState& state = publishing.state();
        if (!state.running && state.nextTry.isValid())
            waits << state.lastTry.msecsTo(state.nextTry);
    });

    PublishDialog* dialog = openFromMenu(*window);
    m_radicale->stop();
    DayEntry note;
    note.date = serialFromQDate(QDate(2026, 12, 20));
    note.kind = EntryKind::Note;
    note.note = QStringLiteral("Station picnic");
    QVERIFY(window->form->dayEditing().add(note).ok);
    QTRY_VERIFY(waits.size() >= 2);
    QCOMPARE(waits.mid(0, 2), (QList<qint64>{400, 800}));
    const QString failed = stateLine(dialog);
    QVERIFY2(failed.startsWith(QStringLiteral("Not published at %1: ").arg(NowShown)),
             qPrintable(failed));
    QVERIFY2(failed.contains(m_radicale->url().host()), qPrintable(failed));
    QVERIFY2(failed.endsWith(QStringLiteral(" Trying again at %1.").arg(NowShown)),
             qPrintable(failed));
    QVERIFY(!failed.contains(TestPassword));
    QVERIFY(publishing.isWaiting() || publishing.state().running);

    QVERIFY(m_radicale->restart());
    QTRY_VERIFY_WITH_TIMEOUT(stateLine(dialog).startsWith(QStringLiteral("Published ")), 60000);
    QVERIFY(onServer(calendar).contains("Station picnic"));
    QVERIFY(!publishing.isWaiting());
    press(Qt::Key_Escape);
    passwordIsNowhere(*window);
}

// A calendar's own address in Server: Publish goes straight to it, with nothing to choose.
void PublishDialogTest::aCalendarsOwnAddress() {
    if (expectNoKeyring())
        QSKIP("no keyring in this run");
    makeCalendar(QStringLiteral("/tester/work/"), QStringLiteral("Work"));
    auto window = openWindow();
    QVERIFY(window->ready);
    PublishDialog* dialog = openFromMenu(*window);
    const QUrl work = m_radicale->url(QStringLiteral("/tester/work/"));
    type(work.toString());
    alt(Qt::Key_U);
    type(TestUser);
    alt(Qt::Key_W);
    type(TestPassword);
    press(Qt::Key_Return);
    QTRY_VERIFY_WITH_TIMEOUT(stateLine(dialog).startsWith(QStringLiteral("Published ")), 120000);
    QCOMPARE(calendarItems(dialog), QStringList{"Work (/tester/work/)"});
    QCOMPARE(calendarsOnServer(), QStringList{"Work"});
    QVERIFY(onServer(work).contains("BEGIN:VEVENT"));
    QCOMPARE(QUrl(window->form->entryStore().publishChoices()->calendar), work);
    QVERIFY(!window->form->entryStore().publishChoices()->keepUpToDate);
    press(Qt::Key_Escape);
    passwordIsNowhere(*window);
}

void PublishDialogTest::refusedInputChangesNothing_data() {
    QTest::addColumn<QString>("server");
    QTest::addColumn<QString>("user");
    QTest::addColumn<QString>("sentence");
    QTest::newRow("no server") << QString() << TestUser
                               << QStringLiteral("Give the address of the calendar server.");
    QTest::newRow("plain http off this machine")
        << QStringLiteral("http://calendar.example.org/dav/") << TestUser
        << QStringLiteral("Tourwise does not send a password to calendar.example.org over plain "
                          "http://, where anyone on the way could read it; use the server's "
                          "https:// address.");
    QTest::newRow("a password inside the address")
        << QStringLiteral("https://tester:%1@calendar.example.org/").arg(TestPassword) << TestUser
        << QStringLiteral("Give the user name and password apart from the server's address: "
                          "Tourwise does not take them inside an address.");
    QTest::newRow("no user") << QStringLiteral("@RADICALE@") << QString()
                             << QStringLiteral("Give your user name on the calendar server.");
}

// Bad input gets one sentence; nothing is kept, nothing goes to the keyring or the server.
void PublishDialogTest::refusedInputChangesNothing() {
    QFETCH(QString, server);
    QFETCH(QString, user);
    QFETCH(QString, sentence);
    server.replace(QStringLiteral("@RADICALE@"), m_radicale->url().toString());
    auto window = openWindow();
    QVERIFY(window->ready);
    // Find calendars, then Publish.
    for (const Qt::Key key : {Qt::Key_F, Qt::Key_P}) {
        PublishDialog* dialog = openFromMenu(*window);
        type(server);
        alt(Qt::Key_U);
        type(user);
        alt(Qt::Key_W);
        type(TestPassword);
        alt(key);
        QTRY_COMPARE(message(dialog), sentence);
        QCOMPARE(stateLine(dialog), QStringLiteral("Not published yet."));
        press(Qt::Key_Escape);
        QTRY_VERIFY(!window->form->findChild<PublishDialog*>());
    }
    QVERIFY(!window->form->entryStore().publishChoices());
    QCOMPARE(calendarsOnServer(), QStringList());
    if (!expectNoKeyring())
        QVERIFY(waitForKeyring(Keyring::readPassword(QUrl(server), user)).notFound);
    passwordIsNowhere(*window, false);
}

void PublishDialogTest::everyFieldHasItsKey_data() {
    QTest::addColumn<Qt::Key>("key");
    QTest::addColumn<QString>("name");
    QTest::newRow("Alt+S") << Qt::Key_S << QStringLiteral("edServer");
    QTest::newRow("Alt+U") << Qt::Key_U << QStringLiteral("edUser");
    QTest::newRow("Alt+W") << Qt::Key_W << QStringLiteral("edPassword");
    QTest::newRow("Alt+L") << Qt::Key_L << QStringLiteral("cbCalendar");
    QTest::newRow("Alt+D") << Qt::Key_D << QStringLiteral("chkTimedShifts");
    QTest::newRow("Alt+Y") << Qt::Key_Y << QStringLiteral("chkPaydays");
    QTest::newRow("Alt+R") << Qt::Key_R << QStringLiteral("chkPayPeriods");
    QTest::newRow("Alt+K") << Qt::Key_K << QStringLiteral("chkKeepUpToDate");
}

// Each field's Alt key reaches it (a check box also turns over), and the password is never
// shown.
void PublishDialogTest::everyFieldHasItsKey() {
    QFETCH(Qt::Key, key);
    QFETCH(QString, name);
    auto window = openWindow();
    QVERIFY(window->ready);
    PublishDialog* dialog = openFromMenu(*window);
    QWidget* target = dialog->findChild<QWidget*>(name);
    QVERIFY(target);
    auto* box = qobject_cast<QCheckBox*>(target);
    const bool checkedBefore = box && box->isChecked();
    alt(key);
    QTRY_COMPARE(QApplication::focusWidget(), target);
    if (box)
        QTRY_COMPARE(box->isChecked(), !checkedBefore); // a mnemonic clicks after a short show
    QCOMPARE(control<QLineEdit>(dialog, "edPassword")->echoMode(), QLineEdit::Password);
    press(Qt::Key_Escape);
    QTRY_VERIFY(!window->form->findChild<PublishDialog*>());
}

// The export dialog leads there too, by its own key.
void PublishDialogTest::openedFromTheExportDialog() {
    auto window = openWindow();
    QVERIFY(window->ready);
    press(Qt::Key_E, Qt::ControlModifier);
    ExportCalendarDialog* exporting = nullptr;
    QTRY_VERIFY((exporting = window->form->findChild<ExportCalendarDialog*>()) &&
                exporting->isVisible());
    QTRY_COMPARE(QApplication::activeWindow(), exporting);
    alt(Qt::Key_P);
    PublishDialog* dialog = nullptr;
    QTRY_VERIFY((dialog = window->form->findChild<PublishDialog*>()) && dialog->isVisible());
    QTRY_VERIFY(!window->form->findChild<ExportCalendarDialog*>());
    // It takes the keys from the export dialog it replaces.
    QTRY_COMPARE(QApplication::activeWindow(), dialog);
    // The Calendar page's switches are where its choices start.
    QCOMPARE(control<QCheckBox>(dialog, "chkPaydays")->isChecked(),
             window->form->swPaydays->isChecked());
    press(Qt::Key_Escape);
    QTRY_VERIFY(!window->form->findChild<PublishDialog*>());
}

// Without "Keep it up to date" a change of the days starts nothing and no timer runs.
void PublishDialogTest::withoutKeepingUpToDateNothingWaits() {
    if (expectNoKeyring())
        QSKIP("no keyring in this run");
    auto window = openWindow();
    QVERIFY(window->ready);
    Publishing& publishing = window->form->publishing();
    const QUrl calendar = publishedOnce(*window, false);
    QVERIFY(!calendar.isEmpty());
    const QDateTime first = publishing.state().lastTry;
    QSignalSpy changed(&publishing, &Publishing::stateChanged);
    DayEntry note;
    note.date = serialFromQDate(QDate(2026, 12, 20));
    note.kind = EntryKind::Note;
    note.note = QStringLiteral("Not sent");
    QVERIFY(window->form->dayEditing().add(note).ok);
    QVERIFY(!publishing.isWaiting());
    window->clickSave();
    QVERIFY(!publishing.isWaiting());
    QCOMPARE(changed.size(), 0);
    QVERIFY(!onServer(calendar).contains("Not sent"));
}

// With no keyring on the desktop the calendars may still be found with the typed password, but
// Publish says why it cannot keep it and sends nothing: no calendar made, no choice kept.
void PublishDialogTest::withoutAKeyringNothingIsPublished() {
    if (!expectNoKeyring())
        QSKIP("a keyring runs in this session");
    auto window = openWindow();
    QVERIFY(window->ready);
    PublishDialog* dialog = openFromMenu(*window);
    type(m_radicale->url().toString());
    alt(Qt::Key_U);
    type(TestUser);
    alt(Qt::Key_W);
    type(TestPassword);
    alt(Qt::Key_F);
    QTRY_COMPARE_WITH_TIMEOUT(message(dialog), QStringLiteral("No calendar there yet."), 30000);
    QCOMPARE(calendarItems(dialog), QStringList{"New calendar: Tourwise duty"});
    press(Qt::Key_Return);
    QTRY_VERIFY_WITH_TIMEOUT(message(dialog).startsWith(QStringLiteral("No keyring")), 30000);
    QVERIFY(!message(dialog).contains(TestPassword));
    QCOMPARE(stateLine(dialog), QStringLiteral("Not published yet."));
    QCOMPARE(calendarsOnServer(), QStringList());
    QVERIFY(!window->form->entryStore().publishChoices());
    press(Qt::Key_Escape);
    passwordIsNowhere(*window, false);
}

QTEST_MAIN(PublishDialogTest)
#include "tst_publishdialog.moc"
