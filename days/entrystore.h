// The user's entries in one SQLite file ("Tourwise-days.sqlite" in the program's data folder).
// Every change is one transaction, committed at once. The file is created only when the first
// entry is saved; a file that cannot be trusted is never overwritten, emptied or moved.
// The schedule learns of changes through changed(); views ask the schedule.
#pragma once

#include "days/assignmenthistory.h"
#include "days/banksetup.h"
#include "days/dayentry.h"
#include "days/shifttime.h"

#include <QHash>
#include <QObject>
#include <QString>

#include <functional>
#include <optional>

struct sqlite3;

inline constexpr auto DaysFileName = "Tourwise-days.sqlite";

// The folder of the program's own data inside `base`, $XDG_DATA_HOME or ~/.local/share when
// empty. Nothing is created.
QString daysFolder(const QString& dataBase = {});
QString daysFilePath(const QString& dataBase = {});

struct StoreResult {
    bool ok = true;
    QString error; // one sentence for the user when not ok
};

// Where the window publishes to a calendar server and what. The password is the keyring's only.
struct PublishChoices {
    QString server; // the address the user gave, which also names the keyring's entry
    QString user;
    QString calendar; // the calendar's own address
    bool timedShifts = false;
    bool paydays = true;
    bool payPeriodStarts = true;
    bool keepUpToDate = false;

    friend bool operator==(const PublishChoices&, const PublishChoices&) = default;
};

// Each place the calendar's events go remembers how its duty days were last written, so that
// a calendar file and a calendar server that differ do not raise the sequence for each other
// at every change.
enum class DutyTimingOf { CalendarFile, CalendarServer };

struct ImportCounts {
    int added = 0;
    int updated = 0;
    int unchanged = 0;
};

class EntryStore : public QObject {
    Q_OBJECT

public:
    enum class Status {
        NoFile, // nothing recorded yet: reads give nothing, the first change creates the file
        Open,
        Unavailable // the file is there but cannot be used; problem() says why and what to do
    };

    explicit EntryStore(const QString& path, QObject* parent = nullptr);
    ~EntryStore() override;

    Status status() const;
    QString problem() const; // names the file and what to do; empty unless Unavailable
    // Why the last read gave nothing although the file is there (it was busy, or the disk
    // failed), in one sentence; empty when it succeeded. A damaged file is Unavailable instead.
    QString readError() const;
    QString path() const;
    // Open, but the file or its folder cannot be written: reads work, changes are refused.
    bool isReadOnly() const;

    // Entries of the days first ... last (both included), in entryBefore order.
    QList<DayEntry> entriesBetween(DateSerial first, DateSerial last) const;
    EntriesByDay entriesByDay(DateSerial first, DateSerial last) const;
    QList<DayEntry> allEntries() const;
    std::optional<DayEntry> entry(const QUuid& id) const;

    // add() gives a new entry its id (when null), revision 1 and the modified time; change()
    // raises the stored revision by one and sets the modified time; both return what was
    // stored through `stored`. Each raises the change counter of every date it touches.
    StoreResult add(const DayEntry& entry, DayEntry* stored = nullptr);
    StoreResult change(const DayEntry& entry, DayEntry* stored = nullptr);
    StoreResult remove(const QUuid& id);
    // Puts back an entry exactly as given (revision and time included): for undo and redo.
    StoreResult restore(const DayEntry& entry);

    // Never goes down; deleting an entry raises it too. 0 for a day never changed.
    qint64 changeCounter(DateSerial day) const;
    QHash<qint64, qint64> changeCounters(DateSerial first, DateSerial last) const;

    // Merges by id: a higher revision replaces, otherwise the stored entry stays. With
    // `earlier`, the earlier assignments are replaced by those in the same transaction. All or
    // nothing.
    // `banks` replace the set-up of each bank they name.
    StoreResult import(const QList<DayEntry>& entries, ImportCounts* counts = nullptr,
                       const std::optional<QList<AssignmentPeriod>>& earlier = std::nullopt,
                       const QList<BankSetup>& banks = {});

    // The assignments before the settings file's one, each with its last day, by date.
    QList<AssignmentPeriod> earlierAssignments() const;
    // Replaces them; an empty list on a store without a file creates none.
    StoreResult setEarlierAssignments(const QList<AssignmentPeriod>& earlier);

    // The leave and comp banks as the user set them up, in AllBanks order.
    QList<BankSetup> bankSetups() const;
    // Replaces all of them: a bank not in the list is no longer kept.
    StoreResult setBankSetups(const QList<BankSetup>& setups);

    HoursSettings hoursSettings() const;
    StoreResult setHoursSettings(const HoursSettings& settings);
    // The calendar file kept up to date after every change, or empty, and whether its duty days
    // are timed from shift start to shift start.
    QString keptCalendarFile() const;
    bool keptCalendarTimedShifts() const;
    StoreResult setKeptCalendarFile(const QString& path, bool timedShifts = false);

    // What the window publishes to a calendar server; none until it first did.
    std::optional<PublishChoices> publishChoices() const;
    StoreResult setPublishChoices(const PublishChoices& choices);

    // What the member's day events (duty or RDO) add to their sequence: raised when their times
    // change (duty days timed or not) or their group changes, so that every calendar takes the
    // new version for an update.
    qint64 dutySequenceBase() const;
    // Records how duty days are written now where `of` says; raises the base when that differs
    // from how they were written there before.
    StoreResult noteDutyTiming(bool timedShifts, DutyTimingOf of = DutyTimingOf::CalendarFile);
    StoreResult raiseDutySequence();

    // For the other tables of the days file (what was published to calendar servers), whose
    // SQL stays in the files whose header says so. A write is one transaction with the same
    // checks, migration and daily backup as a change of the entries, and, as it changes no
    // day, emits no changed(). A read on a file not made yet does not call `body`. `body`
    // returns an SQLite result code.
    StoreResult writeOtherTables(const std::function<int(sqlite3*)>& body);
    StoreResult readOtherTables(const std::function<int(sqlite3*)>& body) const;

    // True when another process changed the file since this one last looked; then changed()
    // has been emitted for every day.
    bool checkForOutsideChanges();

signals:
    // The days first ... last may read differently: their entries, or the assignments or hours
    // settings they depend on, changed.
    void changed(DateSerial first, DateSerial last);

private:
    struct Private;
    Private* d;
};
