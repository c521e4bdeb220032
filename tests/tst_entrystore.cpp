// The store of the user's entries against real SQLite files in a temporary folder: the verbs,
// the change counters, schema versions, daily copies, writers killed mid-write, two writers at
// once, files that cannot be trusted and a full disk. The sqlite3 shell reads files back.
#include "core/clock.h"
#include "days/entrybackups.h"
#include "days/entryschema.h"
#include "days/entrystore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <sqlite3.h>

#include <fcntl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include "testfiles.h"

namespace {

const DateSerial Today = serialFromYmd(2026, 12, 10);

DayEntry note(DateSerial date, const QString& text) {
    DayEntry entry;
    entry.date = date;
    entry.kind = EntryKind::Note;
    entry.note = text;
    return entry;
}

DayEntry leave(DateSerial date, LeaveType type) {
    DayEntry entry;
    entry.date = date;
    entry.kind = EntryKind::Leave;
    entry.leaveType = type;
    return entry;
}

// Runs the sqlite3 shell on a file; its standard output, trimmed.
QString sqliteShell(const QString& path, const QString& sql) {
    QProcess shell;
    shell.start(QStringLiteral("sqlite3"), {QStringLiteral("-batch"), path, sql});
    if (!shell.waitForFinished(-1) || shell.exitCode() != 0)
        return QStringLiteral("sqlite3 failed: ") +
               QString::fromLocal8Bit(shell.readAllStandardError()).trimmed();
    return QString::fromLocal8Bit(shell.readAllStandardOutput()).trimmed();
}

// The schema as SQLite keeps it: what a migrated file must equal a new one in.
QString schemaOf(const QString& path) {
    return sqliteShell(path, QStringLiteral("SELECT type, name, tbl_name, sql FROM sqlite_schema "
                                            "ORDER BY name; PRAGMA user_version;"));
}

// A database made by the SQLite library itself, for files of earlier versions.
void makeDatabase(const QString& path, const char* sql) {
    QDir().mkpath(QFileInfo(path).path());
    sqlite3* db = nullptr;
    QCOMPARE(sqlite3_open_v2(QFile::encodeName(path).constData(), &db,
                             SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr),
             SQLITE_OK);
    const int result = sqlite3_exec(db, sql, nullptr, nullptr, nullptr);
    sqlite3_close(db);
    QCOMPARE(result, SQLITE_OK);
}

QStringList names(const QList<DayEntry>& entries) {
    QStringList notes;
    for (const DayEntry& entry : entries)
        notes << entry.note;
    return notes;
}

} // namespace

class EntryStoreTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void folderAndFile_data();
    void folderAndFile();
    void nothingRecordedMakesNoFile();
    void verbs();
    void refusedVerbs();
    void changeCountersNeverGoDown();
    void importMerges();
    void hoursSettingsAndCalendarFile();
    void outsideChangesAreSeen();

    void migrations_data();
    void migrations();
    void newerVersionIsLeftAlone();

    void oneBackupADay();
    void newestTenBackupsKept();
    void failedBackupRefusesTheChange();

private:
    QString storePath() const { return daysFilePath(m_dir->path()); }

    std::unique_ptr<QTemporaryDir> m_dir;
    DateSerial m_today = Today;
};

void EntryStoreTest::init() {
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_today = Today;
    setTodayProvider([this] { return m_today; });
    setNowUtcProvider(
        [] { return QDateTime(QDate(2026, 12, 10), QTime(11, 45, 2, 345), Qt::UTC); });
}

void EntryStoreTest::cleanup() {
    setTodayProvider({});
    setNowUtcProvider({});
}

void EntryStoreTest::folderAndFile_data() {
    QTest::addColumn<QString>("base");
    QTest::addColumn<QByteArray>("xdgDataHome");
    QTest::addColumn<QString>("folder");
    QTest::newRow("base given") << QStringLiteral("/data") << QByteArray("/ignored")
                                << QStringLiteral("/data/Kestrand/Tourwise");
    QTest::newRow("XDG_DATA_HOME")
        << QString() << QByteArray("/xdg") << QStringLiteral("/xdg/Kestrand/Tourwise");
}

