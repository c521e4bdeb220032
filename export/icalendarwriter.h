// The text form of a calendar file (RFC 5545): whole-day events and times without a time zone
// (floating), so that no calendar can move them to another day, with stable UIDs and the day's
// change counter as SEQUENCE, so that a second import updates the events of the first instead of
// adding copies.
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

// From the day and the event's role (shift, RDO, payday, pay-period start), or the entry's id:
// never from the assignment, so a member who changes group and imports again gets the paydays
// and the pay-period starts updated, not doubled.
QString CalendarEventUid(const CalendarEvent& event);

struct CalendarFileHeader {
    QString name;      // shown by calendars as the calendar's name: the agency title
    QString productId; // "-//Vendor//Product Version//EN"
    QDateTime stamp;   // when the file was made, written in UTC
};

// The whole file. Events marked transparent do not block time (TRANSP:TRANSPARENT). There is
// no METHOD: a published iTIP object would need an ORGANIZER, and a plain file needs neither.
QByteArray WriteICalendar(const CalendarFileHeader& header, const QList<CalendarEvent>& events);

// One event as a calendar of its own, as a calendar server keeps each event (a resource
// "<UID>.ics"): the file's lines for that event under the same VERSION and PRODID. No
// X-WR-CALNAME: the server's calendar has its own name. `header.name` is not used.
QByteArray WriteICalendarEvent(const CalendarFileHeader& header, const CalendarEvent& event);
