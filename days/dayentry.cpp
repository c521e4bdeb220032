#include "days/dayentry.h"

#include <array>
#include <cmath>

namespace {

// Every word of a kind and a leave type: the name in files, the title a person picks from, and
// for leave, how a sentence says it.
struct KindWords {
    EntryKind kind;
    const char* name;
    const char* title;
};
constexpr std::array<KindWords, 7> Kinds = {{
    {EntryKind::TradeOut, "trade-out", "Trade, someone works my shift"},
    {EntryKind::TradeIn, "trade-in", "Trade, I work for someone"},
    {EntryKind::Leave, "leave", "Leave"},
    {EntryKind::Overtime, "overtime", "Overtime / hire-back"},
    {EntryKind::Holdover, "holdover", "Holdover"},
    {EntryKind::Training, "training", "Training / detail"},
    {EntryKind::Note, "note", "Note"},
}};

struct LeaveWords {
    LeaveType type;
    const char* name; // none for a leave without a type
    const char* title;
    const char* phrase;
};
constexpr std::array<LeaveWords, 6> Leaves = {{
    {LeaveType::Vacation, "vacation", "Vacation", "vacation"},
    {LeaveType::Sick, "sick", "Sick", "sick leave"},
    {LeaveType::Comp, "comp", "Comp time", "comp time"},
    {LeaveType::Holiday, "holiday", "Holiday", "holiday"},
    {LeaveType::Other, "other", "Other", "leave"},
    {LeaveType::None, nullptr, "Not given", "leave"},
}};

const KindWords& wordsOf(EntryKind kind) {
    for (const KindWords& words : Kinds)
        if (words.kind == kind)
            return words;
    return Kinds.back();
}

const LeaveWords& wordsOf(LeaveType type) {
    for (const LeaveWords& words : Leaves)
        if (words.type == type)
            return words;
    return Leaves.back();
}

} // namespace

qint64 dayKey(DateSerial date) {
    return static_cast<qint64>(std::floor(date));
}

const QList<DayEntry>& entriesOn(const EntriesByDay& entries, DateSerial date) {
    static const QList<DayEntry> none;
    const auto found = entries.constFind(dayKey(date));
    return found == entries.constEnd() ? none : *found;
}

bool entryBefore(const DayEntry& a, const DayEntry& b) {
    if (dayKey(a.date) != dayKey(b.date))
        return dayKey(a.date) < dayKey(b.date);
    return a.id.toString(QUuid::WithoutBraces) < b.id.toString(QUuid::WithoutBraces);
}

QString entryKindName(EntryKind kind) {
    return QString::fromLatin1(wordsOf(kind).name);
}

std::optional<EntryKind> entryKindFromName(QStringView name) {
    for (const KindWords& words : Kinds)
        if (name == QLatin1StringView(words.name))
            return words.kind;
    return std::nullopt;
}

QString leaveTypeName(LeaveType type) {
    const char* name = wordsOf(type).name;
    return name ? QString::fromLatin1(name) : QString();
}

std::optional<LeaveType> leaveTypeFromName(QStringView name) {
    for (const LeaveWords& words : Leaves)
        if (words.name && name == QLatin1StringView(words.name))
            return words.type;
    return std::nullopt;
}

QString EntryKindTitle(EntryKind kind) {
    return QString::fromLatin1(wordsOf(kind).title);
}

QString LeaveTypeTitle(LeaveType type) {
    return QString::fromLatin1(wordsOf(type).title);
}

QString LeavePhrase(LeaveType type) {
    return QString::fromLatin1(wordsOf(type).phrase);
}

QString clockText(int minutes) {
    return QStringLiteral("%1:%2")
        .arg(minutes / 60, 2, 10, QLatin1Char('0'))
        .arg(minutes % 60, 2, 10, QLatin1Char('0'));
}

std::optional<int> clockFromText(QStringView text) {
    if (text.size() != 5 || text[2] != u':')
        return std::nullopt;
    const auto digit = [&](qsizetype at) { return text[at].unicode() - u'0'; };
    for (qsizetype at : {0, 1, 3, 4})
        if (digit(at) < 0 || digit(at) > 9)
            return std::nullopt;
    const int hours = digit(0) * 10 + digit(1);
    const int minutes = digit(3) * 10 + digit(4);
    if (hours > 23 || minutes > 59)
        return std::nullopt;
    return hours * 60 + minutes;
}

bool isAbsence(EntryKind kind) {
    return kind == EntryKind::TradeOut || kind == EntryKind::Leave;
}

bool isExtraWork(EntryKind kind) {
    return kind == EntryKind::Overtime || kind == EntryKind::Holdover ||
           kind == EntryKind::Training;
}
