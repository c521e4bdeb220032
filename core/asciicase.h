// Case folding of A-Z alone, as the classic readers of the settings file and of colour names do
// it: a full Unicode fold would let the Kelvin sign match "k" or a dotless i match "i".
#pragma once

#include <QStringView>

constexpr char16_t foldAsciiCase(char16_t unit) {
    return unit >= u'A' && unit <= u'Z' ? static_cast<char16_t>(unit - u'A' + u'a') : unit;
}

inline bool equalIgnoringAsciiCase(QStringView a, QStringView b) {
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        if (foldAsciiCase(a[i].unicode()) != foldAsciiCase(b[i].unicode()))
            return false;
    }
    return true;
}
