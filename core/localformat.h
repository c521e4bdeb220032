// The fields of the user's regional settings that the calendar uses, copied once at start-up,
// and the one form in which the program writes a day.
#pragma once

#include "core/dateserial.h"

#include <QLocale>
#include <QString>
#include <QStringList>

struct LocalFormat {
    QLocale locale = QLocale::c();
    QStringList longMonthNames;  // January first, as a month is named alone, with a capital
    QStringList shortMonthNames; // January first, likewise
    QStringList shortDayNames;   // Sunday first, whatever the locale's first day of the week

    static LocalFormat fromLocale(const QLocale& locale);
};

// The locale's short date pattern with a two-digit year widened to four digits: Qt 6.4 reads a
// two-digit year back in the 1900s, four digits round-trip ("M/d/yyyy" under en_US).
QString fullYearShortDatePattern(const QLocale& locale);

// The same with the month as a number, so the date fits a narrow editor: a pattern that names
// the month (the C locale's "d MMM yyyy") gives way to ISO "yyyy-MM-dd".
QString numericShortDatePattern(const QLocale& locale);

// A day as the program writes it in its own texts, tables and dialogs: the locale's short date
// form, as the status line shows it ("12/10/26" under en_US, "10.12.26" under de_DE, "10 Dec
// 2026" under C). Date editors use numericShortDatePattern instead: a four-digit year typed into
// a two-digit field would land in another century. Files (CSV, JSON, iCalendar) keep ISO 8601.
QString shortDatePattern(const QLocale& locale);
QString shortDateText(const QLocale& locale, DateSerial day);