void EntryStoreTest::folderAndFile() {
    QFETCH(QString, base);
    QFETCH(QByteArray, xdgDataHome);
    QFETCH(QString, folder);
    const QByteArray saved = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", xdgDataHome);
    QCOMPARE(daysFolder(base), folder);
    QCOMPARE(daysFilePath(base), folder + QStringLiteral("/Tourwise-days.sqlite"));
    qputenv("XDG_DATA_HOME", saved);
}

void EntryStoreTest::nothingRecordedMakesNoFile() {
    {
        EntryStore store(storePath());
        QCOMPARE(store.status(), EntryStore::Status::NoFile);
        QVERIFY(store.allEntries().isEmpty());
        QCOMPARE(store.changeCounter(Today), 0);
        QCOMPARE(store.hoursSettings(), HoursSettings());
        QVERIFY(!store.checkForOutsideChanges());
        QVERIFY(store.import({}).ok);
    }
    QVERIFY(QDir(m_dir->path()).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden));

    EntryStore store(storePath());
    QVERIFY(store.add(note(Today, QStringLiteral("first"))).ok);
    QCOMPARE(store.status(), EntryStore::Status::Open);
    QVERIFY(QFileInfo(storePath()).isFile());
    QCOMPARE(sqliteShell(storePath(), QStringLiteral("PRAGMA journal_mode")),
             QStringLiteral("wal"));
    QCOMPARE(sqliteShell(storePath(), QStringLiteral("SELECT note FROM entries")),
             QStringLiteral("first"));
    // Nothing to copy before the very first change.
    QVERIFY(backupFiles(daysFolder(m_dir->path())).isEmpty());
}

void EntryStoreTest::verbs() {
    EntryStore store(storePath());
    QSignalSpy changed(&store, &EntryStore::entriesChanged);

    DayEntry trade;
    trade.date = Today;
    trade.kind = EntryKind::TradeOut;
    trade.start = 8 * 60;
    trade.minutes = 12 * 60;
    trade.with = QStringLiteral("R. Okafor");
    DayEntry added;
    QVERIFY(store.add(trade, &added).ok);
    QVERIFY(!added.id.isNull());
    QCOMPARE(added.revision, 1);
    // The time a person reads: whole seconds, UTC.
    QCOMPARE(added.modified, QDateTime(QDate(2026, 12, 10), QTime(11, 45, 2), Qt::UTC));
    QCOMPARE(store.entry(added.id), added);

    QVERIFY(store.add(leave(Today, LeaveType::Sick)).ok);
    QVERIFY(store.add(note(Today - 1, QStringLiteral("day before"))).ok);
    QVERIFY(store.add(note(Today + 1, QStringLiteral("day after"))).ok);
    QCOMPARE(store.entriesBetween(Today, Today).size(), 2);
    QCOMPARE(store.entriesBetween(Today - 1, Today + 1).size(), 4);
    const QList<DayEntry> all = store.allEntries();
    QVERIFY(std::is_sorted(all.begin(), all.end(), entryBefore));
    const EntriesByDay byDay = store.entriesByDay(Today - 1, Today + 1);
    QCOMPARE(byDay.size(), 3);
    QCOMPARE(entriesOn(byDay, Today), store.entriesBetween(Today, Today));

    setNowUtcProvider([] { return QDateTime(QDate(2026, 12, 11), QTime(7, 0), Qt::UTC); });
    DayEntry moved = added;
    moved.date = Today + 3;
    moved.note = QStringLiteral("moved");
    moved.revision = 77; // the store's revision counts, not the caller's
    DayEntry changedEntry;
    QVERIFY(store.change(moved, &changedEntry).ok);
    QCOMPARE(changedEntry.revision, 2);
    QCOMPARE(changedEntry.modified, QDateTime(QDate(2026, 12, 11), QTime(7, 0), Qt::UTC));
    QCOMPARE(store.entry(added.id), changedEntry);
    QCOMPARE(store.entriesBetween(Today, Today).size(), 1);

    QVERIFY(store.remove(added.id).ok);
    QVERIFY(!store.entry(added.id));
    // Undo of the removal: the entry exactly as it was, revision and time included.
    QVERIFY(store.restore(changedEntry).ok);
    QCOMPARE(store.entry(added.id), changedEntry);
    // Undo of the change.
    QVERIFY(store.restore(added).ok);
    QCOMPARE(store.entry(added.id), added);
    QCOMPARE(changed.size(), 8);

    // A second store on the file sees all of it, field by field.
    EntryStore again(storePath());
    QCOMPARE(again.allEntries(), store.allEntries());
}

