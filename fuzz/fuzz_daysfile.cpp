// Arbitrary bytes as the file of the user's entries: the store opens it, reads every entry and
// tries one change, without crashing or hanging; a file it cannot use keeps its bytes, and a
// change it accepts reads back.
#include "core/clock.h"
#include "days/entrystore.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>

namespace {

// A folder on a RAM disk where there is one: SQLite syncs every commit.
QString workFolder() {
    static const std::unique_ptr<QTemporaryDir> folder = [] {
        const QString base = QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm")
                                                                       : QDir::tempPath();
        setTodayProvider([] { return serialFromYmd(2026, 12, 10); });
        setNowUtcProvider([] { return QDateTime(QDate(2026, 12, 10), QTime(11, 45, 2), Qt::UTC); });
        return std::make_unique<QTemporaryDir>(base + QStringLiteral("/fuzz_daysfile-XXXXXX"));
    }();
    return folder->path();
}

QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString folder = workFolder();
    const QString path = folder + QStringLiteral("/Tourwise-days.sqlite");
    for (const char* suffix : {"", "-wal", "-shm", "-journal"})
        QFile::remove(path + QLatin1StringView(suffix));
    QDir(folder + QStringLiteral("/Backups")).removeRecursively();
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            std::abort();
    }

    EntryStore store(path);
    const QList<DayEntry> entries = store.allEntries();
    store.changeCounters(serialFromYmd(2000, 1, 1), serialFromYmd(2100, 1, 1));
    store.hoursSettings();
    store.keptCalendarFile();

    DayEntry entry;
    entry.date = serialFromYmd(2026, 12, 10);
    entry.kind = EntryKind::Overtime;
    entry.minutes = 90;
    entry.note = QStringLiteral("fuzz");
    DayEntry stored;
    const StoreResult added = store.add(entry, &stored);
    if (store.status() == EntryStore::Status::Unavailable) {
        if (added.ok || !store.allEntries().isEmpty() || fileBytes(path) != bytes)
            std::abort(); // a file that cannot be used is never written
        return 0;
    }
    if (added.ok && store.entry(stored.id) != stored)
        std::abort();
    if (!entries.isEmpty() && store.status() == EntryStore::Status::Open)
        store.remove(entries.first().id);
    return 0;
}
