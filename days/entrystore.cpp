#include "days/entrystore.h"

#include "core/calendar.h"
#include "core/clock.h"
#include "core/programfolder.h"
#include "days/databasefilecheck.h"
#include "days/entrybackups.h"
#include "days/entryrows.h"
#include "days/entryschema.h"
#include "days/sqlitestatement.h"

#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QUrl>

#include <sqlite3.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <functional>
#include <limits>
#include <utility>

using namespace entryrows;

namespace {

constexpr int BusyTimeoutMs = 5000;

// Whole seconds: the time a person reads, and what the JSON form keeps.
QDateTime nowToTheSecond() {
    const QDateTime now = nowUtc();
    return now.addMSecs(-now.time().msec());
}

// The days a change reaches: those of the entries it writes, or every day.
class Touched {
public:
    void add(DateSerial day) {
        m_span.first = std::min(m_span.first, std::floor(day));
        m_span.last = std::max(m_span.last, std::floor(day));
    }
    // What depends on settings kept with the entries: every day that is shown.
    void all() {
        add(MinViewDate);
        add(MaxViewDate);
    }
    bool none() const { return m_span.first > m_span.last; }
    const DaySpan& span() const { return m_span; }

private:
    DaySpan m_span{std::numeric_limits<double>::infinity(),
                   -std::numeric_limits<double>::infinity()};
};

// What a verb's body reports: an SQLite result code, or a sentence of its own.
struct Outcome {
    int code = SQLITE_OK;
    QString message;
};

} // namespace

QString daysFolder(const QString& dataBase) {
    const QString base = dataBase.isEmpty()
                             ? QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)
                             : dataBase;
    return programFolderIn(base);
}

QString daysFilePath(const QString& dataBase) {
    return daysFolder(dataBase) + u'/' + QLatin1StringView(DaysFileName);
}

struct EntryStore::Private {
    EntryStore* owner = nullptr;
    QString path;
    Status status = Status::NoFile;
    QString problem;
    sqlite3* db = nullptr;
    bool readOnly = false;
    qint64 dataVersion = -1;
    qint64 backedUpDay = std::numeric_limits<qint64>::min();
    QString readError;
    int version = 0; // the file's schema version, as its reads must take it

    ~Private() { close(); }

    QString folder() const { return QFileInfo(path).path(); }

    void close() {
        sqlite3_close_v2(db);
        db = nullptr;
    }

    void makeUnavailable(const QString& reason) {
        close();
        status = Status::Unavailable;
        problem = QStringLiteral("Tourwise cannot use the file of your own days, %1: %2. Quit "
                                 "Tourwise, then restore a copy from %3 or move the file away.")
                      .arg(path, reason, backupFolder(folder()));
    }

    QString sqliteMessage() const { return QString::fromUtf8(sqlite3_errmsg(db)); }

    // Every commit is on disk before the verb returns, whatever the library's build default.
    // The file may come from anywhere: what it holds besides our tables (triggers, views, SQL
    // functions in its schema) must not run, and SQL must not be able to damage it.
    void configure() {
        sqlite3_busy_timeout(db, BusyTimeoutMs);
        sqliteExec(db, "PRAGMA synchronous = FULL");
        sqlite3_db_config(db, SQLITE_DBCONFIG_DEFENSIVE, 1, nullptr);
        sqlite3_db_config(db, SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0, nullptr);
        sqlite3_db_config(db, SQLITE_DBCONFIG_ENABLE_TRIGGER, 0, nullptr);
        sqlite3_db_config(db, SQLITE_DBCONFIG_ENABLE_VIEW, 0, nullptr);
    }

