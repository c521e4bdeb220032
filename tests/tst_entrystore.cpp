// The store of the user's entries against real SQLite files in a temporary folder: the verbs,
// the change counters, schema versions, daily copies, writers killed mid-write, two writers at
// once, files that cannot be trusted and a full disk. The sqlite3 shell reads files back.
#include "core/clock.h"
#include "days/entrybackups.h"
#include "days/entryschema.h"
#include "days/entrystore.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QSet>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

#include <sqlite3.h>

#include <csignal>

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

// The highest change counter of any day near today: how many changes were counted.
qint64 highestCounter(const EntryStore& store) {
    qint64 highest = 0;
    for (qint64 counter : store.changeCounters(Today - 1000, Today + 1000))
        highest = std::max(highest, counter);
    return highest;
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
    void publishChoicesAndDutyTimingPerPlace();
    void outsideChangesAreSeen();

    void migrations_data();
    void migrations();
    void olderFileReadsAsItIsUntilItsFirstWrite();
    void newerVersionIsLeftAlone();

    void oneBackupADay();
    void newestTenBackupsKept();
    void failedBackupRefusesTheChange();

    void hostileFiles_data();
    void hostileFiles();
    void killedWriterLeavesOldOrNewState();
    void twoWritersLoseNothing();
    void fullDiskRefusesTheChange();

private:
    QString storePath() const { return daysFilePath(m_dir->path()); }
    // A store file with `count` entries, closed again (its WAL folded into the file).
    QList<DayEntry> makeStore(int count);
    // A tmpfs of that size at `folder`, unmounted at cleanup; false where mounting is not allowed.
    bool mountSmallDisk(const QString& folder, const QByteArray& size);
    QStringList m_mounts;

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
    while (!m_mounts.isEmpty())
        ::umount2(QFile::encodeName(m_mounts.takeLast()).constData(), MNT_DETACH);
}

QList<DayEntry> EntryStoreTest::makeStore(int count) {
    EntryStore store(storePath());
    for (int n = 0; n < count; ++n) {
        // Long notes: the file has many pages, so that damage in its middle is seen.
        DayEntry entry = note(Today + n % 40, QStringLiteral("entry %1 ").arg(n).repeated(20));
        if (!store.add(entry).ok)
            return {};
    }
    return store.allEntries();
}

bool EntryStoreTest::mountSmallDisk(const QString& folder, const QByteArray& size) {
    QDir().mkpath(folder);
    const QByteArray options = "size=" + size;
    if (::mount("tmpfs", QFile::encodeName(folder).constData(), "tmpfs", 0, options.constData()) !=
        0)
        return false;
    m_mounts << folder;
    return true;
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
    QSignalSpy changed(&store, &EntryStore::changed);

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
    QSignalSpy changed(&store, &EntryStore::changed);

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

// The counters are drawn from one count over all days: a day's counter never goes down, and a
// day changed later holds a higher number than any day changed before, so an entry moved to
// another day carries a higher number there than it had where it was.
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
    QVERIFY(store.change(moved, &moved).ok); // both days change, the day left first
    QCOMPARE(counters(), std::pair(qint64(3), qint64(4)));
    QVERIFY(store.remove(moved.id).ok); // a removal raises it too
    QCOMPARE(counters(), std::pair(qint64(3), qint64(5)));
    QVERIFY(store.restore(entry).ok); // back on the first day
    QCOMPARE(counters(), std::pair(qint64(6), qint64(5)));
    DayEntry newer = moved;
    newer.revision = entry.revision + 5;
    QVERIFY(store.import({newer}).ok); // moves it again
    QCOMPARE(counters(), std::pair(qint64(7), qint64(8)));
    QVERIFY(store.import({newer}).ok); // unchanged: nothing touched
    QCOMPARE(counters(), std::pair(qint64(7), qint64(8)));
    QCOMPARE(store.changeCounters(Today, other),
             (QHash<qint64, qint64>{{dayKey(Today), 7}, {dayKey(other), 8}}));
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
        QVERIFY(store.setKeptCalendarFile(QStringLiteral("/home/me/duty.ics"), true).ok);
    }
    EntryStore store(storePath());
    QCOMPARE(store.hoursSettings().shiftStart, 7 * 60 + 30);
    QCOMPARE(store.hoursSettings().workPeriodDays, 14);
    QCOMPARE(store.hoursSettings().workPeriodStart, serialFromYmd(2026, 1, 4));
    QCOMPARE(store.keptCalendarFile(), QStringLiteral("/home/me/duty.ics"));
    QVERIFY(store.keptCalendarTimedShifts());
    QVERIFY(store.setHoursSettings({}).ok);
    QVERIFY(store.setKeptCalendarFile({}).ok);
    QCOMPARE(store.hoursSettings(), HoursSettings());
    QCOMPARE(store.keptCalendarFile(), QString());
    QVERIFY(!store.keptCalendarTimedShifts());
}

