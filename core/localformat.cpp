#include "core/localformat.h"

#include <QDate>

namespace {

struct YearField {
    qsizetype position = -1; // of a two-digit year field, -1 when there is none
    bool hasFourDigits = false;
};

// Finds the year fields of a date pattern, skipping quoted literal text.
YearField findYearField(const QString& pattern) {
    YearField field;
    bool quoted = false;
    for (qsizetype i = 0; i < pattern.size();) {
        if (pattern[i] == u'\'') {
            quoted = !quoted;
            ++i;
            continue;
        }
        if (quoted || pattern[i] != u'y') {
            ++i;
            continue;
        }
        qsizetype run = i;
        while (run < pattern.size() && pattern[run] == u'y')
            ++run;
        if (run - i >= 4)
            field.hasFourDigits = true;
        else if (run - i == 2 && field.position < 0)
            field.position = i;
        i = run;
    }
    return field;
}

} // namespace

QString fullYearShortDatePattern(const QLocale& locale) {
    QString pattern = shortDatePattern(locale);
    const YearField year = findYearField(pattern);
    if (!year.hasFourDigits && year.position >= 0)
        pattern.replace(year.position, 2, QStringLiteral("yyyy"));
    return pattern;
}

QString numericShortDatePattern(const QLocale& locale) {
    const QString pattern = fullYearShortDatePattern(locale);
    return pattern.contains(QLatin1String("MMM")) ? QStringLiteral("yyyy-MM-dd") : pattern;
}

QString shortDatePattern(const QLocale& locale) {
    return locale.dateFormat(QLocale::ShortFormat);
}

QString shortDateText(const QLocale& locale, DateSerial day) {
    return locale.toString(qdateFromSerial(day), shortDatePattern(locale));
}

LocalFormat LocalFormat::fromLocale(const QLocale& locale) {
    LocalFormat format;
    format.locale = locale;
    // The header shows a month on its own: inflecting languages name it differently inside a
    // date ("декабря") than alone ("декабрь"), and as a heading it starts with a capital.
    const auto heading = [&locale](QString name) {
        return name.isEmpty() ? name : locale.toUpper(name.left(1)) + name.mid(1);
    };
    for (int month = 1; month <= 12; ++month) {
        format.longMonthNames << heading(locale.standaloneMonthName(month, QLocale::LongFormat));
        format.shortMonthNames << heading(locale.standaloneMonthName(month, QLocale::ShortFormat));
    }
    // Qt numbers the days 1 = Monday ... 7 = Sunday.
    for (int day : {7, 1, 2, 3, 4, 5, 6})
        format.shortDayNames << locale.dayName(day, QLocale::ShortFormat);
    return format;
}
