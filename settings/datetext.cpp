#include "settings/datetext.h"

#include "core/localformat.h"

#include <QDate>
#include <QRegularExpression>

namespace {

std::optional<QDate> fromIsoText(const QString& text) {
    static const QRegularExpression iso(
        QRegularExpression::anchoredPattern(QStringLiteral("([0-9]{4})-([0-9]{2})-([0-9]{2})")));
    const QRegularExpressionMatch match = iso.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    const QDate date(match.captured(1).toInt(), match.captured(2).toInt(),
                     match.captured(3).toInt());
    return date.isValid() ? std::optional(date) : std::nullopt;
}

} // namespace

QString payPeriodStartToText(DateSerial date, const QLocale& locale) {
    return locale.toString(qdateFromSerial(date), fullYearShortDatePattern(locale));
}

std::optional<DateSerial> payPeriodStartFromText(const QString& text, const QLocale& locale) {
    const QString ownFormat = locale.dateFormat(QLocale::ShortFormat);
    const QString fullYearFormat = fullYearShortDatePattern(locale);
    if (ownFormat != fullYearFormat) {
        // Qt reads the two digits as 19xx; a pay-period start lies in this century.
        const QDate date = locale.toDate(text, ownFormat);
        if (date.isValid())
            return serialFromQDate(date.year() < 2000 ? date.addYears(100) : date);
    }
    const QDate date = locale.toDate(text, fullYearFormat);
    if (date.isValid())
        return serialFromQDate(date);
    if (const std::optional<QDate> iso = fromIsoText(text))
        return serialFromQDate(*iso);
    return std::nullopt;
}