void EntryStoreTest::publishChoicesAndDutyTimingPerPlace() {
    PublishChoices choices;
    choices.server = QStringLiteral("https://cal.example.org/");
    choices.user = QStringLiteral("me");
    choices.calendar = QStringLiteral("https://cal.example.org/me/tourwise-duty/");
    choices.timedShifts = true;
    choices.paydays = false;
    choices.keepUpToDate = true;
    {
        EntryStore store(storePath());
        QVERIFY(!store.publishChoices());
        QSignalSpy changed(&store, &EntryStore::changed);
        QVERIFY(store.setPublishChoices(choices).ok);
        QCOMPARE(changed.size(), 0); // no day reads differently
    }
    EntryStore store(storePath());
    QVERIFY(store.publishChoices() == choices);

    // A calendar file of whole days beside a server of timed ones: each switch is noted once
    // where it happened, not at every alternate write.
    QVERIFY(store.noteDutyTiming(false, DutyTimingOf::CalendarFile).ok);
    QCOMPARE(store.dutySequenceBase(), 0);
    QVERIFY(store.noteDutyTiming(true, DutyTimingOf::CalendarServer).ok);
    QCOMPARE(store.dutySequenceBase(), 1);
    for (int round = 0; round < 3; ++round) {
        QVERIFY(store.noteDutyTiming(false, DutyTimingOf::CalendarFile).ok);
        QVERIFY(store.noteDutyTiming(true, DutyTimingOf::CalendarServer).ok);
    }
    QCOMPARE(store.dutySequenceBase(), 1);
    QVERIFY(store.noteDutyTiming(true).ok); // the file's own switch
    QCOMPARE(store.dutySequenceBase(), 2);
}

void EntryStoreTest::outsideChangesAreSeen() {
    EntryStore mine(storePath());
    EntryStore theirs(storePath());
    QSignalSpy changed(&mine, &EntryStore::changed);
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

    // Nor is a change that another process makes.
    QProcess other;
    other.start(QStringLiteral(DAYS_WRITER_CHILD),
                {QStringLiteral("add"), storePath(), QStringLiteral("1"), QStringLiteral("other")});
    QVERIFY(other.waitForFinished(60000)); // a guard against a hang only
    QCOMPARE(other.exitCode(), 0);
    QVERIFY(mine.checkForOutsideChanges());
    QCOMPARE(changed.size(), 4);
    QVERIFY(names(mine.allEntries()).contains(QStringLiteral("other 0")));
}

