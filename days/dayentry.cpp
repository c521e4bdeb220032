#include "days/dayentry.h"

#include <array>
#include <cmath>
#include <utility>

namespace {

constexpr std::array<std::pair<EntryKind, const char*>, 7> KindNames = {{
    {EntryKind::TradeOut, "trade-out"},
    {EntryKind::TradeIn, "trade-in"},
    {EntryKind::Leave, "leave"},
    {EntryKind::Overtime, "overtime"},
    {EntryKind::Holdover, "holdover"},
    {EntryKind::Training, "training"},
    {EntryKind::Note, "note"},
}};

constexpr std::array<std::pair<LeaveType, const char*>, 5> LeaveNames = {{
    {LeaveType::Vacation, "vacation"},
    {LeaveType::Sick, "sick"},
    {LeaveType::Comp, "comp"},
    {LeaveType::Holiday, "holiday"},
    {LeaveType::Other, "other"},
}};

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
    for (const auto& [value, name] : KindNames)
        if (value == kind)
            return QString::fromLatin1(name);
    return {};
}

std::optional<EntryKind> entryKindFromName(QStringView name) {
    for (const auto& [value, text] : KindNames)
        if (name == QLatin1StringView(text))
            return value;
    return std::nullopt;
}

QString leaveTypeName(LeaveType type) {
    for (const auto& [value, name] : LeaveNames)
        if (value == type)
            return QString::fromLatin1(name);
    return {};
}

std::optional<LeaveType> leaveTypeFromName(QStringView name) {
    for (const auto& [value, text] : LeaveNames)
        if (name == QLatin1StringView(text))
            return value;
    return std::nullopt;
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
