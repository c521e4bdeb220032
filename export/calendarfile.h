// A calendar file for an assignment, from the choices of the export dialog or the command line.
#pragma once

#include "export/calendarevents.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

struct CalendarExport {
    // The user's days, assignments and pay periods, as every view reads them. Required.
    const Schedule* schedule = nullptr;
    CalendarRange range;
    CalendarContents contents;
    QString agency; // the calendar's name
};

// "-//Kestrand//Tourwise <version>//EN".
QString CalendarProductId();

QByteArray CalendarFileBytes(const CalendarExport& request, const QDateTime& stamp);

// Writes the file stamped with the clock's current instant. It appears complete or not at all;
// on failure `error` (when given) holds one line for the user.
bool WriteCalendarFile(const QString& path, const CalendarExport& request,
                       QString* error = nullptr);

// The file that the program keeps up to date after every change of the entries and every Save,
// for a calendar subscribed to it. Replaced in one step like any export, and left alone when only
// its stamp would change, so a subscriber sees no update where nothing changed. `request` is
// made as for an export, over DefaultCalendarRange(today()).
bool WriteKeptCalendar(const QString& path, const CalendarExport& request,
                       QString* error = nullptr);

// The file's lines without the DTSTAMP lines: what two exports of the same days share.
QByteArray CalendarBytesWithoutStamps(const QByteArray& file);
