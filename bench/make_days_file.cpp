// Writes a days file (the JSON form that --import-days reads) with many entries of one B2 user
// over 2016 ... 2060, for the benchmarks: trade-outs and leave on the user's duty days, trade-ins,
// overtime and training on days off, holdovers after a duty, notes anywhere, each fitting its day
// as an import checks it. The same count and seed always give the same bytes.
//
//   make_days_file [--count N] [--seed N] FILE     ("-": standard output)
#include "core/dateserial.h"
#include "days/dayfacts.h"
#include "days/entryjson.h"
#include "days/entryrules.h"
#include "rotation/rotation.h"

#include <QByteArray>
#include <QDate>
#include <QFile>
#include <QHash>
#include <QStringList>
#include <QTimeZone>
#include <QUuid>

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>

namespace {

const QString Assignment = QStringLiteral("B2");
const QDate FirstDay(2016, 1, 1);
const QDate LastDay(2060, 12, 31);

[[noreturn]] void fail(const std::string& message) {
    std::fprintf(stderr, "make_days_file: %s\n", message.c_str());
    std::exit(EXIT_FAILURE);
}

// std::mt19937 gives the same numbers everywhere; the standard distributions do not, so the
// reductions below are our own.
class Dice {
public:
    explicit Dice(std::uint32_t seed) : m_engine(seed) {}
    // 0 ... count - 1
    int below(int count) {
        return static_cast<int>(m_engine() % static_cast<std::uint32_t>(count));
    }
    template <typename T, std::size_t N> const T& pick(const std::array<T, N>& items) {
        return items[static_cast<std::size_t>(below(static_cast<int>(N)))];
    }
    QUuid uuid() {
        QByteArray bytes(16, '\0');
        for (char& byte : bytes)
            byte = static_cast<char>(m_engine() & 0xff);
        bytes[6] = static_cast<char>((bytes[6] & 0x0f) | 0x40); // version 4
        bytes[8] = static_cast<char>((bytes[8] & 0x3f) | 0x80); // RFC 4122 variant
        return QUuid::fromRfc4122(bytes);
    }

private:
    std::mt19937 m_engine;
};

const std::array<const char*, 12> Colleagues{
    "D. Okafor", "L. Brennan", "S. Varga",  "T. Nakamura", "R. Castillo", "J. Lindgren",
    "M. Haddad", "P. Kowal",   "A. Mensah", "K. Duarte",   "E. Whitlock", "N. Petrov"};
const std::array<const char*, 8> Notes{"Station 4 for the day",
                                       "Bring the turnout gear back",
                                       "Hose testing after roll call",
                                       "Swap confirmed by text",
                                       "Dentist 15:30",
                                       "Medical recert due",
                                       "Pick up the car from the shop",
                                       "Ladder drill"};
const std::array<LeaveType, 5> LeaveTypes{LeaveType::Vacation, LeaveType::Vacation, LeaveType::Sick,
                                          LeaveType::Comp, LeaveType::Holiday};

// The kinds in the proportions a busy user has them, per hundred entries.
EntryKind kindFor(int percent) {
    if (percent < 30)
        return EntryKind::TradeOut;
    if (percent < 50)
        return EntryKind::TradeIn;
    if (percent < 65)
        return EntryKind::Overtime;
    if (percent < 80)
        return EntryKind::Leave;
    if (percent < 85)
        return EntryKind::Holdover;
    if (percent < 90)
        return EntryKind::Training;
    return EntryKind::Note;
}

// Where a kind goes: absences on duty days, extra work on days off; whether it fits beside the
// day's other entries is the rule the import applies.
bool kindGoesOn(EntryKind kind, const DayFacts& facts) {
    switch (kind) {
    case EntryKind::TradeOut:
    case EntryKind::Leave:
    case EntryKind::Holdover:
        return facts.ownDuty;
    case EntryKind::TradeIn:
    case EntryKind::Overtime:
    case EntryKind::Training:
        return !facts.ownDuty;
    case EntryKind::Note:
        return true;
    }
    return false;
}

DayEntry makeEntry(Dice& dice, EntryKind kind, DateSerial day, int index) {
    DayEntry entry;
    entry.id = dice.uuid();
    entry.date = day;
    entry.kind = kind;
    switch (kind) {
    case EntryKind::TradeOut:
        // Mostly the whole shift, now and then the day or the night half of it.
        if (dice.below(4) == 0) {
            entry.minutes = 12 * 60;
            entry.start = dice.below(2) ? 8 * 60 : 20 * 60;
        }
        entry.with = QString::fromUtf8(dice.pick(Colleagues));
        break;
    case EntryKind::TradeIn:
        entry.minutes = dice.below(3) == 0 ? 12 * 60 : 24 * 60;
        entry.start = 8 * 60;
        entry.with = QString::fromUtf8(dice.pick(Colleagues));
        break;
    case EntryKind::Overtime:
        entry.minutes = 60 * (4 + dice.below(21)); // 4 ... 24 hours
        entry.start = 60 * (6 + dice.below(14));
        break;
    case EntryKind::Leave:
        entry.leaveType = dice.pick(LeaveTypes);
        break;
    case EntryKind::Holdover:
        entry.minutes = 30 * (1 + dice.below(8));
        entry.start = 8 * 60;
        break;
    case EntryKind::Training:
        entry.minutes = 8 * 60;
        entry.start = 9 * 60;
        break;
    case EntryKind::Note:
        break;
    }
    if (kind == EntryKind::Note || dice.below(5) == 0)
        entry.note = QString::fromUtf8(dice.pick(Notes));
    entry.revision = 1 + dice.below(3);
    entry.modified = QDateTime(QDate(2026, 1, 1), QTime(0, 0), QTimeZone::utc()).addSecs(index);
    return entry;
}

QList<DayEntry> makeEntries(int count, std::uint32_t seed) {
    Dice dice(seed);
    const auto first = static_cast<qint64>(serialFromQDate(FirstDay));
    const int days = static_cast<int>(static_cast<qint64>(serialFromQDate(LastDay)) - first + 1);
    QHash<qint64, QList<DayEntry>> entriesOn;
    QList<DayEntry> entries;
    entries.reserve(count);
    while (entries.size() < count) {
        const EntryKind kind = kindFor(dice.below(100));
        // Days are drawn until one takes the entry, so that the file imports whole.
        for (;;) {
            const qint64 day = first + dice.below(days);
            QList<DayEntry>& sameDay = entriesOn[day];
            const DayFacts facts =
                dayFacts(static_cast<DateSerial>(day), Assignment, DefaultPayPeriodStart, sameDay);
            if (!kindGoesOn(kind, facts))
                continue;
            const DayEntry entry = makeEntry(dice, kind, static_cast<DateSerial>(day),
                                             static_cast<int>(entries.size()));
            if (!EntryRefusal(entry, facts).isEmpty())
                continue;
            sameDay.append(entry);
            entries.append(entry);
            break;
        }
    }
    return entries;
}

long number(const char* text, long lowest, long highest) {
    char* end = nullptr;
    const long value = std::strtol(text, &end, 10);
    if (*text == '\0' || *end != '\0' || value < lowest || value > highest)
        fail(std::string("not a number from ") + std::to_string(lowest) + " to " +
             std::to_string(highest) + ": " + text);
    return value;
}

} // namespace

int main(int argc, char* argv[]) {
    const char* usage = "usage: make_days_file [--count N] [--seed N] FILE";
    int count = 5000;
    std::uint32_t seed = 2016;
    const char* target = nullptr;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--count") == 0 && i + 1 < argc)
            count = static_cast<int>(number(argv[++i], 1, 1000000));
        else if (std::strcmp(argv[i], "--seed") == 0 && i + 1 < argc)
            seed = static_cast<std::uint32_t>(number(argv[++i], 0, 0xffffffffL));
        else if (!target && (std::strcmp(argv[i], "-") == 0 || argv[i][0] != '-'))
            target = argv[i];
        else
            fail(usage);
    }
    if (!target)
        fail(usage);

    const QByteArray json = daysToJson(makeEntries(count, seed), {});
    QFile file;
    const bool opened = std::strcmp(target, "-") == 0
                            ? file.open(stdout, QIODevice::WriteOnly)
                            : (file.setFileName(QString::fromLocal8Bit(target)),
                               file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    if (!opened || file.write(json) != json.size() || !file.flush())
        fail(std::string("cannot write ") + target);
    return EXIT_SUCCESS;
}
