// --publish as a script runs it, against a real Radicale on a loopback port: the calendar
// "Tourwise duty" found or made, a first publish, a second that changes nothing, an edit and a
// change of group sent as updates, and the server then holding exactly what the calendar file
// holds. The password comes from a file only its owner may read and never reaches a file of
// ours, a command line or what the program prints.
#include "caldavservers.h"
#include "caldavtesting.h"

#include "export/caldavclient.h"

#include <QDirIterator>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

namespace {

struct Run {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

CalDavAccount account() {
    CalDavAccount made;
    made.user = TestUser;
    made.password = TestPassword;
    return made;
}

} // namespace

class PublishCommandTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void publishesAndFollowsChanges();
    void refusals_data();
    void refusals();

private:
    Run run(const QStringList& arguments, const QByteArray& input = {});
    QStringList publishArguments(const QString& address) const;
    // UID -> summary of what the server's calendar holds, and of the calendar file.
    QMap<QString, QString> onServer(const QUrl& calendar);
    QMap<QString, QString> inTheFile();
    QUrl tourwiseCalendar();

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<RadicaleServer> m_server;
    QString m_passwordFile;
};

void PublishCommandTest::init() {
    m_dir = std::make_unique<QTemporaryDir>();
    m_server = std::make_unique<RadicaleServer>();
    QVERIFY(m_server->start(m_dir->filePath(QStringLiteral("radicale"))));
    m_passwordFile = m_dir->filePath(QStringLiteral("password"));
    QFile file(m_passwordFile);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(TestPassword.toUtf8() + "\n");
    file.close();
    QVERIFY(file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner));
    QDir().mkpath(m_dir->filePath(QStringLiteral("config/Kestrand/Tourwise")));
    QFile settings(m_dir->filePath(QStringLiteral("config/Kestrand/Tourwise/Tourwise.ini")));
    QVERIFY(settings.open(QIODevice::WriteOnly));
    settings.write("[Config]\r\nRDO=B2\r\n");
}

void PublishCommandTest::cleanup() {
    m_server.reset();
    m_dir.reset();
}

Run PublishCommandTest::run(const QStringList& arguments, const QByteArray& input) {
    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"),
                       m_dir->filePath(QStringLiteral("config")));
    environment.insert(QStringLiteral("XDG_DATA_HOME"), m_dir->filePath(QStringLiteral("data")));
    environment.insert(QStringLiteral("TZ"), QStringLiteral("UTC"));
    // No keyring here: a publish without a password file must say so, not hang.
    environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"),
                       QStringLiteral("unix:path=/nonexistent/tourwise-no-bus"));
    program.setProcessEnvironment(environment);
    program.setWorkingDirectory(m_dir->path());
    program.start(QStringLiteral(TOURWISE_PROGRAM), arguments);
    program.write(input);
    program.closeWriteChannel();
    Run result;
    if (!program.waitForFinished(120000))
        return result;
    result.exitCode = program.exitCode();
    result.out = program.readAllStandardOutput();
    result.err = program.readAllStandardError();
    return result;
}

QStringList PublishCommandTest::publishArguments(const QString& address) const {
    return {QStringLiteral("--publish"),
            address,
            QStringLiteral("--user"),
            TestUser,
            QStringLiteral("--password-file"),
            m_passwordFile,
            QStringLiteral("--from"),
            QStringLiteral("2026-01-01"),
            QStringLiteral("--to"),
            QStringLiteral("2026-06-30")};
}

QUrl PublishCommandTest::tourwiseCalendar() {
    CalDavClient client(account());
    const CalDavDiscovery found =
        waitFor<CalDavDiscovery>([&](auto done) { client.discover(m_server->url(), done); });
    for (const CalDavCalendar& calendar : found.calendars)
        if (calendar.displayName == QLatin1StringView(TourwiseCalendarName))
            return calendar.url;
    return {};
}

