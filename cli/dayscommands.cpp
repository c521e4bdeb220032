#include "cli/dayscommands.h"

#include "cli/commandline.h"
#include "cli/userdays.h"
#include "core/clock.h"
#include "days/entryjson.h"
#include "days/importcheck.h"
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

int ExportDaysFile(const QString& target, const StoredSettings& settings) {
    UserDays days(settings);
    if (!days.problem().isEmpty())
        return fail(days.problem());
    const QByteArray json = daysToJson(days.store().allEntries(), days.store().earlierAssignments(),
                                       days.store().bankSetups());
    if (!days.store().readError().isEmpty())
        return fail(days.store().readError());
    QString error;
    // Written as every other file of the command line is, and its failure worded alike.
    if (!WriteOutput(target, json, &error))
        return fail(error);
    return static_cast<int>(ExitCode::Done);
}

namespace {

// At most three lines: the first two entries that do not fit, and how many more.
int refuseImport(const QString& source, const QStringList& refusals) {
    constexpr qsizetype Shown = 2;
    QStringList lines;
    for (qsizetype at = 0; at < std::min(Shown + 1, refusals.size()); ++at)
        lines << refusals[at];
    if (refusals.size() > Shown + 1) {
        lines = lines.mid(0, Shown);
        lines << QStringLiteral("and %1 more entries that do not fit their days")
                     .arg(refusals.size() - Shown);
    }
    lines[0] = QStringLiteral("nothing imported from %1: %2").arg(shownName(source), lines[0]);
    for (qsizetype at = 0; at + 1 < lines.size(); ++at)
        std::fputs(qPrintable(QStringLiteral("tourwise: ") + lines[at] + u'\n'), stderr);
    return fail(lines.last());
}

} // namespace

int ImportDaysFile(const QString& source, const StoredSettings& settings) {
    QString error;
    const std::optional<QByteArray> bytes = readSource(source, &error);
    if (!bytes)
        return fail(error);
    const std::optional<DaysFile> file = daysFromJson(*bytes, &error, nowUtc());
    if (!file)
        return fail(QStringLiteral("nothing imported from %1: %2").arg(shownName(source), error));
    UserDays days(settings);
    if (days.store().status() == EntryStore::Status::Unavailable)
        return fail(days.store().problem());
    // Checked as the day editor checks an entry, against the assignments as they will be.
    ImportedDays imported;
    imported.incoming = file->entries;
    imported.stored = days.store().allEntries();
    imported.history =
        file->assignmentHistory
            ? AssignmentHistory(*file->assignmentHistory, days.schedule().currentAssignment())
            : days.schedule().history();
    imported.payPeriodStart = days.schedule().payPeriodStart();
    imported.hours = days.schedule().hoursSettings();
    if (!days.store().readError().isEmpty())
        return fail(days.store().readError());
    const BankSetupsCheck banks = checkBankSetups(file->banks, imported.payPeriodStart);
    if (!banks.problems.isEmpty())
        return refuseImport(source, banks.problems);
    if (const QStringList refusals = ImportRefusals(imported); !refusals.isEmpty())
        return refuseImport(source, refusals);
    ImportCounts counts;
    const std::optional<QList<AssignmentPeriod>> earlier =
        file->assignmentHistory ? std::optional(imported.history.earlier()) : std::nullopt;
    const StoreResult result = days.store().import(file->entries, &counts, earlier, banks.setups);
    if (!result.ok)
        return fail(QStringLiteral("nothing imported: ") + result.error);
    QString line = QStringLiteral("Imported %1 entries (%2 updated, %3 unchanged)")
                       .arg(file->entries.size())
                       .arg(counts.updated)
                       .arg(counts.unchanged);
    if (earlier) {
        const qsizetype changes = earlier->size();
        line += changes == 0 ? QStringLiteral(" and the assignment history (no change)")
                : changes == 1
                    ? QStringLiteral(" and the assignment history (1 change)")
                    : QStringLiteral(" and the assignment history (%1 changes)").arg(changes);
    }
    if (!banks.setups.isEmpty())
        line += banks.setups.size() == 1
                    ? QStringLiteral(", 1 bank set up")
                    : QStringLiteral(", %1 banks set up").arg(banks.setups.size());
    std::fputs(qPrintable(line + u'\n'), stdout);
    std::fflush(stdout);
    return static_cast<int>(ExitCode::Done);
}