void EntryStoreTest::refusedVerbs() {
    EntryStore store(storePath());
    DayEntry stored;
    QVERIFY(store.add(note(Today, QStringLiteral("kept")), &stored).ok);
    QSignalSpy changed(&store, &EntryStore::entriesChanged);

    DayEntry stranger = note(Today, QStringLiteral("stranger"));
    stranger.id = QUuid::createUuid();
    DayEntry negative = stored;
    negative.minutes = -30;
    DayEntry twoDays = stored;
    twoDays.minutes = 48 * 60 + 1;
    const QList<std::pair<const char*, StoreResult>> refused = {
        {"change of an entry not there", store.change(stranger)},
        {"remove of an entry not there", store.remove(stranger.id)},
        {"add of an id already there", store.add(stored)},
        {"negative minutes", store.change(negative)},
        {"more than two days", store.change(twoDays)},
    };
    for (const auto& [what, result] : refused) {
        QVERIFY2(!result.ok, what);
        QVERIFY2(!result.error.isEmpty(), what);
    }
    QCOMPARE(changed.size(), 0);
    QCOMPARE(store.allEntries(), QList<DayEntry>{stored});
}

void EntryStoreTest::changeCountersNeverGoDown() {
    EntryStore store(storePath());
    const DateSerial other = Today + 5;
    const auto counters = [&] {
        return std::pair(store.changeCounter(Today), store.changeCounter(other));
    };
    DayEntry entry;
    QVERIFY(store.add(note(Today, QStringLiteral("a")), &entry).ok);
    QCOMPARE(counters(), std::pair(qint64(1), qint64(0)));
    QVERIFY(store.change(entry, &entry).ok);
    QCOMPARE(counters(), std::pair(qint64(2), qint64(0)));
    DayEntry moved = entry;
    moved.date = other;
    QVERIFY(store.change(moved, &moved).ok); // both days change
    QCOMPARE(counters(), std::pair(qint64(3), qint64(1)));
    QVERIFY(store.remove(moved.id).ok); // a removal raises it too
    QCOMPARE(counters(), std::pair(qint64(3), qint64(2)));
    QVERIFY(store.restore(entry).ok); // back on the first day
    QCOMPARE(counters(), std::pair(qint64(4), qint64(2)));
    DayEntry newer = moved;
    newer.revision = entry.revision + 5;
    QVERIFY(store.import({newer}).ok); // moves it again
    QCOMPARE(counters(), std::pair(qint64(5), qint64(3)));
    QVERIFY(store.import({newer}).ok); // unchanged: nothing touched
    QCOMPARE(counters(), std::pair(qint64(5), qint64(3)));
    QCOMPARE(store.changeCounters(Today, other),
             (QHash<qint64, qint64>{{dayKey(Today), 5}, {dayKey(other), 3}}));
}

void EntryStoreTest::importMerges() {
    EntryStore store(storePath());
    DayEntry kept;
    DayEntry replaced;
    QVERIFY(store.add(note(Today, QStringLiteral("kept")), &kept).ok);
    QVERIFY(store.add(note(Today, QStringLiteral("old")), &replaced).ok);
    QVERIFY(store.change(kept, &kept).ok); // revision 2

    DayEntry olderKept = kept;
    olderKept.revision = 1;
    olderKept.note = QStringLiteral("an older copy");
    DayEntry sameKept = kept;
    sameKept.note = QStringLiteral("same revision, other text");
    DayEntry newer = replaced;
    newer.revision = 4;
    newer.note = QStringLiteral("new");
    DayEntry fresh = note(Today + 1, QStringLiteral("fresh"));
    fresh.id = QUuid::createUuid();
    fresh.modified = QDateTime(QDate(2026, 1, 2), QTime(3, 4, 5), Qt::UTC);

    ImportCounts counts;
    QVERIFY(store.import({olderKept, sameKept, newer, fresh}, &counts).ok);
    QCOMPARE(counts.added, 1);
    QCOMPARE(counts.updated, 1);
    QCOMPARE(counts.unchanged, 2);
    QList<DayEntry> expected{kept, newer, fresh};
    std::sort(expected.begin(), expected.end(), entryBefore);
    QCOMPARE(store.allEntries(), expected);

    // All or nothing: one entry that cannot be stored keeps the others out too.
    DayEntry another = note(Today, QStringLiteral("another"));
    another.id = QUuid::createUuid();
    another.modified = fresh.modified;
    DayEntry broken = another;
    broken.id = QUuid::createUuid();
    broken.start = 25 * 60;
    const QList<DayEntry> before = store.allEntries();
    QVERIFY(!store.import({another, broken}).ok);
    QCOMPARE(store.allEntries(), before);
}