QMap<QString, QString> PublishCommandTest::onServer(const QUrl& calendar) {
    CalDavClient client(account());
    const DavResponse whole = sendAndWait(client, {"GET", calendar, {}, {}, {}});
    const QString path = m_dir->filePath(QStringLiteral("server.ics"));
    QFile file(path);
    if (whole.status != 200 || !file.open(QIODevice::WriteOnly))
        return {};
    file.write(whole.body);
    file.close();
    QProcess reader;
    reader.start(QStringLiteral(DEBIAN_PYTHON3), {QStringLiteral(COLLECTION_READBACK), path});
    if (!reader.waitForFinished(60000) || reader.exitCode() != 0)
        return {};
    QMap<QString, QString> byUid;
    for (const QJsonValue& value :
         QJsonDocument::fromJson(reader.readAllStandardOutput()).array()) {
        const QString uid = value[QStringLiteral("uid")].toString();
        if (byUid.contains(uid))
            return {{QStringLiteral("twice"), uid}};
        byUid.insert(uid, value[QStringLiteral("summary")].toString());
    }
    return byUid;
}

QMap<QString, QString> PublishCommandTest::inTheFile() {
    if (run({QStringLiteral("--export-ics"), QStringLiteral("file.ics"), QStringLiteral("--from"),
             QStringLiteral("2026-01-01"), QStringLiteral("--to"), QStringLiteral("2026-06-30")})
            .exitCode != 0)
        return {};
    QProcess reader;
    reader.start(QStringLiteral(DEBIAN_PYTHON3), {QStringLiteral(COLLECTION_READBACK),
                                                  m_dir->filePath(QStringLiteral("file.ics"))});
    if (!reader.waitForFinished(60000) || reader.exitCode() != 0)
        return {};
    QMap<QString, QString> byUid;
    for (const QJsonValue& value : QJsonDocument::fromJson(reader.readAllStandardOutput()).array())
        byUid.insert(value[QStringLiteral("uid")].toString(),
                     value[QStringLiteral("summary")].toString());
    return byUid;
}

void PublishCommandTest::publishesAndFollowsChanges() {
    const QRegularExpression line(
        QStringLiteral("^Published (\\d+) events to (\\S+) \\((\\d+) added, (\\d+) updated, "
                       "(\\d+) removed, (\\d+) unchanged\\)\\n$"));
    // The server's address: the calendar is made there.
    Run first = run(publishArguments(m_server->url().toString()));
    QCOMPARE(first.err, QByteArray());
    QCOMPARE(first.exitCode, 0);
    QRegularExpressionMatch counts = line.match(QString::fromUtf8(first.out));
    QVERIFY2(counts.hasMatch(), first.out.constData());
    const int events = counts.captured(1).toInt();
    QVERIFY(events > 90);
    QCOMPARE(counts.captured(3).toInt(), events);
    const QUrl calendar = tourwiseCalendar();
    QVERIFY(calendar.isValid());
    QCOMPARE(onServer(calendar), inTheFile());

    // Again, to the calendar's own address: nothing to send.
    Run again = run(publishArguments(calendar.toString()));
    QCOMPARE(again.exitCode, 0);
    counts = line.match(QString::fromUtf8(again.out));
    QVERIFY2(counts.hasMatch(), again.out.constData());
    QCOMPARE(counts.captured(6).toInt(), events);

    // A day traded away: one update.
    QByteArray trade = R"({"format": "tourwise-days", "version": 3, "entries": [
        {"id": "0b6a0a64-5d1e-4c5e-9a51-7f0b9d6c1a01", "date": "2026-03-05", "kind": "trade-out",
         "with": "J. Smith", "revision": 1}]})";
    QCOMPARE(run({QStringLiteral("--import-days"), QStringLiteral("-")}, trade).exitCode, 0);
    Run edited = run(publishArguments(m_server->url().toString()));
    counts = line.match(QString::fromUtf8(edited.out));
    QVERIFY2(counts.hasMatch(), edited.out.constData());
    QCOMPARE(counts.captured(4).toInt(), 1);
    QCOMPARE(onServer(calendar), inTheFile());

    // A transfer within the crew, B2 to B5 from 1 March: each changed date is updated in place,
    // nothing added or removed, and the server holds what the file holds.
    QCOMPARE(run({QStringLiteral("--change-assignment"), QStringLiteral("B5"),
                  QStringLiteral("--effective"), QStringLiteral("2026-03-01")})
                 .exitCode,
             0);
    Run transfer = run(publishArguments(calendar.toString()));
    counts = line.match(QString::fromUtf8(transfer.out));
    QVERIFY2(counts.hasMatch(), transfer.out.constData());
    QVERIFY(counts.captured(4).toInt() > 5);
    QCOMPARE(counts.captured(3).toInt(), 0);
    QCOMPARE(counts.captured(5).toInt(), 0);
    const QMap<QString, QString> held = onServer(calendar);
    QCOMPARE(held, inTheFile());
    QVERIFY(held.values().contains(QStringLiteral("RDO B5")));

    // The password is in no file of ours and was never printed.
    for (const QString& folder : {QStringLiteral("config"), QStringLiteral("data")}) {
        QDirIterator files(m_dir->filePath(folder), QDir::Files | QDir::Hidden,
                           QDirIterator::Subdirectories);
        while (files.hasNext()) {
            QFile file(files.next());
            QVERIFY(file.open(QIODevice::ReadOnly));
            QVERIFY2(!file.readAll().contains(TestPassword.toUtf8()), qPrintable(file.fileName()));
        }
    }
    for (const Run& output : {first, again, edited, transfer})
        QVERIFY(!output.out.contains(TestPassword.toUtf8()) &&
                !output.err.contains(TestPassword.toUtf8()));
}

