// The password of an account in a real keyring: gnome-keyring's Secret Service in a D-Bus
// session of the test's own (keyring_session.sh), unlocked with a test password, in a home of
// the test's own. Run without that session (TOURWISE_EXPECT_NO_KEYRING=1), it checks the
// sentence for a desktop without a keyring.
#include "platform/keyring.h"

#include <QEventLoop>
#include <QTimer>
#include <QtTest>

namespace {

KeyringResult waitFor(KeyringRequest* request) {
    KeyringResult result;
    QEventLoop loop;
    QObject::connect(request, &KeyringRequest::finished, &loop, [&](const KeyringResult& r) {
        result = r;
        loop.quit();
    });
    QTimer::singleShot(60000, &loop, &QEventLoop::quit); // a guard against a hang only
    loop.exec();
    return result;
}

const QUrl Server(QStringLiteral("https://cal.example.org/dav/"));

bool expectNoKeyring() {
    return qEnvironmentVariableIntValue("TOURWISE_EXPECT_NO_KEYRING") == 1;
}

} // namespace

class KeyringTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void writeReadReplaceDelete();
    void accountsAreKeptApart();
    void missingPassword();
    void noKeyring();
};

void KeyringTest::initTestCase() {
    if (!expectNoKeyring() && qEnvironmentVariableIsEmpty("TOURWISE_TEST_KEYRING"))
        QFAIL("run in keyring_session.sh, or with TOURWISE_EXPECT_NO_KEYRING=1");
}

void KeyringTest::writeReadReplaceDelete() {
    if (expectNoKeyring())
        QSKIP("no keyring in this run");
    const QString password = QStringLiteral("pa:ss wörd;with,odd\\chars");
    KeyringResult result =
        waitFor(Keyring::writePassword(Server, QStringLiteral("tester"), password));
    QVERIFY2(result.ok, qPrintable(result.error));
    result = waitFor(Keyring::readPassword(Server, QStringLiteral("tester")));
    QVERIFY2(result.ok, qPrintable(result.error));
    QCOMPARE(result.password, password);

    QVERIFY(
        waitFor(Keyring::writePassword(Server, QStringLiteral("tester"), QStringLiteral("second")))
            .ok);
    QCOMPARE(waitFor(Keyring::readPassword(Server, QStringLiteral("tester"))).password,
             QStringLiteral("second"));

    result = waitFor(Keyring::deletePassword(Server, QStringLiteral("tester")));
    QVERIFY2(result.ok, qPrintable(result.error));
    result = waitFor(Keyring::readPassword(Server, QStringLiteral("tester")));
    QVERIFY(!result.ok);
    QVERIFY(result.notFound);
    QVERIFY(result.password.isEmpty());
}

void KeyringTest::accountsAreKeptApart() {
    if (expectNoKeyring())
        QSKIP("no keyring in this run");
    const QUrl other(QStringLiteral("https://other.example.org/dav/"));
    QVERIFY(waitFor(Keyring::writePassword(Server, QStringLiteral("a"), QStringLiteral("1"))).ok);
    QVERIFY(waitFor(Keyring::writePassword(Server, QStringLiteral("b"), QStringLiteral("2"))).ok);
    QVERIFY(waitFor(Keyring::writePassword(other, QStringLiteral("a"), QStringLiteral("3"))).ok);
    QCOMPARE(waitFor(Keyring::readPassword(Server, QStringLiteral("a"))).password,
             QStringLiteral("1"));
    QCOMPARE(waitFor(Keyring::readPassword(Server, QStringLiteral("b"))).password,
             QStringLiteral("2"));
    QCOMPARE(waitFor(Keyring::readPassword(other, QStringLiteral("a"))).password,
             QStringLiteral("3"));
    // A trailing slash or a user name in the address names the same account.
    QCOMPARE(waitFor(Keyring::readPassword(QUrl(QStringLiteral("https://cal.example.org/dav")),
                                           QStringLiteral("a")))
                 .password,
             QStringLiteral("1"));
}

void KeyringTest::missingPassword() {
    if (expectNoKeyring())
        QSKIP("no keyring in this run");
    const KeyringResult result = waitFor(Keyring::readPassword(Server, QStringLiteral("nobody")));
    QVERIFY(!result.ok);
    QVERIFY(result.notFound);
    QVERIFY2(result.error.contains(QStringLiteral("nobody")), qPrintable(result.error));
    QVERIFY(!result.error.contains(u'\n'));
}

void KeyringTest::noKeyring() {
    if (!expectNoKeyring())
        QSKIP("a keyring runs in this session");
    const KeyringResult written = waitFor(
        Keyring::writePassword(Server, QStringLiteral("tester"), QStringLiteral("secret-1")));
    qInfo("write: %s", qPrintable(written.error));
    QVERIFY(!written.ok);
    QVERIFY2(written.error.contains(QStringLiteral("No keyring")), qPrintable(written.error));
    QVERIFY(!written.error.contains(QStringLiteral("secret-1")));
    const KeyringResult read = waitFor(Keyring::readPassword(Server, QStringLiteral("tester")));
    qInfo("read: %s", qPrintable(read.error));
    QVERIFY(!read.ok);
    QVERIFY(!read.notFound);
    QVERIFY2(read.error.contains(QStringLiteral("No keyring")), qPrintable(read.error));
}

QTEST_GUILESS_MAIN(KeyringTest)
#include "tst_keyring.moc"
