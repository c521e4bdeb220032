#include "export/calendarfile.h"

#include "core/clock.h"
#include "export/icalendarwriter.h"
#include "tourwise_version.h"

#include <QSaveFile>

QString CalendarProductId() {
    return QStringLiteral("-//Kestrand//%1 %2//EN")
        .arg(QLatin1StringView(ProductName), QLatin1StringView(ProductVersion));
}

QByteArray CalendarFileBytes(const CalendarExport& request, const QDateTime& stamp) {
    const CalendarFileHeader header{request.agency, CalendarProductId(), stamp};
    return WriteICalendar(
        header,
        CalendarEvents(request.range, request.assignment, request.contents, request.payPeriodStart),
        request.assignment);
}

bool WriteCalendarFile(const QString& path, const CalendarExport& request, QString* error) {
    QSaveFile file(path);
    const QByteArray bytes = CalendarFileBytes(request, nowUtc());
    const bool written =
        file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
    if (!written && error)
        *error = QStringLiteral("Unable to write to %1 (%2)").arg(path, file.errorString());
    return written;
}
