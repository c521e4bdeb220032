// What every view asks about the user's days: which assignment held on a day, what the day is
// with the user's entries (its DayFacts), and the hours of a range. The schedule holds what a day
// depends on (the assignment history, the pay-period start, the hours settings and the entries,
// read from the store when there is one), keeps what it has answered until one of those changes,
// and tells which days changed. Views take it read-only.
#pragma once

#include "days/assignmenthistory.h"
#include "days/bankledger.h"
#include "days/dayfacts.h"
#include "days/hours.h"

#include <QHash>
#include <QList>
#include <QLocale>
#include <QObject>
#include <QSet>
#include <QString>

#include <memory>
#include <optional>

class EntryStore;

// An entry that the hours leave out because it does not fit its day, and why.
struct NotCountedEntry {
    DayEntry entry;
    QString reason; // one sentence
};

class Schedule : public QObject {
    Q_OBJECT

public:
    // The user's days read from `store`; without one, the entries, earlier assignments and
    // hours settings given to it (tests, and checking what an import would store).
    explicit Schedule(EntryStore* store = nullptr, QObject* parent = nullptr);
    ~Schedule() override;

    // The assignment from the last change on: the settings file's, or what the Settings page
    // shows before it is saved.
    void setCurrentAssignment(const QString& assignment);
    void setPayPeriodStart(DateSerial start);
    // For this run only, never stored: the command line's overrides. The what-if assignment
    // holds on every day, the history notwithstanding.
    void overrideHoursSettings(const HoursSettings& settings);
    void setAssignmentOnEveryDay(const QString& assignment);
    // Without a store only.
    void setEntries(const QList<DayEntry>& entries);
    void setEarlierAssignments(const QList<AssignmentPeriod>& earlier);
    void setHoursSettings(const HoursSettings& settings);
    void setChangeCounters(const QHash<qint64, qint64>& counters);
    void setBankSetups(const QList<BankSetup>& setups);

    EntryStore* store() const;
    // What keeps the user's days from being shown whole, in one sentence: the file is
    // unavailable or could not be read. Empty when all is well.
    QString problem() const;

    const AssignmentHistory& history() const;
    const QString& currentAssignment() const;
    const QString& assignmentOn(DateSerial day) const;
    // The assignments that held on first ... last, each with the part of those days it held.
    QList<AssignmentSpan> assignmentsBetween(DateSerial first, DateSerial last) const;
    DateSerial payPeriodStart() const;
    HoursSettings hoursSettings() const;
    WorkPeriodRule workPeriodRule() const;

    // The reference stays valid until the schedule changes.
    const DayFacts& day(DateSerial day) const;
    QList<DayFacts> days(DateSerial first, DateSerial last) const;
    // The days of first ... last that hold entries, by date; every such day with no range.
    QList<DayFacts> daysWithEntries(DateSerial first, DateSerial last) const;
    QList<DayFacts> daysWithEntries() const;
    qint64 changeCounter(DateSerial day) const;
    // What the member's day events add to their sequence (EntryStore::dutySequenceBase()).
    qint64 dutySequenceBase() const;

    HoursTotals hours(DateSerial first, DateSerial last) const;
    // The pay period holding the day, with its hours.
    PayPeriodHours payPeriodOf(DateSerial day) const;
    // Every period that holds a day of first ... last.
    QList<PayPeriodHours> payPeriods(DateSerial first, DateSerial last) const;
    QList<WorkPeriodHours> workPeriods(DateSerial first, DateSerial last) const;
    QList<TradeBalance> trades() const;
    // The entries of first ... last that the hours leave out.
    QList<NotCountedEntry> notCounted(DateSerial first, DateSerial last) const;

    // The leave and comp banks as set up, over the leave and comp time of every day.
    QList<BankSetup> bankSetups() const;
    const BankLedger& banks() const;

signals:
    // The days first ... last may now read differently.
    void changed(DateSerial first, DateSerial last);

private:
    struct Private;
    std::unique_ptr<Private> d;
};

// The entries of those days that do not fit them.
QList<NotCountedEntry> NotCountedIn(const QList<DayFacts>& days);

// "2 entries are not counted, as they do not fit their days: 2026-03-04 (trade-out), …": the line
// under the hours lists; empty for none. The command line names the days in ISO 8601, as it
// reads them; the window in the locale's short form.
QString NotCountedText(const QList<NotCountedEntry>& entries);
QString NotCountedText(const QList<NotCountedEntry>& entries, const QLocale& locale);
