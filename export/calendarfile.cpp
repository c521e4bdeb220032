#include "export/calendarfile.h"

#include "core/clock.h"
#include "core/programfolder.h"
#include "export/icalendarwriter.h"
#include "tourwise_version.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

QString CalendarProductId() {
    return QStringLiteral("-//%1//%2 %3//EN")
        .arg(QLatin1StringView(OrganizationName), QLatin1StringView(ProductName),
             QLatin1StringView(ProductVersion));
}

QByteArray CalendarFileBytes(const CalendarExport& request, const QDateTime& stamp) {
    const CalendarFileHeader header{request.agency, CalendarProductId(), stamp};
    return WriteICalendar(header,
                          CalendarEvents(*request.schedule, request.range, request.contents));
}

namespace {

bool writeBytes(const QString& path, const QByteArray& bytes, QString* error) {
    QSaveFile file(path);
    const bool written =
        file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
    if (!written && error)
        *error = QStringLiteral("Unable to write to %1 (%2)").arg(path, file.errorString());
    return written;
}

} // namespace

bool WriteCalendarFile(const QString& path, const CalendarExport& request, QString* error) {
    return writeBytes(path, CalendarFileBytes(request, nowUtc()), error);
}

QByteArray CalendarBytesWithoutStamps(const QByteArray& file) {
    QByteArray kept;
    for (const QByteArray& line : file.split('\n'))
        if (!line.startsWith("DTSTAMP:"))
            kept += line + '\n';
    return kept;
}

bool WriteKeptCalendar(const QString& path, const CalendarExport& request, QString* error) {
    const QByteArray bytes = CalendarFileBytes(request, nowUtc());
    QFile current(path);
    // A regular file of sane size only: a pipe or a device would block the read.
    const QFileInfo info(path);
    if (info.isFile() && info.size() <= 4 * bytes.size() + 4096 &&
        current.open(QIODevice::ReadOnly) &&
        CalendarBytesWithoutStamps(current.readAll()) == CalendarBytesWithoutStamps(bytes))
        return true;
    current.close();
    return writeBytes(path, bytes, error);
}
