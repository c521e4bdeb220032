// Arbitrary text through ColorFromText: either a colour that survives the round trip through
// ColorToText, or the failure message quoting the text as the conversion saw it.
#include "colors/colortext.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString text =
        QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const ColorConversion result = ColorFromText(text);

    if (result.ok) {
        const QString written = ColorToText(result.value);
        const ColorConversion back = ColorFromText(written);
        if (!back.ok || back.value != result.value || ColorToText(back.value) != written)
            std::abort();
        return 0;
    }

    // "#" and a lower-case "x" in front read as "$", and the message quotes that form.
    QString seen = text;
    if (seen.startsWith(u'#') || seen.startsWith(u'x'))
        seen[0] = u'$';
    if (result.message != u'\'' + seen + QStringLiteral("' is not a valid integer value"))
        std::abort();
    return 0;
}
