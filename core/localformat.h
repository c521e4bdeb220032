// The four fields of the user's regional settings that the calendar uses, copied once at start-up.
#pragma once

#include <QLocale>
#include <QString>
#include <QStringList>

struct LocalFormat {
    QLocale locale = QLocale::c();
    QString shortDatePattern;
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
