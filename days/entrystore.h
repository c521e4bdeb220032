// The user's entries in one SQLite file ("Tourwise-days.sqlite" in the program's data folder).
// Every change is one transaction, committed at once. The file is created only when the first
// entry is saved; a file that cannot be trusted is never overwritten, emptied or moved.
// Views learn of changes through entriesChanged().
#pragma once

#include "days/dayentry.h"
#include "days/shifttime.h"

#include <QHash>
#include <QObject>
#include <QString>

#include <functional>
#include <optional>

struct sqlite3;

inline constexpr auto DaysFileName = "Tourwise-days.sqlite";

// The folder of the program's own data: <base>/Kestrand/Tourwise, where base is $XDG_DATA_HOME
// or ~/.local/share when empty. Nothing is created.
QString daysFolder(const QString& dataBase = {});
QString daysFilePath(const QString& dataBase = {});

struct StoreResult {
    bool ok = true;
    QString error; // one sentence for the user when not ok
};

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

    // Merges by id: a higher revision replaces, otherwise the stored entry stays. All or nothing.
    StoreResult import(const QList<DayEntry>& entries, ImportCounts* counts = nullptr);

    HoursSettings hoursSettings() const;
    StoreResult setHoursSettings(const HoursSettings& settings);
    // The calendar file kept up to date after every change, or empty, and whether its duty days
    // are timed from shift start to shift start.
    QString keptCalendarFile() const;
    bool keptCalendarTimedShifts() const;
    StoreResult setKeptCalendarFile(const QString& path, bool timedShifts = false);

    // For the other tables of the days file (what was published to calendar servers), whose
    // SQL stays in the files whose header says so. A write is one transaction with the same
    // checks, migration and daily backup as a change of the entries, and, as it changes no
    // entry, emits no entriesChanged(). A read on a file not made yet does not call `body`.
    // `body` returns an SQLite result code.
    StoreResult writeOtherTables(const std::function<int(sqlite3*)>& body);
    StoreResult readOtherTables(const std::function<int(sqlite3*)>& body) const;

    // True when another process changed the file since this one last looked; then
    // entriesChanged() has been emitted.
    bool checkForOutsideChanges();

signals:
    void entriesChanged();

private:
    struct Private;
    Private* d;
};
