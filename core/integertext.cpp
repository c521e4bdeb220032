#include "core/integertext.h"

namespace {

int hexDigitValue(QChar c) {
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= u'a' && u <= u'f')
        return u - u'a' + 10;
    if (u >= u'A' && u <= u'F')
        return u - u'A' + 10;
    return -1;
}

std::optional<std::uint64_t> readHex(QStringView digits) {
    if (digits.isEmpty())
        return std::nullopt;
    std::uint64_t value = 0;
    int significant = 0;
    for (QChar c : digits) {
        const int v = hexDigitValue(c);
        if (v < 0)
            return std::nullopt;
        if (value != 0 || v != 0)
            ++significant;
        if (significant > 16)
            return std::nullopt;
        value = (value << 4) | static_cast<std::uint64_t>(v);
    }
    return value;
}

std::optional<std::uint64_t> readDecimal(QStringView digits, bool negative) {
    if (digits.isEmpty())
        return std::nullopt;
    const std::uint64_t limit = negative ? std::uint64_t{1} << 63 : (std::uint64_t{1} << 63) - 1;
    std::uint64_t value = 0;
    for (QChar c : digits) {
        const char16_t u = c.unicode();
        if (u < u'0' || u > u'9')
            return std::nullopt;
        const std::uint64_t digit = u - u'0';
        if (value > (limit - digit) / 10)
            return std::nullopt;
        value = value * 10 + digit;
    }
    return value;
}

} // namespace

std::optional<std::int64_t> parseIntegerText(QStringView text) {
    qsizetype i = 0;
    while (i < text.size() && (text[i] == u' ' || text[i] == u'\t'))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
        negative = text[i] == u'-';
        ++i;
    }
    const QStringView rest = text.mid(i);
    std::optional<std::uint64_t> magnitude;
    if (rest.startsWith(u'$') || rest.startsWith(u'x') || rest.startsWith(u'X'))
        magnitude = readHex(rest.mid(1));
    else if (rest.startsWith(u"0x") || rest.startsWith(u"0X"))
        magnitude = readHex(rest.mid(2));
    else
        magnitude = readDecimal(rest, negative);
    if (!magnitude)
        return std::nullopt;
    // Two's complement keeps hexadecimal patterns such as $FFFFFFFFFFFFFFFF as the value -1.
    const std::uint64_t bits = negative ? ~*magnitude + 1 : *magnitude;
    return static_cast<std::int64_t>(bits);
}
