// Arbitrary bytes as a settings file: every key of the program and a few odd names read without
// harm, and one key written reads back as written while every other key keeps its value.
#include "settings/inistore.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

struct Name {
    QStringView section;
    QStringView key;
};

// The eleven keys, then names that probe the reader's rules: case, blanks, brackets, "=", an
// empty name, letters outside ASCII and the Kelvin sign, which folds to "k".
constexpr std::array<Name, 21> Names{{
    {u"Config", u"Agency"},
    {u"Config", u"RDO"},
    {u"Config", u"ShowPaydays"},
    {u"Config", u"ShowDebit"},
    {u"Config", u"ShowPayPeriods"},
    {u"Config", u"PPStart"},
    {u"Colors", u"APlt"},
    {u"Colors", u"BPlt"},
    {u"Colors", u"XPlt"},
    {u"Colors", u"LdTr"},
    {u"Colors", u"BkGr"},
    {u"config", u"agency"},
    {u"CONFIG", u"rdo"},
    {u" Config ", u"Agency"},
    {u"[Config]", u"Agency"},
    {u"Config", u"Agency="},
    {u"Config", u""},
    {u"", u"Agency"},
    {u"\u00C4rger", u"Stra\u00DFe"},
    {u"Colors", u"\u212Aey"},
    {u"Extra", u"Key"},
}};

bool sameName(const Name& a, const Name& b) {
    return a.section.compare(b.section, Qt::CaseInsensitive) == 0 &&
           a.key.compare(b.key, Qt::CaseInsensitive) == 0;
}

bool isStorable(const QString& value) {
    return !value.contains(u'\r') && !value.contains(u'\n') && !value.contains(QChar(0)) &&
           QStringView(value).isValidUtf16();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    IniDocument document = IniDocument::fromBytes(bytes);
    if (document.toBytes() != bytes)
        std::abort(); // an untouched document gives back its bytes

    std::array<std::optional<QString>, Names.size()> before;
    for (std::size_t i = 0; i < Names.size(); ++i) {
        before[i] = document.value(Names[i].section, Names[i].key);
        if (before[i] && before[i]->size() > MaxIniValueLength)
            std::abort();
    }

    // The first byte picks the key, the last few bytes of the input make the value.
    const std::uint8_t pick = size > 0 ? data[0] : 0;
    const Name& written = Names[pick % Names.size()];
    const qsizetype valueLength = std::min<qsizetype>(bytes.size(), pick / 8);
    const QString value = QString::fromUtf8(bytes.last(valueLength));

    const bool accepted = document.setValue(written.section, written.key, value);
    const bool nameStorable = !written.section.isEmpty() && !written.key.isEmpty() &&
                              written.section.trimmed() == written.section &&
                              !written.key.contains(u'=') && !written.key.startsWith(u'[');
    if (accepted != (nameStorable && isStorable(value)))
        std::abort();
    if (!accepted) {
        if (document.toBytes() != bytes)
            std::abort(); // a refused write changes nothing
        return 0;
    }

    const IniDocument reread = IniDocument::fromBytes(document.toBytes());
    if (reread.value(written.section, written.key) != value)
        std::abort();
    for (std::size_t i = 0; i < Names.size(); ++i) {
        if (!sameName(Names[i], written) &&
            reread.value(Names[i].section, Names[i].key) != before[i])
            std::abort();
    }
    return 0;
}