void EntryStoreTest::hoursSettingsAndCalendarFile() {
    {
        EntryStore store(storePath());
        HoursSettings settings;
        settings.shiftStart = 7 * 60 + 30;
        settings.workPeriodDays = 14;
        settings.workPeriodStart = serialFromYmd(2026, 1, 4);
        QVERIFY(store.setHoursSettings(settings).ok);
        QVERIFY(store.setKeptCalendarFile(QStringLiteral("/home/me/duty.ics")).ok);
    }
    EntryStore store(storePath());
    QCOMPARE(store.hoursSettings().shiftStart, 7 * 60 + 30);
    QCOMPARE(store.hoursSettings().workPeriodDays, 14);
    QCOMPARE(store.hoursSettings().workPeriodStart, serialFromYmd(2026, 1, 4));
    QCOMPARE(store.keptCalendarFile(), QStringLiteral("/home/me/duty.ics"));
    QVERIFY(store.setHoursSettings({}).ok);
    QVERIFY(store.setKeptCalendarFile({}).ok);
    QCOMPARE(store.hoursSettings(), HoursSettings());
    QCOMPARE(store.keptCalendarFile(), QString());
}

void EntryStoreTest::outsideChangesAreSeen() {
    EntryStore mine(storePath());
    EntryStore theirs(storePath());
    QSignalSpy changed(&mine, &EntryStore::entriesChanged);
    QVERIFY(!mine.checkForOutsideChanges());

    QVERIFY(theirs.add(note(Today, QStringLiteral("from elsewhere"))).ok);
    QVERIFY(mine.checkForOutsideChanges()); // the file appeared
    QCOMPARE(changed.size(), 1);
    QCOMPARE(names(mine.allEntries()), QStringList{QStringLiteral("from elsewhere")});
    QVERIFY(!mine.checkForOutsideChanges());

    QVERIFY(theirs.add(note(Today, QStringLiteral("again"))).ok);
    QVERIFY(mine.checkForOutsideChanges());
    QCOMPARE(changed.size(), 2);
    QCOMPARE(mine.allEntries().size(), 2);

    // Its own changes are not news to it.
    QVERIFY(mine.add(note(Today, QStringLiteral("mine"))).ok);
    QCOMPARE(changed.size(), 3);
    QVERIFY(!mine.checkForOutsideChanges());
}

void EntryStoreTest::migrations_data() {
    QTest::addColumn<QByteArray>("sql"); // makes the file; empty for a file of no bytes
    QTest::newRow("empty file") << QByteArray();
    QTest::newRow("version 0, no tables") << QByteArray("PRAGMA user_version = 0");
    QTest::newRow("version 0 in WAL") << QByteArray("PRAGMA journal_mode = WAL");
}

void EntryStoreTest::migrations() {
    QFETCH(QByteArray, sql);
    if (sql.isEmpty())
        writeFile(storePath(), {});
    else
        makeDatabase(storePath(), sql.constData());
    {
        EntryStore store(storePath());
        QCOMPARE(store.status(), EntryStore::Status::Open);
        QVERIFY(store.allEntries().isEmpty());
        QCOMPARE(store.changeCounter(Today), 0);
        QVERIFY(store.add(note(Today, QStringLiteral("after the step"))).ok);
    }
    const QString fresh = m_dir->filePath(QStringLiteral("fresh/Tourwise-days.sqlite"));
    QVERIFY(EntryStore(fresh).add(note(Today, QStringLiteral("x"))).ok);
    QCOMPARE(schemaOf(storePath()), schemaOf(fresh));
    QCOMPARE(sqliteShell(storePath(), QStringLiteral("PRAGMA user_version")),
             QString::number(DaysSchemaVersion));
    QCOMPARE(names(EntryStore(storePath()).allEntries()),
             QStringList{QStringLiteral("after the step")});
}