    void open() {
        const DatabaseFileCheck check = checkDatabaseFile(path);
        switch (check.kind) {
        case DatabaseFileCheck::Kind::Missing:
            status = Status::NoFile;
            return;
        case DatabaseFileCheck::Kind::Unusable:
            makeUnavailable(check.reason);
            return;
        case DatabaseFileCheck::Kind::Empty:
        case DatabaseFileCheck::Kind::Database:
            break;
        }
        // Never SQLITE_OPEN_CREATE here: a file that went away since the check stays away.
        if (const int result = sqlite3_open_v2(QFile::encodeName(path).constData(), &db,
                                               SQLITE_OPEN_READWRITE, nullptr);
            result != SQLITE_OK) {
            makeUnavailable(QStringLiteral("it cannot be opened (%1)").arg(sqliteMessage()));
            return;
        }
        configure();
        readOnly = sqlite3_db_readonly(db, "main") == 1;
        QString damage = quickCheck();
        const int failure = sqlite3_errcode(db) & 0xff;
        if (!damage.isEmpty() && (failure == SQLITE_CANTOPEN || failure == SQLITE_READONLY) &&
            openUnchanging())
            damage = quickCheck();
        if (!damage.isEmpty()) {
            makeUnavailable(damage);
            return;
        }
        const int version = daysSchemaVersion(db);
        if (version > DaysSchemaVersion) {
            makeUnavailable(QStringLiteral("it was written by a newer version of Tourwise (file "
                                           "version %1, this one knows %2); use that version")
                                .arg(version)
                                .arg(DaysSchemaVersion));
            return;
        }
        status = Status::Open;
        this->version = version;
        dataVersion = readDataVersion();
    }

    // A file in WAL mode in a folder where nothing can be written cannot be read the usual
    // way: SQLite cannot make the -shm file beside it (CANTOPEN on a read-only mount, READONLY
    // in a folder without write permission). Without a -wal file the database file
    // holds every committed change, so it can be read as a file nothing changes.
    bool openUnchanging() {
        const QFileInfo wal(path + QStringLiteral("-wal"));
        if (wal.exists() && wal.size() > 0)
            return false;
        close();
        const QByteArray uri = QUrl::fromLocalFile(path).toEncoded() + "?immutable=1";
        if (sqlite3_open_v2(uri.constData(), &db, SQLITE_OPEN_READONLY | SQLITE_OPEN_URI,
                            nullptr) != SQLITE_OK)
            return false;
        configure();
        readOnly = true;
        return true;
    }

    // Empty when the file passes; else why not.
    QString quickCheck() {
        SqliteStatement check(db, "PRAGMA quick_check");
        const int result = check.step();
        if (result == SQLITE_ROW && check.text(0) == QLatin1StringView("ok") &&
            check.step() == SQLITE_DONE)
            return {};
        if (result == SQLITE_ROW) {
            // The first finding is enough; the report can run to a hundred lines.
            QString finding;
            for (const QString& line : check.text(0).split(u'\n', Qt::SkipEmptyParts))
                if (!line.startsWith(QLatin1StringView("***")) && finding.isEmpty())
                    finding = line.trimmed();
            return QStringLiteral("it is damaged (%1)").arg(finding);
        }
        if ((result & 0xff) == SQLITE_NOTADB)
            return QStringLiteral("it is not a database");
        if ((result & 0xff) == SQLITE_CORRUPT)
            return QStringLiteral("it is damaged (%1)").arg(sqliteMessage());
        return QStringLiteral("it cannot be read (%1)").arg(sqliteMessage());
    }

    qint64 readDataVersion() {
        SqliteStatement version(db, "PRAGMA data_version");
        return version.step() == SQLITE_ROW ? version.integer(0) : -1;
    }

    // A read that finds the file damaged makes the store unavailable rather than show a part;
    // any other failure is told, never taken for an empty answer.
    void noteRead(int result) {
        if (result == SQLITE_OK) {
            readError.clear();
            return;
        }
        const int primary = result & 0xff;
        if (primary == SQLITE_CORRUPT || primary == SQLITE_NOTADB) {
            makeUnavailable(QStringLiteral("it is damaged (%1)").arg(sqliteMessage()));
            return;
        }
        readError =
            QStringLiteral("Tourwise could not read the file of your own days, %1 (%2); "
                           "what it shows of them may be incomplete. Try again in a "
                           "moment.")
                .arg(path, db ? sqliteMessage() : QString::fromUtf8(sqlite3_errstr(result)));
    }