void PublishCommandTest::refusals_data() {
    QTest::addColumn<QString>("setup");
    QTest::addColumn<QStringList>("arguments"); // @URL@ the server, @FILE@ the password file
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("said");
    const QStringList plain{"--publish", "@URL@", "--user", "tester", "--password-file", "@FILE@"};
    QTest::newRow("a password file others may read") << "readable" << plain << 1 << "may be read";
    QTest::newRow("the wrong password") << "wrong" << plain << 1 << "password";
    QTest::newRow("no user") << "" << QStringList{"--publish", "@URL@"} << 2 << "--user";
    QTest::newRow("no keyring and no password file")
        << "" << QStringList{"--publish", "@URL@", "--user", "tester"} << 1 << "keyring";
    QTest::newRow("plain http to another host")
        << "" << QStringList{"--publish", "http://calendar.example.org/", "--user", "tester"} << 1
        << "http";
    QTest::newRow("a stopped server") << "stopped" << plain << 1 << "127.0.0.1";
}

void PublishCommandTest::refusals() {
    QFETCH(QString, setup);
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QString, said);
    if (setup == QLatin1String("readable"))
        QVERIFY(QFile(m_passwordFile)
                    .setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                    QFileDevice::ReadGroup | QFileDevice::ReadOther));
    if (setup == QLatin1String("wrong")) {
        QFile file(m_passwordFile);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write("not-the-password\n");
    }
    if (setup == QLatin1String("stopped"))
        m_server->stop();
    for (QString& argument : arguments) {
        argument.replace(QStringLiteral("@URL@"), m_server->url().toString());
        argument.replace(QStringLiteral("@FILE@"), m_passwordFile);
    }
    arguments << QStringLiteral("--from") << QStringLiteral("2026-01-01") << QStringLiteral("--to")
              << QStringLiteral("2026-01-31");
    const Run result = run(arguments);
    QCOMPARE(result.exitCode, exitCode);
    QCOMPARE(result.out, QByteArray());
    QCOMPARE(result.err.count('\n'), 1);
    QVERIFY2(result.err.contains(said.toUtf8()), result.err.constData());
    QVERIFY(!result.err.contains(TestPassword.toUtf8()));
    // Nothing was remembered of a publish that did not happen.
    QVERIFY(!QFileInfo::exists(
                m_dir->filePath(QStringLiteral("data/Kestrand/Tourwise/Tourwise-days.sqlite"))) ||
            setup == QLatin1String("stopped"));
}

QTEST_GUILESS_MAIN(PublishCommandTest)
#include "tst_publishcommand.moc"
