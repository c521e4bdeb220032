// What Tourwise remembers of its published events: the same contract in memory and in the days
// file (real SQLite files in a temporary folder), and what only the file adds: it survives a
// reopen, reads a file of an earlier version, is made by the first record, changes no entry and
// refuses a file that cannot be trusted without touching it.
#include "core/clock.h"
#include "days/entrystore.h"
#include "days/publishledger.h"
#include "days/publishledgerstore.h"

#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

#include "testfiles.h"

namespace {

const QString CalendarA = QStringLiteral("http://127.0.0.1:5232/tester/duty/");
const QString CalendarB = QStringLiteral("http://127.0.0.1:5232/tester/other/");

PublishedRecord recordOf(const QString& uid, const QString& etag = QStringLiteral("\"1\"")) {
    return {uid, CalendarA + uid + QStringLiteral(".ics"), etag, QStringLiteral("hash-of-") + uid};
}

QList<PublishedRecord> loaded(PublishLedger& ledger, const QString& calendar) {
    QString error;
    const std::optional<QList<PublishedRecord>> records = ledger.load(calendar, &error);
    if (!records) {
        qWarning("load failed: %s", qPrintable(error));
        return {};
    }
    return *records;
}

QString sqliteShell(const QString& path, const QString& sql) {
    QProcess shell;
    shell.start(QStringLiteral("sqlite3"), {QStringLiteral("-batch"), path, sql});
    if (!shell.waitForFinished(-1) || shell.exitCode() != 0)
        return QStringLiteral("sqlite3 failed: ") +
               QString::fromLocal8Bit(shell.readAllStandardError()).trimmed();
    return QString::fromLocal8Bit(shell.readAllStandardOutput()).trimmed();
}

} // namespace

class PublishLedgerTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void contract_data();
    void contract();
    void survivesAReopenAndChangesNoEntry();
    void fileOfAnEarlierVersionHasNoRecords();
    void untrustedFileIsLeftAlone();

private:
    QString storePath() const { return daysFilePath(m_dir->path()); }

    std::unique_ptr<QTemporaryDir> m_dir;
};

void PublishLedgerTest::init() {
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    setTodayProvider([] { return serialFromYmd(2026, 12, 10); });
}

void PublishLedgerTest::cleanup() {
    setTodayProvider({});
}

void PublishLedgerTest::contract_data() {
    QTest::addColumn<bool>("inTheDaysFile");
    QTest::newRow("in memory") << false;
    QTest::newRow("in the days file") << true;
}

void PublishLedgerTest::contract() {
    QFETCH(bool, inTheDaysFile);
    EntryStore store(storePath());
    MemoryPublishLedger memory;
    DaysFilePublishLedger file(store);
    PublishLedger& ledger = inTheDaysFile ? static_cast<PublishLedger&>(file) : memory;
    QString error;

    QVERIFY(loaded(ledger, CalendarA).isEmpty());
    QVERIFY(ledger.record(CalendarA, recordOf(QStringLiteral("u1")), &error));
    QVERIFY(ledger.record(CalendarA, recordOf(QStringLiteral("u2")), &error));
    QVERIFY(
        ledger.record(CalendarB, recordOf(QStringLiteral("u1"), QStringLiteral("\"b\"")), &error));
    // Recording a UID again replaces its record; calendars are kept apart.
    QVERIFY(ledger.record(CalendarA, recordOf(QStringLiteral("u1"), QStringLiteral("W/\"2\"")),
                          &error));
    QCOMPARE(loaded(ledger, CalendarA),
             (QList<PublishedRecord>{recordOf(QStringLiteral("u1"), QStringLiteral("W/\"2\"")),
                                     recordOf(QStringLiteral("u2"))}));
    QCOMPARE(loaded(ledger, CalendarB),
             QList<PublishedRecord>{recordOf(QStringLiteral("u1"), QStringLiteral("\"b\""))});

    QVERIFY(ledger.forget(CalendarA, QStringLiteral("u1"), &error));
    QVERIFY(ledger.forget(CalendarA, QStringLiteral("never there"), &error));
    QCOMPARE(loaded(ledger, CalendarA), QList<PublishedRecord>{recordOf(QStringLiteral("u2"))});
    QCOMPARE(loaded(ledger, CalendarB).size(), 1);
    // An ETag the server did not send is remembered as none, not dropped.
    QVERIFY(ledger.record(CalendarA, recordOf(QStringLiteral("u3"), QString()), &error));
    QCOMPARE(loaded(ledger, CalendarA).last().etag, QString());
    QVERIFY(error.isEmpty());
}