    // `reason` is SQLite's own words for the failure, when they were taken before the
    // transaction was undone; else they are read now.
    QString refusal(int result, QString reason = {}) {
        if (reason.isEmpty())
            reason = db ? sqliteMessage() : QString::fromUtf8(sqlite3_errstr(result));
        switch (result & 0xff) {
        case SQLITE_FULL:
            return QStringLiteral("The disk that holds %1 is full, so the change was not saved; "
                                  "your other entries are kept. Free some space and try again.")
                .arg(path);
        case SQLITE_BUSY:
        case SQLITE_LOCKED:
            return QStringLiteral("Another program keeps %1 busy, so the change was not saved. "
                                  "Try again in a moment.")
                .arg(path);
        case SQLITE_CORRUPT:
        case SQLITE_NOTADB:
            makeUnavailable(QStringLiteral("it is damaged (%1)").arg(reason));
            return problem;
        default:
            return QStringLiteral("%1 cannot be written (%2), so the change was not saved.")
                .arg(path, reason);
        }
    }

    // Makes the file for the first change: its folder, the database in WAL mode where the
    // folder allows it. Empty on success, else the refusal.
    QString create() {
        if (!QDir().mkpath(folder()) || !QFileInfo(folder()).isDir())
            return QStringLiteral("The folder %1 cannot be made, so the change was not saved.")
                .arg(folder());
        if (const int result = sqlite3_open_v2(QFile::encodeName(path).constData(), &db,
                                               SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
            result != SQLITE_OK) {
            const QString refused = refusal(result);
            close();
            return refused;
        }
        configure();
        readOnly = sqlite3_db_readonly(db, "main") == 1;
        status = Status::Open;
        version = 0;
        dataVersion = readDataVersion();
        return {};
    }

    bool hasTables() {
        SqliteStatement count(db, "SELECT count(*) FROM sqlite_schema");
        return count.step() == SQLITE_ROW && count.integer(0) > 0;
    }

    // Empty when ready for a change, else the refusal.
    QString prepareForChange() {
        if (status == Status::NoFile) {
            open(); // another program may have made it meanwhile
            if (status == Status::NoFile)
                if (const QString refused = create(); !refused.isEmpty())
                    return refused;
        }
        if (status == Status::Unavailable)
            return problem;
        if (readOnly)
            return QStringLiteral("%1 can only be read, so the change was not saved.").arg(path);
        if (!hasTables()) {
            // A new file: WAL lets a reader and a writer work at once. Where the folder does not
            // allow it, SQLite keeps its default journal.
            sqliteExec(db, "PRAGMA journal_mode = WAL");
            return {};
        }
        const DateSerial day = today();
        if (backedUpDay != dayKey(day)) {
            QString error;
            if (!makeDailyBackup(db, folder(), day, &error))
                return error + QStringLiteral(" The change was not saved.");
            backedUpDay = dayKey(day);
        }
        return {};
    }

    // Runs `body` in one transaction with the file brought up to the current version, and
    // then tells the days that the body says it changed.
    StoreResult write(const std::function<Outcome(sqlite3*, Touched&)>& body) {
        if (const QString refused = prepareForChange(); !refused.isEmpty())
            return {false, refused};
        SqliteTransaction transaction(db);
        if (transaction.begun() != SQLITE_OK)
            return {false, refusal(transaction.begun())};
        const int fileVersion = daysSchemaVersion(db);
        if (fileVersion > DaysSchemaVersion) {
            // Ended before the connection closes under it.
            transaction.rollback();
            makeUnavailable(QStringLiteral("it was written by a newer version of Tourwise (file "
                                           "version %1); use that version")
                                .arg(fileVersion));
            return {false, problem};
        }
        Outcome outcome;
        Touched touched;
        outcome.code = fileVersion < 0 ? SQLITE_ERROR : migrateDaysSchema(db, fileVersion);
        if (outcome.code == SQLITE_OK)
            outcome = body(db, touched);
        if (outcome.code == SQLITE_OK && outcome.message.isEmpty())
            outcome.code = transaction.commit();
        if (outcome.code != SQLITE_OK || !outcome.message.isEmpty()) {
            // Undone before the refusal is worded, as a damaged file closes the connection;
            // SQLite's words are taken first, as the rollback replaces them.
            const QString reason = sqliteMessage();
            transaction.rollback();
            return {false,
                    outcome.message.isEmpty() ? refusal(outcome.code, reason) : outcome.message};
        }
        version = DaysSchemaVersion;
        dataVersion = readDataVersion();
        if (!touched.none())
            emit owner->changed(touched.span().first, touched.span().last);
        return {};
    }

    QList<DayEntry> read(const QString& first, const QString& last) const {
        QList<DayEntry> entries;
        if (status != Status::Open)
            return entries;
        const int result = selectEntries(db, version, first, last, &entries);
        const_cast<Private*>(this)->noteRead(result);
        if (result != SQLITE_OK)
            return {};
        std::sort(entries.begin(), entries.end(), entryBefore);
        return entries;
    }

    QString setting(const char* key) const {
        if (status != Status::Open)
            return {};
        QString value;
        const int result = readSetting(db, version, key, &value);
        const_cast<Private*>(this)->noteRead(result);
        return value;
    }
};
namespace {

// Puts the entry in place of the stored one (if any) and raises the counters of both dates.
Outcome replaceEntry(sqlite3* db, const DayEntry& entry, const std::optional<StoredHead>& old) {
    if (old && dayKey(old->date) != dayKey(entry.date))
        if (const int result = raiseCounter(db, old->date); result != SQLITE_OK)
            return {result, {}};
    return {putEntry(db, entry), {}};
}

const QString NotStorable =
    QStringLiteral("The entry was not saved: its date, minutes or start time are out of range.");
const QString NoSuchEntry =
    QStringLiteral("That entry is no longer there (another window may have removed it).");

constexpr const char* ShiftStartKey = "shiftStart";
constexpr const char* WorkPeriodDaysKey = "workPeriodDays";
constexpr const char* WorkPeriodStartKey = "workPeriodStart";
constexpr const char* CalendarFileKey = "keptCalendarFile";
constexpr const char* CalendarTimedKey = "keptCalendarTimedShifts";
constexpr const char* DutySequenceKey = "dutySequenceBase";
constexpr const char* DutyTimingKey = "dutyTimedShifts";
constexpr const char* ServerDutyTimingKey = "dutyTimedShiftsOnServer";
constexpr const char* PublishServerKey = "publishServer";
constexpr const char* PublishUserKey = "publishUser";
constexpr const char* PublishCalendarKey = "publishCalendar";
constexpr const char* PublishTimedKey = "publishTimedShifts";
constexpr const char* PublishPaydaysKey = "publishPaydays";
constexpr const char* PublishPayPeriodsKey = "publishPayPeriodStarts";
constexpr const char* PublishKeepKey = "publishKeepUpToDate";

QString flag(bool on) {
    return QString(on ? u'1' : u'0');
}

} // namespace

EntryStore::EntryStore(const QString& path, QObject* parent) : QObject(parent), d(new Private) {
    d->owner = this;
    d->path = path;
    d->open();
}

EntryStore::~EntryStore() {
    delete d;
}

EntryStore::Status EntryStore::status() const {
    return d->status;
}

QString EntryStore::problem() const {
    return d->status == Status::Unavailable ? d->problem : QString();
}

QString EntryStore::readError() const {
    return d->status == Status::Open ? d->readError : QString();
}

QString EntryStore::path() const {
    return d->path;
}

bool EntryStore::isReadOnly() const {
    return d->status == Status::Open && d->readOnly;
}

QList<DayEntry> EntryStore::entriesBetween(DateSerial first, DateSerial last) const {
    return d->read(dateText(first), dateText(last));
}

EntriesByDay EntryStore::entriesByDay(DateSerial first, DateSerial last) const {
    EntriesByDay byDay;
    for (const DayEntry& entry : entriesBetween(first, last))
        byDay[dayKey(entry.date)].append(entry);
    return byDay;
}

QList<DayEntry> EntryStore::allEntries() const {
    return d->read({}, {});
}

std::optional<DayEntry> EntryStore::entry(const QUuid& id) const {
    if (d->status != Status::Open)
        return std::nullopt;
    QList<DayEntry> found;
    const int result = selectEntry(d->db, d->version, id, &found);
    d->noteRead(result);
    if (result != SQLITE_OK || found.isEmpty())
        return std::nullopt;
    return found.first();
}

StoreResult EntryStore::add(const DayEntry& entry, DayEntry* stored) {
    DayEntry added = entry;
    if (added.id.isNull())
        added.id = QUuid::createUuid();
    added.revision = 1;
    added.modified = nowToTheSecond();
    if (!storable(added))
        return {false, NotStorable};
    const StoreResult result = d->write([&](sqlite3* db, Touched& touched) -> Outcome {
        int code = SQLITE_OK;
        if (storedHead(db, added.id, &code))
            return {SQLITE_OK, QStringLiteral("An entry with that id is there already.")};
        if (code != SQLITE_OK)
            return {code, {}};
        touched.add(added.date);
        return {putEntry(db, added), {}};
    });
    if (result.ok && stored)
        *stored = added;
    return result;
}

StoreResult EntryStore::change(const DayEntry& entry, DayEntry* stored) {
    DayEntry changed = entry;
    changed.modified = nowToTheSecond();
    const StoreResult result = d->write([&](sqlite3* db, Touched& touched) -> Outcome {
        int code = SQLITE_OK;
        const std::optional<StoredHead> old = storedHead(db, changed.id, &code);
        if (code != SQLITE_OK)
            return {code, {}};
        if (!old)
            return {SQLITE_OK, NoSuchEntry};
        changed.revision = old->revision + 1;
        if (!storable(changed))
            return {SQLITE_OK, NotStorable};
        touched.add(old->date);
        touched.add(changed.date);
        return replaceEntry(db, changed, old);
    });
    if (result.ok && stored)
        *stored = changed;
    return result;
}

StoreResult EntryStore::remove(const QUuid& id) {
    return d->write([&](sqlite3* db, Touched& touched) -> Outcome {
        int code = SQLITE_OK;
        const std::optional<StoredHead> old = storedHead(db, id, &code);
        if (code != SQLITE_OK)
            return {code, {}};
        if (!old)
            return {SQLITE_OK, NoSuchEntry};
        touched.add(old->date);
        if (const int result = deleteEntry(db, id); result != SQLITE_OK)
            return {result, {}};
        return {raiseCounter(db, old->date), {}};
    });
}

StoreResult EntryStore::restore(const DayEntry& entry) {
    if (entry.id.isNull() || !storable(entry))
        return {false, NotStorable};
    return d->write([&](sqlite3* db, Touched& touched) -> Outcome {
        int code = SQLITE_OK;
        const std::optional<StoredHead> old = storedHead(db, entry.id, &code);
        if (code != SQLITE_OK)
            return {code, {}};
        if (old)
            touched.add(old->date);
        touched.add(entry.date);
        return replaceEntry(db, entry, old);
    });
}

qint64 EntryStore::changeCounter(DateSerial day) const {
    return changeCounters(day, day).value(dayKey(day), 0);
}

QHash<qint64, qint64> EntryStore::changeCounters(DateSerial first, DateSerial last) const {
    QHash<qint64, qint64> counters;
    if (d->status != Status::Open)
        return counters;
    const int result = readCounters(d->db, d->version, first, last, &counters);
    d->noteRead(result);
    return result == SQLITE_OK ? counters : QHash<qint64, qint64>();
}

StoreResult EntryStore::import(const QList<DayEntry>& entries, ImportCounts* counts,
                               const std::optional<QList<AssignmentPeriod>>& earlier,
                               const QList<BankSetup>& banks) {
    ImportCounts tally;
    for (const DayEntry& entry : entries)
        if (entry.id.isNull() || !storable(entry))
            return {false, NotStorable};
    const bool nothingToWrite =
        entries.isEmpty() && (!earlier || earlier->isEmpty()) && banks.isEmpty();
    if (nothingToWrite && d->status == Status::NoFile) {
        if (counts)
            *counts = tally;
        return {};
    }
    const StoreResult result = d->write([&](sqlite3* db, Touched& touched) -> Outcome {
        tally = {};
        for (const DayEntry& entry : entries) {
            int code = SQLITE_OK;
            const std::optional<StoredHead> old = storedHead(db, entry.id, &code);
            if (code != SQLITE_OK)
                return {code, {}};
            if (old && entry.revision <= old->revision) {
                ++tally.unchanged;
                continue;
            }
            ++(old ? tally.updated : tally.added);
            if (old)
                touched.add(old->date);
            touched.add(entry.date);
            if (const Outcome outcome = replaceEntry(db, entry, old); outcome.code != SQLITE_OK)
                return outcome;
        }
        for (const BankSetup& setup : banks) {
            touched.all();
            if (const int code = putBankSetup(db, setup); code != SQLITE_OK)
                return {code, {}};
        }
        if (earlier) {
            touched.all();
            return {putEarlierAssignments(db, *earlier), {}};
        }
        return {};
    });
    if (result.ok && counts)
        *counts = tally;
    return result;
}

QList<AssignmentPeriod> EntryStore::earlierAssignments() const {
    QList<AssignmentPeriod> periods;
    if (d->status != Status::Open)
        return periods;
    const int result = readEarlierAssignments(d->db, d->version, &periods);
    d->noteRead(result);
    return result == SQLITE_OK ? periods : QList<AssignmentPeriod>();
}

StoreResult EntryStore::setEarlierAssignments(const QList<AssignmentPeriod>& earlier) {
    // A user who never changed group gets no file for it.
    if (earlier.isEmpty() && d->status == Status::NoFile)
        return {};
    return d->write([&](sqlite3* db, Touched& touched) -> Outcome {
        touched.all();
        return {putEarlierAssignments(db, earlier), {}};
    });
}

QList<BankSetup> EntryStore::bankSetups() const {
    QList<BankSetup> setups;
    if (d->status != Status::Open)
        return setups;
    const int result = readBankSetups(d->db, d->version, &setups);
    d->noteRead(result);
    if (result != SQLITE_OK)
        return {};
    std::sort(setups.begin(), setups.end(), [](const BankSetup& a, const BankSetup& b) {
        return static_cast<int>(a.bank) < static_cast<int>(b.bank);
    });
    return setups;
}

StoreResult EntryStore::setBankSetups(const QList<BankSetup>& setups) {
    if (setups.isEmpty() && d->status == Status::NoFile)
        return {};
    return d->write([&](sqlite3* db, Touched& touched) -> Outcome {
        touched.all();
        for (BankKind bank : AllBanks)
            if (const int code = removeBankSetup(db, bank); code != SQLITE_OK)
                return {code, {}};
        for (const BankSetup& setup : setups)
            if (const int code = putBankSetup(db, setup); code != SQLITE_OK)
                return {code, {}};
        return {};
    });
}

HoursSettings EntryStore::hoursSettings() const {
    HoursSettings settings;
    bool ok = false;
    const int start = d->setting(ShiftStartKey).toInt(&ok);
    if (ok && start >= 0 && start < 24 * 60)
        settings.shiftStart = start;
    const int days = d->setting(WorkPeriodDaysKey).toInt(&ok);
    if (ok && days >= 7 && days <= 28)
        settings.workPeriodDays = days;
    if (const std::optional<DateSerial> first = dateFromText(d->setting(WorkPeriodStartKey)))
        settings.workPeriodStart = *first;
    return settings;
}

StoreResult EntryStore::setHoursSettings(const HoursSettings& settings) {
    return d->write([&](sqlite3* db, Touched& touched) -> Outcome {
        touched.all();
        int code = putSetting(db, ShiftStartKey, QString::number(settings.shiftStart));
        if (code == SQLITE_OK)
            code = putSetting(db, WorkPeriodDaysKey, QString::number(settings.workPeriodDays));
        if (code == SQLITE_OK)
            code = putSetting(db, WorkPeriodStartKey,
                              settings.workPeriodStart ? dateText(*settings.workPeriodStart)
                                                       : QString());
        return {code, {}};
    });
}

QString EntryStore::keptCalendarFile() const {
    return d->setting(CalendarFileKey);
}

bool EntryStore::keptCalendarTimedShifts() const {
    return d->setting(CalendarTimedKey) == QLatin1String("1");
}

StoreResult EntryStore::setKeptCalendarFile(const QString& path, bool timedShifts) {
    // What the days are is not changed by where a copy of them goes: no day is told.
    return d->write([&](sqlite3* db, Touched&) -> Outcome {
        int code = putSetting(db, CalendarFileKey, path.isEmpty() ? QString() : path);
        if (code == SQLITE_OK)
            code = putSetting(db, CalendarTimedKey,
                              path.isEmpty() ? QString() : QString(timedShifts ? u'1' : u'0'));
        return {code, {}};
    });
}

std::optional<PublishChoices> EntryStore::publishChoices() const {
    PublishChoices choices;
    choices.server = d->setting(PublishServerKey);
    if (choices.server.isEmpty())
        return std::nullopt;
    choices.user = d->setting(PublishUserKey);
    choices.calendar = d->setting(PublishCalendarKey);
    choices.timedShifts = d->setting(PublishTimedKey) == QLatin1String("1");
    choices.paydays = d->setting(PublishPaydaysKey) != QLatin1String("0");
    choices.payPeriodStarts = d->setting(PublishPayPeriodsKey) != QLatin1String("0");
    choices.keepUpToDate = d->setting(PublishKeepKey) == QLatin1String("1");
    return choices;
}

StoreResult EntryStore::setPublishChoices(const PublishChoices& choices) {
    // Where a copy of the days goes changes no day.
    return d->write([&](sqlite3* db, Touched&) -> Outcome {
        const std::pair<const char*, QString> values[] = {
            {PublishServerKey, choices.server},
            {PublishUserKey, choices.user},
            {PublishCalendarKey, choices.calendar},
            {PublishTimedKey, flag(choices.timedShifts)},
            {PublishPaydaysKey, flag(choices.paydays)},
            {PublishPayPeriodsKey, flag(choices.payPeriodStarts)},
            {PublishKeepKey, flag(choices.keepUpToDate)},
        };
        for (const auto& [key, value] : values)
            if (const int code = putSetting(db, key, value); code != SQLITE_OK)
                return {code, {}};
        return {};
    });
}

StoreResult EntryStore::writeOtherTables(const std::function<int(sqlite3*)>& body) {
    // Nothing a view shows changes: no day is told.
    return d->write([&](sqlite3* db, Touched&) -> Outcome { return {body(db), {}}; });
}

StoreResult EntryStore::readOtherTables(const std::function<int(sqlite3*)>& body) const {
    if (d->status == Status::NoFile)
        return {};
    if (d->status == Status::Unavailable)
        return {false, d->problem};
    if (const int result = body(d->db); result != SQLITE_OK) {
        d->noteRead(result);
        return {false, QStringLiteral("%1 cannot be read (%2).")
                           .arg(d->path, QString::fromUtf8(sqlite3_errstr(result)))};
    }
    return {};
}

qint64 EntryStore::dutySequenceBase() const {
    return d->setting(DutySequenceKey).toLongLong();
}

StoreResult EntryStore::noteDutyTiming(bool timedShifts, DutyTimingOf of) {
    const char* timingKey =
        of == DutyTimingOf::CalendarServer ? ServerDutyTimingKey : DutyTimingKey;
    const QString timing = flag(timedShifts);
    // Whole days until anything else was written.
    const QString before = d->setting(timingKey);
    if (timing == (before.isEmpty() ? QStringLiteral("0") : before))
        return {};
    return d->write([&](sqlite3* db, Touched&) -> Outcome {
        QString base;
        int code = readSetting(db, DaysSchemaVersion, DutySequenceKey, &base);
        if (code == SQLITE_OK)
            code = putSetting(db, DutySequenceKey, QString::number(base.toLongLong() + 1));
        if (code == SQLITE_OK)
            code = putSetting(db, timingKey, timing);
        return {code, {}};
    });
}

StoreResult EntryStore::raiseDutySequence() {
    return d->write([&](sqlite3* db, Touched&) -> Outcome {
        QString base;
        int code = readSetting(db, DaysSchemaVersion, DutySequenceKey, &base);
        if (code == SQLITE_OK)
            code = putSetting(db, DutySequenceKey, QString::number(base.toLongLong() + 1));
        return {code, {}};
    });
}

bool EntryStore::checkForOutsideChanges() {
    if (d->status == Status::Unavailable)
        return false;
    if (d->status == Status::NoFile) {
        d->open();
        if (d->status == Status::NoFile)
            return false;
        emit changed(MinViewDate, MaxViewDate);
        return true;
    }
    const qint64 dataVersion = d->readDataVersion();
    if (dataVersion == d->dataVersion)
        return false;
    d->dataVersion = dataVersion;
    // The other process may have brought the file up to a newer version.
    d->version = std::max(d->version, daysSchemaVersion(d->db));
    emit changed(MinViewDate, MaxViewDate);
    return true;
}