void EntryStoreTest::migrations_data() {
    QTest::addColumn<QByteArray>("sql"); // makes the file; empty for a file of no bytes
    QTest::newRow("empty file") << QByteArray();
    QTest::newRow("version 0, no tables") << QByteArray("PRAGMA user_version = 0");
    QTest::newRow("version 0 in WAL") << QByteArray("PRAGMA journal_mode = WAL");
    // The tables of version 1 as it was released, before the table of published events.
    QTest::newRow("version 1") << QByteArray(
        "CREATE TABLE entries ( id TEXT PRIMARY KEY NOT NULL, date TEXT NOT NULL, kind TEXT NOT "
        "NULL, minutes INTEGER, start TEXT, with_whom TEXT NOT NULL DEFAULT '', leave_type TEXT, "
        "note TEXT NOT NULL DEFAULT '', revision INTEGER NOT NULL, modified TEXT NOT NULL);"
        "CREATE INDEX entries_by_date ON entries(date);"
        "CREATE TABLE day_changes (date TEXT PRIMARY KEY NOT NULL, counter INTEGER NOT NULL)"
        " WITHOUT ROWID;"
        "CREATE TABLE settings (key TEXT PRIMARY KEY NOT NULL, value TEXT NOT NULL) WITHOUT ROWID;"
        "PRAGMA journal_mode = WAL; PRAGMA user_version = 1");
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

// A file of version 1 holds entries but none of the later tables or columns: it is read as it
// is, with nothing missing reported, and only the first change brings it up to date.
void EntryStoreTest::olderFileReadsAsItIsUntilItsFirstWrite() {
    makeDatabase(storePath(),
                 "CREATE TABLE entries ( id TEXT PRIMARY KEY NOT NULL, date TEXT NOT NULL, kind "
                 "TEXT NOT NULL, minutes INTEGER, start TEXT, with_whom TEXT NOT NULL DEFAULT '', "
                 "leave_type TEXT, note TEXT NOT NULL DEFAULT '', revision INTEGER NOT NULL, "
                 "modified TEXT NOT NULL);"
                 "CREATE TABLE day_changes (date TEXT PRIMARY KEY NOT NULL, counter INTEGER NOT "
                 "NULL) WITHOUT ROWID;"
                 "CREATE TABLE settings (key TEXT PRIMARY KEY NOT NULL, value TEXT NOT NULL) "
                 "WITHOUT ROWID;"
                 "INSERT INTO entries VALUES ('0b6a0a64-5d1e-4c5e-9a51-7f0b9d6c1a01', "
                 "'2026-03-02', 'overtime', 120, NULL, '', NULL, 'kept', 1, "
                 "'2026-03-01T00:00:00Z');"
                 "PRAGMA user_version = 1;");
    const QByteArray before = fileBytes(storePath());
    {
        EntryStore store(storePath());
        QCOMPARE(store.status(), EntryStore::Status::Open);
        const QList<DayEntry> entries = store.allEntries();
        QCOMPARE(entries.size(), 1);
        QCOMPARE(entries[0].note, QStringLiteral("kept"));
        QVERIFY(!entries[0].comp);
        QVERIFY(store.earlierAssignments().isEmpty());
        QVERIFY(store.bankSetups().isEmpty());
        QCOMPARE(store.dutySequenceBase(), 0);
        QCOMPARE(store.readError(), QString());
    }
    QCOMPARE(fileBytes(storePath()), before);
    EntryStore store(storePath());
    QVERIFY(store.setEarlierAssignments({{QStringLiteral("B2"), serialFromYmd(2026, 6, 30)}}).ok);
    QCOMPARE(store.earlierAssignments().size(), 1);
    QCOMPARE(store.allEntries().size(), 1);
    QCOMPARE(sqliteShell(storePath(), QStringLiteral("PRAGMA user_version")),
             QString::number(DaysSchemaVersion));
}

void EntryStoreTest::newerVersionIsLeftAlone() {
    const QByteArray newer = "CREATE TABLE entries (id TEXT PRIMARY KEY, future BLOB);"
                             "INSERT INTO entries VALUES ('x', x'00ff');"
                             "PRAGMA user_version = " +
                             QByteArray::number(DaysSchemaVersion + 1);
    makeDatabase(storePath(), newer.constData());
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
    // Files that are not daily copies are none of its business; a copy left half made by a
    // killed program goes once it is old, while one as new as a copy in progress stays.
    writeFile(backupFolder(folder) + QStringLiteral("/mine.txt"), "keep");
    const QString leftOver = backupFolder(folder) + QStringLiteral("/.partial-1");
    const QString inProgress = backupFolder(folder) + QStringLiteral("/.partial-2");
    writeFile(leftOver, "half");
    writeFile(inProgress, "half");
    {
        QFile old(leftOver);
        QVERIFY(old.open(QIODevice::ReadWrite));
        QVERIFY(old.setFileTime(QDateTime::currentDateTimeUtc().addDays(-2),
                                QFileDevice::FileModificationTime));
    }
    m_today = Today + 20;
    QVERIFY(store.add(note(Today, QStringLiteral("later"))).ok);
    QCOMPARE(backupFiles(folder).size(), KeptBackups);
    QVERIFY(QFileInfo::exists(backupFolder(folder) + QStringLiteral("/mine.txt")));
    QVERIFY(!QFileInfo::exists(leftOver));
    QVERIFY(QFileInfo::exists(inProgress));
}

void EntryStoreTest::failedBackupRefusesTheChange() {
    const QString folder = daysFolder(m_dir->path());
    EntryStore store(storePath());
    QVERIFY(store.add(note(Today, QStringLiteral("before"))).ok);
    writeFile(backupFolder(folder), "a file where the copies should go");
    QSignalSpy changed(&store, &EntryStore::changed);
    const StoreResult result = store.add(note(Today, QStringLiteral("refused")));
    QVERIFY(!result.ok);
    QVERIFY2(result.error.contains(backupFolder(folder)), qPrintable(result.error));
    QVERIFY(result.error.contains(QStringLiteral("not saved")));
    QCOMPARE(changed.size(), 0);
    QCOMPARE(names(store.allEntries()), QStringList{QStringLiteral("before")});
}

namespace {

enum class Hostile {
    Truncated,
    RandomBytesInside,
    NotADatabase,
    HeaderOnly,
    Folder,
    Fifo,
    LinkToDevZero,
    DanglingLink,
    TooLarge,
    FifoBesideIt,
    Unreadable,
    ReadOnlyFolder,
    FolderIsAFile,
};

QByteArray fileStart(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.read(4096) : QByteArray();
}

// What is at a path, for before and after: its type, its bytes or where it points, and what
// the folder holds.
QString describe(const QString& path) {
    struct stat status {};
    QString text;
    if (::lstat(QFile::encodeName(path).constData(), &status) != 0)
        text = QStringLiteral("nothing");
    else if (S_ISLNK(status.st_mode))
        text = QStringLiteral("link to ") + QFile::symLinkTarget(path);
    else if (S_ISFIFO(status.st_mode))
        text = QStringLiteral("fifo");
    else if (S_ISDIR(status.st_mode))
        text =
            QStringLiteral("folder ") +
            QDir(path).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden).join(u',');
    else if (status.st_size > (qint64(64) << 20)) // the sparse giant: its size and its start
        text = QStringLiteral("file of %1 bytes from %2")
                   .arg(status.st_size)
                   .arg(QString::fromLatin1(fileStart(path).toHex()));
    else
        text = QStringLiteral("file ") +
               QString::fromLatin1(
                   QCryptographicHash::hash(fileBytes(path), QCryptographicHash::Sha256).toHex());
    const QFileInfo info(path);
    text += QStringLiteral("; beside: ") +
            info.dir().entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden).join(u',');
    return text;
}

} // namespace

