#include "days/shifttime.h"

#include <QDateTime>
#include <QTimeZone>

int ShiftLengthMinutes(DateSerial day, int shiftStart) {
    const QDate date = qdateFromSerial(day);
    const QTime start(shiftStart / 60, shiftStart % 60);
    const QDateTime begins(date, start, Qt::LocalTime);
    const QDateTime ends(date.addDays(1), start, Qt::LocalTime);
    return static_cast<int>(begins.secsTo(ends) / 60);
}
