// Writes entries to a days file from a process of its own, for the store tests: one that is
// killed in the middle of its writes, two that write at the same time, and one that keeps the
// file open between its writes as another window does.
//
// days_writer_child pairs <file>               imports pairs of entries until killed; prints
//                                               "ready" once the first pair is committed
// days_writer_child add <file> <count> <tag>   adds <count> entries noted "<tag> <n>"
// days_writer_child serve <file>               as another window: keeps the file open and, for
//                                               each line read, adds a note of that text on
//                                               2026-03-01 and prints "added"; ends at the end
//                                               of its input
#include "core/dateserial.h"
#include "days/entrystore.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QString>

#include <cstdio>

namespace {

// The ids of pair n: the two halves differ only in the last byte, so the test can match them.
QUuid pairId(uint pair, uchar half) {
    return QUuid(pair, 0x7a11, 0x4000, 0x80, 0, 0, 0, 0, 0, 0, half);
}

DayEntry pairEntry(uint pair, uchar half) {
    DayEntry entry;
    entry.id = pairId(pair, half);
    // The halves on different days: every pair raises two day counters.
    entry.date = serialFromYmd(2026, 1, 1) + (pair % 300) + half;
    entry.kind = half == 0 ? EntryKind::Note : EntryKind::Overtime;
    entry.minutes = half == 0 ? std::nullopt : std::optional<int>(60 + int(pair % 600));
    entry.note = QStringLiteral("pair %1 half %2").arg(pair).arg(half);
    entry.revision = 1;
    entry.modified = QDateTime::fromSecsSinceEpoch(1'800'000'000 + pair, Qt::UTC);
    return entry;
}

int writePairs(EntryStore& store) {
    uint pair = static_cast<uint>(store.allEntries().size() / 2);
    for (bool first = true;; first = false, ++pair) {
        const StoreResult result = store.import({pairEntry(pair, 0), pairEntry(pair, 1)});
        if (!result.ok) {
            std::fprintf(stderr, "%s\n", qPrintable(result.error));
            return 1;
        }
        if (first) {
            std::puts("ready");
            std::fflush(stdout);
        }
    }
}

int addEntries(EntryStore& store, int count, const QString& tag) {
    for (int n = 0; n < count; ++n) {
        DayEntry entry;
        entry.date = serialFromYmd(2026, 3, 1) + n % 31;
        entry.kind = EntryKind::Note;
        entry.note = QStringLiteral("%1 %2").arg(tag).arg(n);
        const StoreResult result = store.add(entry);
        if (!result.ok) {
            std::fprintf(stderr, "%s: %s\n", qPrintable(entry.note), qPrintable(result.error));
            return 1;
        }
    }
    return 0;
}

int serveLines(EntryStore& store) {
    char line[256];
    while (std::fgets(line, sizeof line, stdin)) {
        DayEntry entry;
        entry.date = serialFromYmd(2026, 3, 1);
        entry.kind = EntryKind::Note;
        entry.note = QString::fromUtf8(line).trimmed();
        const StoreResult result = store.add(entry);
        if (!result.ok) {
            std::fprintf(stderr, "%s\n", qPrintable(result.error));
            return 1;
        }
        std::puts("added");
        std::fflush(stdout);
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() == 3 && arguments[1] == QLatin1StringView("pairs")) {
        EntryStore store(arguments[2]);
        return writePairs(store);
    }
    if (arguments.size() == 5 && arguments[1] == QLatin1StringView("add")) {
        EntryStore store(arguments[2]);
        return addEntries(store, arguments[3].toInt(), arguments[4]);
    }
    if (arguments.size() == 3 && arguments[1] == QLatin1StringView("serve")) {
        EntryStore store(arguments[2]);
        return serveLines(store);
    }
    std::fputs("usage: days_writer_child pairs <file> | add <file> <count> <tag> | serve <file>\n",
               stderr);
    return 2;
}