Q_DECLARE_METATYPE(Hostile)
Q_DECLARE_METATYPE(EntryStore::Status)

void EntryStoreTest::hostileFiles_data() {
    QTest::addColumn<Hostile>("hostile");
    QTest::addColumn<EntryStore::Status>("status");
    QTest::addColumn<bool>("readable"); // the entries written before can still be read
    QTest::addColumn<QString>("reason");

    using S = EntryStore::Status;
    QTest::newRow("truncated") << Hostile::Truncated << S::Unavailable << false
                               << QStringLiteral("damaged");
    QTest::newRow("random bytes inside")
        << Hostile::RandomBytesInside << S::Unavailable << false << QStringLiteral("damaged");
    QTest::newRow("not a database")
        << Hostile::NotADatabase << S::Unavailable << false << QStringLiteral("not a database");
    QTest::newRow("a header and zeros")
        << Hostile::HeaderOnly << S::Unavailable << false << QStringLiteral("not a database");
    QTest::newRow("a folder") << Hostile::Folder << S::Unavailable << false
                              << QStringLiteral("folder");
    QTest::newRow("a FIFO") << Hostile::Fifo << S::Unavailable << false << QStringLiteral("pipe");
    QTest::newRow("link to /dev/zero")
        << Hostile::LinkToDevZero << S::Unavailable << false << QStringLiteral("device");
    QTest::newRow("link to nothing")
        << Hostile::DanglingLink << S::Unavailable << false << QStringLiteral("link");
    QTest::newRow("two gigabytes")
        << Hostile::TooLarge << S::Unavailable << false << QStringLiteral("larger");
    QTest::newRow("a FIFO as its -wal")
        << Hostile::FifoBesideIt << S::Unavailable << false << QStringLiteral("-wal");
    // Root reads any file: then it is a file like any other.
    const bool root = ::geteuid() == 0;
    QTest::newRow("unreadable") << Hostile::Unreadable << (root ? S::Open : S::Unavailable) << root
                                << (root ? QString() : QStringLiteral("cannot be read"));
    QTest::newRow("folder where nothing can be written")
        << Hostile::ReadOnlyFolder << S::Open << true << QString();
    QTest::newRow("a file where the folder should be")
        << Hostile::FolderIsAFile << S::NoFile << false << QString();
}

