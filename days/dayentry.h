// One entry of the user's own schedule on one day: a trade, leave, extra work or a note. The
// rotation stays computed from its rules; entries are a layer over it.
#pragma once

#include "core/dateserial.h"

#include <QDateTime>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringView>
#include <QUuid>

#include <optional>

// The longest an entry may be: two whole shifts.
inline constexpr int MaxEntryMinutes = 48 * 60;

enum class EntryKind { TradeOut, TradeIn, Leave, Overtime, Holdover, Training, Note };
enum class LeaveType { None, Vacation, Sick, Comp, Holiday, Other };

struct DayEntry {
    QUuid id;            // made once, when the entry is first created
    DateSerial date = 0; // a civil date, whole day
    EntryKind kind = EntryKind::Note;
    std::optional<int> minutes; // none: the whole shift of the day
    std::optional<int> start;   // minutes after local midnight, from "HH:MM"
    QString with;               // who works for me, or for whom I work
    LeaveType leaveType = LeaveType::None;
    QString note;
    // Overtime or a holdover taken as comp time instead of pay: it earns into the comp bank.
    bool comp = false;
    int revision = 1;   // raised on every change
    QDateTime modified; // UTC

    friend bool operator==(const DayEntry&, const DayEntry&) = default;
};

// The user's entries by whole day (the date serial's whole part).
using EntriesByDay = QHash<qint64, QList<DayEntry>>;

qint64 dayKey(DateSerial date);
const QList<DayEntry>& entriesOn(const EntriesByDay& entries, DateSerial date);

// Order within a day and in files: by date, then by id.
bool entryBefore(const DayEntry& a, const DayEntry& b);

// The JSON and database names of the kinds and leave types: "trade-out", "vacation" ...
QString entryKindName(EntryKind kind);
std::optional<EntryKind> entryKindFromName(QStringView name);
QString leaveTypeName(LeaveType type); // empty for None
std::optional<LeaveType> leaveTypeFromName(QStringView name);

// The kind as a person picks it: "Trade, someone works my shift", "Leave" ...; the leave type
// likewise ("Vacation", "Sick" ...), and inside a sentence ("vacation", "sick leave", "leave").
QString EntryKindTitle(EntryKind kind);
QString LeaveTypeTitle(LeaveType type);
QString LeavePhrase(LeaveType type);

// "HH:MM" for minutes after midnight, and back (00:00 ... 23:59 only).
QString clockText(int minutes);
std::optional<int> clockFromText(QStringView text);

// Kinds that take the user off a scheduled duty, and kinds that add worked hours.
bool isAbsence(EntryKind kind);
bool isExtraWork(EntryKind kind);
