#include "colors/colortext.h"

#include "core/asciicase.h"
#include "core/integertext.h"

#include <QStringView>

#include <string_view>

namespace {

// The text is the prefix and then the name, A-Z compared without case.
bool equalsIgnoringAsciiCase(QStringView text, std::string_view prefix, std::string_view name) {
    if (static_cast<std::size_t>(text.size()) != prefix.size() + name.size())
        return false;
    qsizetype i = 0;
    for (std::string_view part : {prefix, name}) {
        for (char c : part) {
            if (foldAsciiCase(text[i].unicode()) != foldAsciiCase(static_cast<char16_t>(c)))
                return false;
            ++i;
        }
    }
    return true;
}

const NamedColor* findByName(QStringView text) {
    for (const NamedColor& entry : NamedColors) {
        if (equalsIgnoringAsciiCase(text, {}, entry.name) ||
            equalsIgnoringAsciiCase(text, "cla", entry.name) ||
            equalsIgnoringAsciiCase(text, "cl", entry.name))
            return &entry;
    }
    return nullptr;
}

} // namespace

QString ColorToText(TAlphaColor color) {
    for (const NamedColor& entry : NamedColors) {
        if (entry.value == color)
            return QString::fromLatin1(entry.name.data(),
                                       static_cast<qsizetype>(entry.name.size()));
    }
    return u'#' + QStringLiteral("%1").arg(color, 8, 16, QLatin1Char('0')).toUpper();
}

ColorConversion ColorFromText(const QString& text) {
    // "#" and a lower-case "x" are both read as the "$" hexadecimal mark, and the failure message
    // quotes the text after that replacement.
    QString normalized = text;
    if (normalized.startsWith(u'#') || normalized.startsWith(u'x'))
        normalized[0] = u'$';

    if (const NamedColor* entry = findByName(normalized))
        return {true, entry->value, {}};
    if (const auto number = parseIntegerText(normalized))
        return {true, static_cast<TAlphaColor>(static_cast<std::uint64_t>(*number)), {}};
    return {false, 0, u'\'' + normalized + QStringLiteral("' is not a valid integer value")};
}