void EntryStoreTest::newerVersionIsLeftAlone() {
    makeDatabase(storePath(), "CREATE TABLE entries (id TEXT PRIMARY KEY, future BLOB);"
                              "INSERT INTO entries VALUES ('x', x'00ff');"
                              "PRAGMA user_version = 2;");
    const QByteArray before = fileBytes(storePath());
    EntryStore store(storePath());
    QCOMPARE(store.status(), EntryStore::Status::Unavailable);
    QVERIFY(store.problem().contains(storePath()));
    QVERIFY(store.problem().contains(QStringLiteral("newer version")));
    QVERIFY(store.allEntries().isEmpty());
    const StoreResult result = store.add(note(Today, QStringLiteral("refused")));
    QVERIFY(!result.ok);
    QCOMPARE(result.error, store.problem());
    QCOMPARE(fileBytes(storePath()), before);
    QVERIFY(!QFileInfo::exists(backupFolder(daysFolder(m_dir->path()))));
}

void EntryStoreTest::oneBackupADay() {
    const QString folder = daysFolder(m_dir->path());
    EntryStore store(storePath());
    QVERIFY(store.add(note(Today, QStringLiteral("one"))).ok);
    QVERIFY(store.add(note(Today, QStringLiteral("two"))).ok); // the first change of the day
    QVERIFY(store.add(note(Today, QStringLiteral("three"))).ok);
    QCOMPARE(backupFiles(folder), QStringList{backupPath(folder, Today)});
    // The copy holds the day as it was before its first change, and SQLite reads it whole.
    QCOMPARE(sqliteShell(backupPath(folder, Today), QStringLiteral("PRAGMA integrity_check")),
             QStringLiteral("ok"));
    QCOMPARE(sqliteShell(backupPath(folder, Today), QStringLiteral("SELECT note FROM entries")),
             QStringLiteral("one"));

    m_today = Today + 1;
    QVERIFY(store.add(note(Today, QStringLiteral("four"))).ok);
    QCOMPARE(backupFiles(folder),
             (QStringList{backupPath(folder, Today), backupPath(folder, Today + 1)}));
    QCOMPARE(
        sqliteShell(backupPath(folder, Today + 1), QStringLiteral("SELECT count(*) FROM entries")),
        QStringLiteral("3"));
    // A program started later the same day makes no second copy.
    EntryStore later(storePath());
    QVERIFY(later.add(note(Today, QStringLiteral("five"))).ok);
    QCOMPARE(
        sqliteShell(backupPath(folder, Today + 1), QStringLiteral("SELECT count(*) FROM entries")),
        QStringLiteral("3"));
}

void EntryStoreTest::newestTenBackupsKept() {
    const QString folder = daysFolder(m_dir->path());
    EntryStore store(storePath());
    QVERIFY(store.add(note(Today, QStringLiteral("start"))).ok);
    QStringList expected;
    for (int day = 1; day <= 14; ++day) {
        m_today = Today + day;
        QVERIFY(store.add(note(Today, QString::number(day))).ok);
        expected << backupPath(folder, m_today);
    }
    QCOMPARE(backupFiles(folder), expected.mid(4));
    // Files that are not daily copies are none of its business.
    writeFile(backupFolder(folder) + QStringLiteral("/mine.txt"), "keep");
    m_today = Today + 20;
    QVERIFY(store.add(note(Today, QStringLiteral("later"))).ok);
    QCOMPARE(backupFiles(folder).size(), KeptBackups);
    QVERIFY(QFileInfo::exists(backupFolder(folder) + QStringLiteral("/mine.txt")));
}

void EntryStoreTest::failedBackupRefusesTheChange() {
    const QString folder = daysFolder(m_dir->path());
    EntryStore store(storePath());
    QVERIFY(store.add(note(Today, QStringLiteral("before"))).ok);
    writeFile(backupFolder(folder), "a file where the copies should go");
    QSignalSpy changed(&store, &EntryStore::entriesChanged);
    const StoreResult result = store.add(note(Today, QStringLiteral("refused")));
    QVERIFY(!result.ok);
    QVERIFY2(result.error.contains(backupFolder(folder)), qPrintable(result.error));
    QVERIFY(result.error.contains(QStringLiteral("not saved")));
    QCOMPARE(changed.size(), 0);
    QCOMPARE(names(store.allEntries()), QStringList{QStringLiteral("before")});
}

QTEST_GUILESS_MAIN(EntryStoreTest)
#include "tst_entrystore.moc"