void EntryStoreTest::hostileFiles() {
    QFETCH(Hostile, hostile);
    QFETCH(EntryStore::Status, status);
    QFETCH(bool, readable);
    QFETCH(QString, reason);

    QString path = storePath();
    const QString folder = daysFolder(m_dir->path());
    QList<DayEntry> before;
    int fifoEnd = -1;
    const auto database = [&] {
        before = makeStore(200);
        QCOMPARE(before.size(), 200);
        QVERIFY(!QFileInfo::exists(path + QStringLiteral("-wal")));
    };
    switch (hostile) {
    case Hostile::Truncated: {
        database();
        QFile file(path);
        QVERIFY(file.resize(file.size() / 2));
        break;
    }
    case Hostile::RandomBytesInside: {
        database();
        QByteArray bytes = fileBytes(path);
        QRandomGenerator random(1234);
        for (qsizetype at = 4096; at < bytes.size() - 4096; at += 4096)
            for (qsizetype i = 0; i < 512; ++i)
                bytes[at + 16 + i] = char(random.bounded(256));
        writeFile(path, bytes);
        break;
    }
    case Hostile::NotADatabase:
        writeFile(path, QByteArray("my notes, not a database\n").repeated(200));
        break;
    case Hostile::HeaderOnly:
        writeFile(path, QByteArray("SQLite format 3", 16) + QByteArray(4080, '\0'));
        break;
    case Hostile::Folder:
        QVERIFY(QDir().mkpath(path + QStringLiteral("/inside")));
        break;
    case Hostile::Fifo:
        QVERIFY(QDir().mkpath(folder));
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        // The test holds the other end and puts bytes in: a store that wrongly read the FIFO
        // would get them and go on instead of hanging the test.
        fifoEnd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_NONBLOCK);
        QVERIFY(fifoEnd >= 0);
        QCOMPARE(::write(fifoEnd, "not a database, a pipe", 22), 22);
        break;
    case Hostile::LinkToDevZero:
        QVERIFY(QDir().mkpath(folder));
        QVERIFY(QFile::link(QStringLiteral("/dev/zero"), path));
        break;
    case Hostile::DanglingLink:
        QVERIFY(QDir().mkpath(folder));
        QVERIFY(QFile::link(m_dir->filePath(QStringLiteral("gone.sqlite")), path));
        break;
    case Hostile::TooLarge: {
        writeFile(path, QByteArray("SQLite format 3", 16));
        QFile file(path);
        QVERIFY(file.resize(qint64(2) << 30)); // sparse: takes no disk
        break;
    }
    case Hostile::FifoBesideIt:
        database();
        QCOMPARE(::mkfifo(QFile::encodeName(path + QStringLiteral("-wal")).constData(), 0600), 0);
        fifoEnd = ::open(QFile::encodeName(path + QStringLiteral("-wal")).constData(),
                         O_RDWR | O_NONBLOCK);
        QVERIFY(fifoEnd >= 0);
        break;
    case Hostile::Unreadable:
        database();
        QCOMPARE(::chmod(QFile::encodeName(path).constData(), 0), 0);
        break;
    case Hostile::ReadOnlyFolder: {
        // Root may write anywhere the permissions forbid; a read-only mount stops it too.
        const QString disk = m_dir->filePath(QStringLiteral("disk"));
        const bool mounted = mountSmallDisk(disk, "4m");
        path = daysFilePath(disk);
        {
            EntryStore store(path);
            for (int n = 0; n < 5; ++n)
                QVERIFY(store.add(note(Today, QString::number(n))).ok);
            before = store.allEntries();
        }
        if (mounted) {
            QCOMPARE(::mount("tmpfs", QFile::encodeName(disk).constData(), "tmpfs",
                             MS_REMOUNT | MS_RDONLY, nullptr),
                     0);
        } else {
            if (::geteuid() == 0)
                QSKIP("root without a mount of its own can write to any folder");
            QVERIFY(QFile::setPermissions(daysFolder(disk), QFile::ReadOwner | QFile::ExeOwner));
        }
        break;
    }
    case Hostile::FolderIsAFile:
        writeFile(m_dir->filePath(QStringLiteral("Kestrand")), "a file, not a folder");
        break;
    }
    const QString disk = describe(path);
    const QString copies = describe(backupFolder(QFileInfo(path).path()));
    {
        EntryStore store(path);
        QCOMPARE(store.status(), status);
        if (status == EntryStore::Status::Unavailable) {
            QVERIFY2(store.problem().contains(path), qPrintable(store.problem()));
            QVERIFY2(store.problem().contains(reason), qPrintable(store.problem()));
            QVERIFY2(store.problem().contains(QStringLiteral("Backups")),
                     qPrintable(store.problem()));
            QVERIFY2(!store.problem().contains(u'\n'), qPrintable(store.problem()));
        } else {
            QVERIFY(store.problem().isEmpty());
        }
        QCOMPARE(store.allEntries(), readable ? before : QList<DayEntry>());
        QCOMPARE(store.entriesBetween(Today - 50, Today + 50),
                 readable ? before : QList<DayEntry>());

        // Root reads and writes a file without permissions: for it that file is a usual one.
        const bool usualFile = hostile == Hostile::Unreadable && readable;
        if (!usualFile) {
            QSignalSpy changed(&store, &EntryStore::changed);
            const StoreResult added = store.add(note(Today, QStringLiteral("refused")));
            QVERIFY(!added.ok);
            QVERIFY2(added.error.contains(QStringLiteral("not saved")) ||
                         added.error == store.problem(),
                     qPrintable(added.error));
            if (status == EntryStore::Status::Unavailable)
                QCOMPARE(added.error, store.problem());
            QVERIFY(!store.setHoursSettings({}).ok);
            QVERIFY(!store.import({before.value(0, note(Today, {}))}).ok || before.isEmpty());
            if (!before.isEmpty()) {
                QVERIFY(!store.remove(before.first().id).ok);
                QVERIFY(!store.change(before.first()).ok);
            }
            QVERIFY(!store.checkForOutsideChanges());
            QCOMPARE(changed.size(), 0);
            QCOMPARE(describe(path), disk);
            QCOMPARE(describe(backupFolder(QFileInfo(path).path())), copies);
        }
    }
    QCOMPARE(describe(path), disk); // closing changes nothing either
    if (fifoEnd >= 0)
        ::close(fifoEnd);
    if (hostile == Hostile::Unreadable)
        ::chmod(QFile::encodeName(path).constData(), 0600);
    if (hostile == Hostile::ReadOnlyFolder) // so that the temporary folder can go
        QFile::setPermissions(QFileInfo(path).path(),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

void EntryStoreTest::killedWriterLeavesOldOrNewState() {
    const QString path = storePath();
    QRandomGenerator random(20261210);
    qsizetype last = 0;
    const int kills = 50;
    for (int kill = 0; kill < kills; ++kill) {
        QProcess child;
        child.start(QStringLiteral(DAYS_WRITER_CHILD), {QStringLiteral("pairs"), path});
        // A guard against a child that never starts, not a measure of time.
        QVERIFY2(child.waitForReadyRead(60000), child.readAllStandardError().constData());
        QThread::usleep(random.bounded(30000));
        QCOMPARE(::kill(static_cast<pid_t>(child.processId()), SIGKILL), 0);
        QVERIFY(child.waitForFinished(60000));
        QCOMPARE(child.exitStatus(), QProcess::CrashExit);

        QCOMPARE(sqliteShell(path, QStringLiteral("PRAGMA integrity_check")), QStringLiteral("ok"));
        EntryStore store(path);
        QCOMPARE(store.status(), EntryStore::Status::Open);
        const QList<DayEntry> entries = store.allEntries();
        // Every pair whole, the pairs 0 ... n-1 with none missing: each import all or nothing.
        QCOMPARE(entries.size() % 2, 0);
        QSet<QUuid> ids;
        for (const DayEntry& entry : entries)
            ids.insert(entry.id);
        for (uint pair = 0; pair < entries.size() / 2; ++pair)
            for (uchar half : {0, 1})
                QVERIFY2(ids.contains(QUuid(pair, 0x7a11, 0x4000, 0x80, 0, 0, 0, 0, 0, 0, half)),
                         qPrintable(QStringLiteral("pair %1 after kill %2").arg(pair).arg(kill)));
        // Each entry raised the count once, in the same transaction: the count stands at the
        // number of entries.
        QCOMPARE(highestCounter(store), qint64(entries.size()));
        QVERIFY(entries.size() > last); // the ready line comes after a commit
        last = entries.size();
    }
    EntryStore store(path);
    QVERIFY(store.add(note(Today, QStringLiteral("after the kills"))).ok);
}

void EntryStoreTest::twoWritersLoseNothing() {
    const QString path = storePath();
    const int each = 1000;
    QProcess first;
    QProcess second;
    first.start(QStringLiteral(DAYS_WRITER_CHILD),
                {QStringLiteral("add"), path, QString::number(each), QStringLiteral("A")});
    second.start(QStringLiteral(DAYS_WRITER_CHILD),
                 {QStringLiteral("add"), path, QString::number(each), QStringLiteral("B")});
    for (QProcess* child : {&first, &second}) {
        QVERIFY(child->waitForFinished(600000)); // a guard against a hang only
        QVERIFY2(child->exitStatus() == QProcess::NormalExit && child->exitCode() == 0,
                 child->readAllStandardError().constData());
    }
    EntryStore store(path);
    QStringList notes = names(store.allEntries());
    QCOMPARE(notes.size(), 2 * each);
    notes.removeDuplicates();
    QCOMPARE(notes.size(), 2 * each);
    for (int n = 0; n < each; ++n) {
        QVERIFY(notes.contains(QStringLiteral("A %1").arg(n)));
        QVERIFY(notes.contains(QStringLiteral("B %1").arg(n)));
    }
    QCOMPARE(highestCounter(store), qint64(2 * each));
}

void EntryStoreTest::fullDiskRefusesTheChange() {
    const QString disk = m_dir->filePath(QStringLiteral("disk"));
    if (!mountSmallDisk(disk, "1m"))
        QSKIP("mounting a small disk is not allowed here (needs root)");
    const QString path = daysFilePath(disk);
    EntryStore store(path);
    for (int n = 0; n < 20; ++n)
        QVERIFY(store.add(note(Today + n, QStringLiteral("kept %1").arg(n))).ok);
    const QList<DayEntry> before = store.allEntries();
    const qint64 counter = store.changeCounter(Today);

    // Fill the disk to the last byte.
    QFile filler(disk + QStringLiteral("/filler"));
    QVERIFY(filler.open(QIODevice::WriteOnly));
    const QByteArray block(4096, 'x');
    while (filler.write(block) == block.size() && filler.flush()) {
    }
    while (filler.write(block.left(1)) == 1 && filler.flush()) {
    }
    filler.close();

    QSignalSpy changed(&store, &EntryStore::changed);
    // A note larger than any room the journal kept from earlier writes.
    const StoreResult result = store.add(note(Today, QStringLiteral("big ").repeated(100000)));
    QVERIFY(!result.ok);
    QVERIFY2(result.error.contains(QStringLiteral("full")), qPrintable(result.error));
    QVERIFY(result.error.contains(path));
    QCOMPARE(changed.size(), 0);
    QCOMPARE(store.status(), EntryStore::Status::Open);
    QCOMPARE(store.allEntries(), before);
    QCOMPARE(store.changeCounter(Today), counter);

    // With room again, nothing is lost and changes go on.
    QVERIFY(QFile::remove(disk + QStringLiteral("/filler")));
    QVERIFY(store.add(note(Today, QStringLiteral("after"))).ok);
    QCOMPARE(store.allEntries().size(), before.size() + 1);
    EntryStore reopened(path);
    QCOMPARE(reopened.allEntries(), store.allEntries());
    QCOMPARE(sqliteShell(path, QStringLiteral("PRAGMA integrity_check")), QStringLiteral("ok"));
}

QTEST_GUILESS_MAIN(EntryStoreTest)
#include "tst_entrystore.moc"
