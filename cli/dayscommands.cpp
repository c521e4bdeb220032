#include "cli/dayscommands.h"

#include "cli/commandline.h"
#include "days/entryjson.h"
#include "days/entrystore.h"
#include "export/outputfile.h"

#include <QFile>

#include <cstdio>

namespace {

// No file of entries comes near this; a larger one is a mistake, not a file to read whole.
constexpr qint64 MaxDaysFileBytes = qint64(256) << 20;

int fail(const QString& message) {
    std::fputs(qPrintable(QStringLiteral("tourwise: ") + message + u'\n'), stderr);
    std::fflush(stderr);
    return static_cast<int>(ExitCode::WriteFailed);
}

QString shownName(const QString& file) {
    return file == u'-' ? QStringLiteral("standard input") : file;
}

std::optional<QByteArray> readSource(const QString& source, QString* error) {
    QFile file;
    if (source == u'-' ? !file.open(stdin, QIODevice::ReadOnly)
                       : (file.setFileName(source), !file.open(QIODevice::ReadOnly))) {
        *error = QStringLiteral("cannot read %1: %2").arg(shownName(source), file.errorString());
        return std::nullopt;
    }
    QByteArray bytes = file.read(MaxDaysFileBytes + 1);
    if (bytes.size() > MaxDaysFileBytes) {
        *error = QStringLiteral("%1 is larger than any file of entries can be").arg(source);
        return std::nullopt;
    }
    if (file.error() != QFileDevice::NoError) {
        *error = QStringLiteral("cannot read %1: %2").arg(shownName(source), file.errorString());
        return std::nullopt;
    }
    return bytes;
}

} // namespace

int ExportDaysFile(const QString& target) {
    const EntryStore store(daysFilePath());
    if (store.status() == EntryStore::Status::Unavailable)
        return fail(store.problem());
    QString error;
    // Written as every other file of the command line is, and its failure worded alike.
    if (!WriteOutput(target, entriesToJson(store.allEntries()), &error))
        return fail(error);
    return static_cast<int>(ExitCode::Done);
}

int ImportDaysFile(const QString& source) {
    QString error;
    const std::optional<QByteArray> bytes = readSource(source, &error);
    if (!bytes)
        return fail(error);
    const std::optional<QList<DayEntry>> entries = entriesFromJson(*bytes, &error);
    if (!entries)
        return fail(QStringLiteral("nothing imported from %1: %2").arg(shownName(source), error));
    EntryStore store(daysFilePath());
    if (store.status() == EntryStore::Status::Unavailable)
        return fail(store.problem());
    ImportCounts counts;
    const StoreResult result = store.import(*entries, &counts);
    if (!result.ok)
        return fail(QStringLiteral("nothing imported: ") + result.error);
    std::printf("Imported %lld entries (%d updated, %d unchanged)\n",
                static_cast<long long>(entries->size()), counts.updated, counts.unchanged);
    std::fflush(stdout);
    return static_cast<int>(ExitCode::Done);
}