void PublishLedgerTest::survivesAReopenAndChangesNoEntry() {
    {
        EntryStore store(storePath());
        QCOMPARE(store.status(), EntryStore::Status::NoFile);
        QSignalSpy changed(&store, &EntryStore::changed);
        DaysFilePublishLedger ledger(store);
        QString error;
        // The first record makes the file: a user may publish before recording any day.
        QVERIFY2(ledger.record(CalendarA, recordOf(QStringLiteral("u1")), &error),
                 qPrintable(error));
        QVERIFY(QFile::exists(storePath()));
        QVERIFY(ledger.record(CalendarA, recordOf(QStringLiteral("u2")), &error));
        QVERIFY(ledger.forget(CalendarA, QStringLiteral("u2"), &error));
        // A window that republishes on every change of the days must not be woken by this.
        QCOMPARE(changed.size(), 0);
        QVERIFY(store.allEntries().isEmpty());
    }
    EntryStore again(storePath());
    DaysFilePublishLedger ledger(again);
    QCOMPARE(loaded(ledger, CalendarA), QList<PublishedRecord>{recordOf(QStringLiteral("u1"))});
    QCOMPARE(sqliteShell(storePath(), QStringLiteral("PRAGMA integrity_check")),
             QStringLiteral("ok"));
}

void PublishLedgerTest::fileOfAnEarlierVersionHasNoRecords() {
    // A file of version 1 (entries, counters, settings; no published table) read as it is.
    QDir().mkpath(daysFolder(m_dir->path()));
    const QString made = sqliteShell(
        storePath(), QStringLiteral("CREATE TABLE entries (id TEXT PRIMARY KEY NOT NULL, date "
                                    "TEXT NOT NULL, kind TEXT NOT NULL, minutes INTEGER, start "
                                    "TEXT, with_whom TEXT NOT NULL DEFAULT '', leave_type TEXT, "
                                    "note TEXT NOT NULL DEFAULT '', revision INTEGER NOT NULL, "
                                    "modified TEXT NOT NULL);"
                                    "CREATE TABLE day_changes (date TEXT PRIMARY KEY NOT NULL, "
                                    "counter INTEGER NOT NULL) WITHOUT ROWID;"
                                    "CREATE TABLE settings (key TEXT PRIMARY KEY NOT NULL, value "
                                    "TEXT NOT NULL) WITHOUT ROWID; PRAGMA user_version = 1;"));
    QVERIFY2(made.isEmpty(), qPrintable(made));
    EntryStore store(storePath());
    QCOMPARE(store.status(), EntryStore::Status::Open);
    DaysFilePublishLedger ledger(store);
    QString error;
    const std::optional<QList<PublishedRecord>> records = ledger.load(CalendarA, &error);
    QVERIFY2(records, qPrintable(error));
    QVERIFY(records->isEmpty());
    // The first record brings the file up to date in the same transaction.
    QVERIFY2(ledger.record(CalendarA, recordOf(QStringLiteral("u1")), &error), qPrintable(error));
    QCOMPARE(loaded(ledger, CalendarA).size(), 1);
}

void PublishLedgerTest::untrustedFileIsLeftAlone() {
    const QByteArray garbage(8192, 'x');
    writeFile(storePath(), garbage);
    EntryStore store(storePath());
    DaysFilePublishLedger ledger(store);
    QString error;
    QVERIFY(!ledger.load(CalendarA, &error));
    QVERIFY(error.contains(storePath()));
    error.clear();
    QVERIFY(!ledger.record(CalendarA, recordOf(QStringLiteral("u1")), &error));
    QVERIFY(error.contains(storePath()));
    QCOMPARE(fileBytes(storePath()), garbage);
}

QTEST_GUILESS_MAIN(PublishLedgerTest)
#include "tst_publishledger.moc"
