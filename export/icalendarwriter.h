// The text form of a calendar file (RFC 5545): whole-day events without a time zone, so that no
// calendar can move them to another day, with stable UIDs so that a second import updates the
// events of the first instead of adding copies.
#pragma once

#include "export/calendarevents.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>

// A TEXT value: backslash, semicolon and comma escaped; CR LF, a lone CR or a lone LF become one
// "\n"; other control characters, which the format forbids, are dropped.
QString EscapeCalendarText(const QString& text);

// One content line as it goes into the file: cut into lines of at most 75 octets, never inside a
// UTF-8 character, each continuation starting with a space, every line ended by CR LF.
QByteArray FoldContentLine(const QByteArray& line);

// Name-based: the same kind, day and assignment always give the same UID, and another assignment
// always another one.
QString CalendarEventUid(const CalendarEvent& event, const QString& assignment);

struct CalendarFileHeader {
    QString name;      // shown by calendars as the calendar's name: the agency title
    QString productId; // "-//Vendor//Product Version//EN"
    QDateTime stamp;   // when the file was made, written in UTC
};

// The whole file. Paydays and pay-period starts do not block time (TRANSP:TRANSPARENT).
QByteArray WriteICalendar(const CalendarFileHeader& header, const QList<CalendarEvent>& events,
                          const QString& assignment);
