#include "editor/entryinput.h"

#include <QRegularExpression>
#include <QRegularExpressionValidator>

namespace {

// Digits as typed, or none when there are none or other characters among them.
std::optional<int> number(QStringView digits) {
    if (digits.isEmpty())
        return std::nullopt;
    int value = 0;
    for (QChar c : digits) {
        if (c < u'0' || c > u'9')
            return std::nullopt;
        value = value * 10 + (c.unicode() - u'0');
    }
    return value;
}

std::optional<int> clock(std::optional<int> hours, std::optional<int> minutes) {
    if (!hours || !minutes || *hours > 23 || *minutes > 59)
        return std::nullopt;
    return *hours * 60 + *minutes;
}

} // namespace

std::optional<int> startFromInput(QStringView text) {
    text = text.trimmed();
    if (const qsizetype colon = text.indexOf(u':'); colon >= 0) {
        const QStringView hours = text.left(colon);
        const QStringView minutes = text.mid(colon + 1);
        if (hours.size() > 2 || minutes.size() != 2)
            return std::nullopt;
        return clock(number(hours), number(minutes));
    }
    // One or two digits are the hour; three or four end in the minutes, as "0700" and "730".
    if (text.size() <= 2)
        return clock(number(text), 0);
    if (text.size() > 4)
        return std::nullopt;
    return clock(number(text.left(text.size() - 2)), number(text.right(2)));
}

std::optional<int> minutesFromInput(QStringView text) {
    text = text.trimmed();
    if (const qsizetype colon = text.indexOf(u':'); colon >= 0) {
        const std::optional<int> hours = number(text.left(colon));
        const std::optional<int> minutes = number(text.mid(colon + 1));
        if (!hours || !minutes || text.size() - colon - 1 != 2 || *minutes > 59)
            return std::nullopt;
        return *hours * 60 + *minutes;
    }
    // Either decimal mark, whatever the locale: nobody writes thousands of hours here.
    qsizetype mark = text.indexOf(u'.');
    if (mark < 0)
        mark = text.indexOf(u',');
    const QStringView whole = mark < 0 ? text : text.left(mark);
    const QStringView fraction = mark < 0 ? QStringView() : text.mid(mark + 1);
    if ((whole.isEmpty() && fraction.isEmpty()) || fraction.size() > 2)
        return std::nullopt;
    const std::optional<int> hours = whole.isEmpty() ? 0 : number(whole);
    const std::optional<int> digits = fraction.isEmpty() ? 0 : number(fraction);
    if (!hours || !digits)
        return std::nullopt;
    const int hundredths = fraction.size() == 1 ? *digits * 10 : *digits;
    // To the nearest minute: 0.33 hours are 20 minutes.
    return *hours * 60 + (hundredths * 60 + 50) / 100;
}

QValidator* startValidator(QObject* parent) {
    return new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral(R"(\s*(\d{0,4}|\d{1,2}:\d{0,2})\s*)")), parent);
}

QValidator* hoursValidator(QObject* parent) {
    return new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral(R"(\s*(\d{0,2}([.,]\d{0,2})?|\d{1,2}:\d{0,2})\s*)")),
        parent);
}

QString unreadableStartText() {
    return QStringLiteral("Give the start as a time of day, such as 07:00 or 0700.");
}

QString unreadableHoursText() {
    return QStringLiteral("Give the hours as a number, such as 10, 10.5 or 10:30.");
}
