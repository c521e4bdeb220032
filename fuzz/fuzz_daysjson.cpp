// Arbitrary bytes as the JSON form of the user's entries. What parses writes back to bytes that
// parse to the same entries and write to the same bytes again, and imports whole into an empty
// store, which then holds exactly those entries.
#include "core/clock.h"
#include "days/entryjson.h"
#include "days/entrystore.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>

namespace {

QString workFolder() {
    static const std::unique_ptr<QTemporaryDir> folder = [] {
        const QString base = QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm")
                                                                       : QDir::tempPath();
        setTodayProvider([] { return serialFromYmd(2026, 12, 10); });
        return std::make_unique<QTemporaryDir>(base + QStringLiteral("/fuzz_daysjson-XXXXXX"));
    }();
    return folder->path();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    QString error;
    const std::optional<DaysFile> days = daysFromJson(bytes, &error);
    if (!days) {
        if (error.isEmpty() || error.contains(u'\n'))
            std::abort(); // one sentence, always
        return 0;
    }
    const QList<DayEntry>* entries = &days->entries;
    const QList<AssignmentPeriod> history =
        days->assignmentHistory.value_or(QList<AssignmentPeriod>{});
    const QByteArray written = daysToJson(*entries, history);
    const std::optional<DaysFile> reread = daysFromJson(written, &error);
    QList<DayEntry> sorted = *entries;
    std::stable_sort(sorted.begin(), sorted.end(), entryBefore);
    if (!reread || reread->entries != sorted ||
        reread->assignmentHistory.value_or(QList<AssignmentPeriod>{}) != history ||
        daysToJson(reread->entries, history) != written)
        std::abort();

    const QString path = workFolder() + QStringLiteral("/Tourwise-days.sqlite");
    for (const char* suffix : {"", "-wal", "-shm", "-journal"})
        QFile::remove(path + QLatin1StringView(suffix));
    EntryStore store(path);
    ImportCounts counts;
    if (!store.import(*entries, &counts).ok || counts.added != entries->size() ||
        counts.updated != 0 || counts.unchanged != 0)
        std::abort();
    if (store.allEntries() != sorted)
        std::abort();
    return 0;
}
