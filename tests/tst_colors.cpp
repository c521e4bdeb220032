// The named-colour table, the colour text form and the colours derived from a background.
#include "colors/colortext.h"
#include "colors/contrast.h"
#include "colors/namedcolors.h"

#include <QSet>
#include <QtTest>

#include <climits>
#include <random>

namespace {

QString nameOf(const NamedColor& entry) {
    return QString::fromLatin1(entry.name.data(), static_cast<qsizetype>(entry.name.size()));
}

int indexOfName(const QString& name) {
    for (int i = 0; i < NamedColorCount; ++i) {
        if (nameOf(NamedColors[static_cast<std::size_t>(i)]) == name)
            return i;
    }
    return -1;
}

TAlphaColor valueOfName(const char* name) {
    const int index = indexOfName(QString::fromLatin1(name));
    if (index < 0)
        qFatal("no colour named %s", name);
    return NamedColors[static_cast<std::size_t>(index)].value;
}

} // namespace

class ColorsTest : public QObject {
    Q_OBJECT

private slots:
    void tableShape();
    void tableNamesAreUniqueAndAlphabetical();
    void knownValues_data();
    void knownValues();
    void duplicateValues();

    void colorToText_data();
    void colorToText();
    void colorFromText_data();
    void colorFromText();
    void colorFromTextFailures_data();
    void colorFromTextFailures();
    void everyNameFormIsRead();
    void roundTrip();
    void arbitraryTextNeverMisbehaves();

    void contrastColor_data();
    void contrastColor();
    void darkListByName();
    void borderColor_data();
    void borderColor();
    void saveTextColor_data();
    void saveTextColor();
    void linkColor_data();
    void linkColor();

    void pickerValue_data();
    void pickerValue();
    void pickerSelection_data();
    void pickerSelection();
};

void ColorsTest::tableShape() {
    QCOMPARE(NamedColors.size(), std::size_t{148});
    QCOMPARE(nameOf(NamedColors[147]), QStringLiteral("Null"));
    QCOMPARE(NamedColors[147].value, TAlphaColor{0x00000000});
    for (int i = 0; i < 147; ++i) {
        const NamedColor& entry = NamedColors[static_cast<std::size_t>(i)];
        const QString name = nameOf(entry);
        QVERIFY2(entry.value >> 24 == 0xFF, qPrintable(name));
        // Capital first letter, the rest lower case, letters only.
        QVERIFY2(!name.isEmpty() && name[0] >= u'A' && name[0] <= u'Z', qPrintable(name));
        for (qsizetype k = 1; k < name.size(); ++k)
            QVERIFY2(name[k] >= u'a' && name[k] <= u'z', qPrintable(name));
    }
}

void ColorsTest::tableNamesAreUniqueAndAlphabetical() {
    QSet<QString> seen;
    for (int i = 0; i < NamedColorCount; ++i) {
        const QString lower = nameOf(NamedColors[static_cast<std::size_t>(i)]).toLower();
        QVERIFY2(!seen.contains(lower), qPrintable(lower));
        seen.insert(lower);
        if (i > 0 && i < 147) {
            const QString previous = nameOf(NamedColors[static_cast<std::size_t>(i - 1)]).toLower();
            QVERIFY2(previous < lower, qPrintable(previous + QStringLiteral(" before ") + lower));
        }
    }
}

void ColorsTest::knownValues_data() {
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("name");
    QTest::addColumn<TAlphaColor>("value");
    // The rows the program uses by name, then standard values that are easy to get wrong
    // (the gray family is not monotonic: Darkgray is lighter than Gray).
    const struct {
        int index;
        const char* name;
        TAlphaColor value;
    } rows[] = {
        {0, "Aliceblue", 0xFFF0F8FF},
        {7, "Black", 0xFF000000},
        {9, "Blue", 0xFF0000FF},
        {21, "Darkblue", 0xFF00008B},
        {24, "Darkgray", 0xFFA9A9A9},
        {42, "Dimgray", 0xFF696969},
        {48, "Fuchsia", 0xFFFF00FF},
        {101, "Navy", 0xFF000080},
        {119, "Red", 0xFFFF0000},
        {128, "Silver", 0xFFC0C0C0},
        {131, "Slategray", 0xFF708090},
        {143, "White", 0xFFFFFFFF},
        {146, "Yellowgreen", 0xFF9ACD32},
        {147, "Null", 0x00000000},
        {53, "Gray", 0xFF808080},
        {54, "Green", 0xFF008000},
        {82, "Lime", 0xFF00FF00},
        {71, "Lightgray", 0xFFD3D3D3},
        {49, "Gainsboro", 0xFFDCDCDC},
        {140, "Turquoise", 0xFF40E0D0},
        {38, "Darkturquoise", 0xFF00CED1},
        {94, "Mediumturquoise", 0xFF48D1CC},
        {110, "Paleturquoise", 0xFFAFEEEE},
        {23, "Darkgoldenrod", 0xFFB8860B},
        {70, "Lightgoldenrodyellow", 0xFFFAFAD2},
        {108, "Palegoldenrod", 0xFFEEE8AA},
        {111, "Palevioletred", 0xFFDB7093},
        {95, "Mediumvioletred", 0xFFC71585},
        {93, "Mediumspringgreen", 0xFF00FA9A},
        {134, "Springgreen", 0xFF00FF7F},
        {65, "Lawngreen", 0xFF7CFC00},
        {14, "Chartreuse", 0xFF7FFF00},
        {55, "Greenyellow", 0xFFADFF2F},
        {104, "Olivedrab", 0xFF6B8E23},
        {29, "Darkolivegreen", 0xFF556B2F},
        {76, "Lightseagreen", 0xFF20B2AA},
        {91, "Mediumseagreen", 0xFF3CB371},
        {125, "Seagreen", 0xFF2E8B57},
        {34, "Darkseagreen", 0xFF8FBC8F},
        {77, "Lightskyblue", 0xFF87CEFA},
        {129, "Skyblue", 0xFF87CEEB},
        {41, "Deepskyblue", 0xFF00BFFF},
        {92, "Mediumslateblue", 0xFF7B68EE},
        {90, "Mediumpurple", 0xFF9370DB},
        {89, "Mediumorchid", 0xFFBA55D3},
        {31, "Darkorchid", 0xFF9932CC},
        {10, "Blueviolet", 0xFF8A2BE2},
        {102, "Oldlace", 0xFFFDF5E6},
        {100, "Navajowhite", 0xFFFFDEAD},
        {8, "Blanchedalmond", 0xFFFFEBCD},
        {112, "Papayawhip", 0xFFFFEFD5},
        {113, "Peachpuff", 0xFFFFDAB9},
        {121, "Royalblue", 0xFF4169E1},
        {135, "Steelblue", 0xFF4682B4},
        {120, "Rosybrown", 0xFFBC8F8F},
        {59, "Indianred", 0xFFCD5C5C},
        {114, "Peru", 0xFFCD853F},
        {136, "Tan", 0xFFD2B48C},
        {137, "Teal", 0xFF008080},
        {22, "Darkcyan", 0xFF008B8B},
        {103, "Olive", 0xFF808000},
    };
    for (const auto& row : rows)
        QTest::newRow(row.name) << row.index << QString::fromLatin1(row.name) << row.value;
}

void ColorsTest::knownValues() {
    QFETCH(int, index);
    QFETCH(QString, name);
    QFETCH(TAlphaColor, value);
    const NamedColor& entry = NamedColors[static_cast<std::size_t>(index)];
    QCOMPARE(nameOf(entry), name);
    QCOMPARE(entry.value, value);
}

void ColorsTest::duplicateValues() {
    // Exactly these nine values carry two names; any other repeat is a typo in the table.
    const QList<QPair<int, int>> expected = {{2, 20},  {24, 26}, {36, 37}, {42, 43},  {48, 85},
                                             {53, 56}, {71, 73}, {78, 79}, {131, 132}};
    QList<QPair<int, int>> found;
    for (int i = 0; i < NamedColorCount; ++i) {
        for (int k = i + 1; k < NamedColorCount; ++k) {
            if (NamedColors[static_cast<std::size_t>(i)].value ==
                NamedColors[static_cast<std::size_t>(k)].value)
                found.append({i, k});
        }
    }
    QCOMPARE(found, expected);
}

void ColorsTest::colorToText_data() {
    QTest::addColumn<TAlphaColor>("color");
    QTest::addColumn<QString>("text");
    QTest::newRow("Fuchsia, never Magenta") << TAlphaColor{0xFFFF00FF} << "Fuchsia";
    QTest::newRow("Aqua, never Cyan") << TAlphaColor{0xFF00FFFF} << "Aqua";
    QTest::newRow("Gray, never Grey") << TAlphaColor{0xFF808080} << "Gray";
    QTest::newRow("Darkslategray first") << TAlphaColor{0xFF2F4F4F} << "Darkslategray";
    QTest::newRow("Slategray first") << TAlphaColor{0xFF708090} << "Slategray";
    QTest::newRow("Red") << TAlphaColor{0xFFFF0000} << "Red";
    QTest::newRow("White") << TAlphaColor{0xFFFFFFFF} << "White";
    QTest::newRow("Null") << TAlphaColor{0x00000000} << "Null";
    QTest::newRow("unnamed, upper-case digits") << TAlphaColor{0xFF123456} << "#FF123456";
    QTest::newRow("unnamed letters upper case") << TAlphaColor{0xFFABCDEF} << "#FFABCDEF";
    QTest::newRow("translucent red") << TAlphaColor{0x80FF0000} << "#80FF0000";
    QTest::newRow("leading zeros kept") << TAlphaColor{0x00000001} << "#00000001";
    QTest::newRow("transparent red") << TAlphaColor{0x00FF0000} << "#00FF0000";
    QTest::newRow("white without alpha") << TAlphaColor{0x00FFFFFF} << "#00FFFFFF";
}

void ColorsTest::colorToText() {
    QFETCH(TAlphaColor, color);
    QFETCH(QString, text);
    QCOMPARE(ColorToText(color), text);
}

void ColorsTest::colorFromText_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<TAlphaColor>("color");
    QTest::newRow("name") << "Red" << TAlphaColor{0xFFFF0000};
    QTest::newRow("name lower case") << "red" << TAlphaColor{0xFFFF0000};
    QTest::newRow("name upper case") << "RED" << TAlphaColor{0xFFFF0000};
    QTest::newRow("cla prefix") << "claRed" << TAlphaColor{0xFFFF0000};
    QTest::newRow("cl prefix") << "clRed" << TAlphaColor{0xFFFF0000};
    QTest::newRow("prefix upper case") << "CLARED" << TAlphaColor{0xFFFF0000};
    QTest::newRow("second name") << "Magenta" << TAlphaColor{0xFFFF00FF};
    QTest::newRow("first name") << "Fuchsia" << TAlphaColor{0xFFFF00FF};
    QTest::newRow("grey spelling") << "grey" << TAlphaColor{0xFF808080};
    QTest::newRow("Null upper case") << "NULL" << TAlphaColor{0x00000000};
    QTest::newRow("clNull") << "clNull" << TAlphaColor{0x00000000};
    QTest::newRow("hash") << "#FF0000FF" << TAlphaColor{0xFF0000FF};
    QTest::newRow("lower x") << "xFF0000FF" << TAlphaColor{0xFF0000FF};
    QTest::newRow("upper X") << "XFF0000FF" << TAlphaColor{0xFF0000FF};
    QTest::newRow("dollar") << "$FF0000FF" << TAlphaColor{0xFF0000FF};
    QTest::newRow("0x") << "0xFF0000FF" << TAlphaColor{0xFF0000FF};
    QTest::newRow("0X") << "0XFF0000FF" << TAlphaColor{0xFF0000FF};
    QTest::newRow("lower-case hex digits") << "#ff0000ff" << TAlphaColor{0xFF0000FF};
    QTest::newRow("decimal") << "4278190335" << TAlphaColor{0xFF0000FF};
    QTest::newRow("negative decimal") << "-16776961" << TAlphaColor{0xFF0000FF};
    QTest::newRow("six digits: transparent red") << "#FF0000" << TAlphaColor{0x00FF0000};
    QTest::newRow("three digits: no short form") << "#FFF" << TAlphaColor{0x00000FFF};
    QTest::newRow("leading blank") << " 255" << TAlphaColor{0x000000FF};
    QTest::newRow("plus sign") << "+255" << TAlphaColor{0x000000FF};
    QTest::newRow("minus one") << "-1" << TAlphaColor{0xFFFFFFFF};
    QTest::newRow("negative hex") << "-$1" << TAlphaColor{0xFFFFFFFF};
    QTest::newRow("low 32 bits of 2^32") << "4294967296" << TAlphaColor{0x00000000};
    QTest::newRow("low 32 bits of 64-bit hex") << "#123456789ABCDEF0" << TAlphaColor{0x9ABCDEF0};
    QTest::newRow("16 hex digits, all ones") << "#FFFFFFFFFFFFFFFF" << TAlphaColor{0xFFFFFFFF};
    QTest::newRow("leading zeros do not count")
        << "#00000000000000000000FF" << TAlphaColor{0x000000FF};
    QTest::newRow("largest 64-bit") << "9223372036854775807" << TAlphaColor{0xFFFFFFFF};
    QTest::newRow("smallest 64-bit") << "-9223372036854775808" << TAlphaColor{0x00000000};
    QTest::newRow("zero") << "0" << TAlphaColor{0x00000000};
}

void ColorsTest::colorFromText() {
    QFETCH(QString, text);
    QFETCH(TAlphaColor, color);
    const ColorConversion result = ColorFromText(text);
    QVERIFY2(result.ok, qPrintable(result.message));
    QCOMPARE(result.value, color);
}

void ColorsTest::colorFromTextFailures_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("message");
    const auto row = [](const char* tag, const QString& text, const QString& shown) {
        QTest::newRow(tag) << text
                           << u'\'' + shown + QStringLiteral("' is not a valid integer value");
    };
    row("trailing blank", "255 ", "255 ");
    row("empty", "", "");
    row("name with a suffix", "Reddish", "Reddish");
    row("hash with bad digits shows the dollar", "#GG0000", "$GG0000");
    row("lower x shows the dollar", "xRed", "$Red");
    row("upper X is kept", "XRed", "XRed");
    row("hash alone", "#", "$");
    row("x alone", "x", "$");
    row("sign alone", "-", "-");
    row("mark without digits", "0x", "0x");
    row("blank before the hash", " #FF", " #FF");
    row("blank before a name", " Red", " Red");
    row("name with trailing blank", "Red ", "Red ");
    row("hash before a name", "#Red", "$Red");
    row("sign after the mark", "#-1", "$-1");
    row("two signs", "--1", "--1");
    row("17 significant hex digits", "#10000000000000000", "$10000000000000000");
    row("above 64-bit range", "9223372036854775808", "9223372036854775808");
    row("below 64-bit range", "-9223372036854775809", "-9223372036854775809");
    row("decimal point", "1.5", "1.5");
    row("prefix alone", "cla", "cla");
    row("prefix twice", "clclRed", "clclRed");
    row("Kelvin sign does not fold to k", QString::fromUtf8("Blac\u212A"),
        QString::fromUtf8("Blac\u212A"));
    row("dotless i does not fold to i", QString::fromUtf8("Wh\u0131te"),
        QString::fromUtf8("Wh\u0131te"));
    row("full-width letters", QString::fromUtf8("\uFF32ed"), QString::fromUtf8("\uFF32ed"));
    row("Arabic-Indic digits", QString::fromUtf8("\u0661\u0662"),
        QString::fromUtf8("\u0661\u0662"));
    row("embedded NUL", QStringLiteral("Red") + QChar(0), QStringLiteral("Red") + QChar(0));
    row("lone surrogate", QString(QChar(0xD800)), QString(QChar(0xD800)));
}

void ColorsTest::colorFromTextFailures() {
    QFETCH(QString, text);
    QFETCH(QString, message);
    const ColorConversion result = ColorFromText(text);
    QVERIFY(!result.ok);
    QCOMPARE(result.message, message);
}

void ColorsTest::everyNameFormIsRead() {
    for (const NamedColor& entry : NamedColors) {
        const QString name = nameOf(entry);
        for (const QString& form :
             {name, name.toLower(), name.toUpper(), QStringLiteral("cl") + name,
              QStringLiteral("cla") + name, QStringLiteral("CLa") + name.toLower()}) {
            const ColorConversion result = ColorFromText(form);
            QVERIFY2(result.ok, qPrintable(form));
            QVERIFY2(result.value == entry.value, qPrintable(form));
        }
    }
}

void ColorsTest::roundTrip() {
    QList<TAlphaColor> values = {0x00000000, 0x00000001, 0x7FFFFFFF, 0x80000000, 0xFFFFFFFE,
                                 0xFFFFFFFF, 0x00FFFFFF, 0xFF000000, 0x0000FFFF, 0xFEFF00FF};
    for (const NamedColor& entry : NamedColors)
        values.append(entry.value);
    std::mt19937 generator(20160101);
    for (int i = 0; i < 5000; ++i)
        values.append(static_cast<TAlphaColor>(generator()));
    for (TAlphaColor value : values) {
        const QString text = ColorToText(value);
        const ColorConversion result = ColorFromText(text);
        QVERIFY2(result.ok, qPrintable(text));
        QVERIFY2(result.value == value, qPrintable(text));
    }
}

void ColorsTest::arbitraryTextNeverMisbehaves() {
    // Texts built from the characters the grammar cares about, to reach every branch of both
    // readers; a failure must always quote the text with its leading "#" or "x" replaced.
    const QString alphabet = QString::fromUtf8("#x$X0-+ 19afAFgGclaRedNul\t\u212A\u00E9");
    std::mt19937 generator(42);
    for (int i = 0; i < 20000; ++i) {
        QString text;
        const int length = static_cast<int>(generator() % 24);
        for (int k = 0; k < length; ++k)
            text.append(alphabet[static_cast<qsizetype>(generator() % alphabet.size())]);
        const ColorConversion result = ColorFromText(text);
        if (result.ok)
            continue;
        QString shown = text;
        if (shown.startsWith(u'#') || shown.startsWith(u'x'))
            shown[0] = u'$';
        QCOMPARE(result.message, u'\'' + shown + QStringLiteral("' is not a valid integer value"));
    }
    const QString longDigits(100000, u'9');
    QVERIFY(!ColorFromText(longDigits).ok);
    const QString longHex = u'#' + QString(100000, u'0') + u'1';
    QCOMPARE(ColorFromText(longHex).value, TAlphaColor{1});
}

void ColorsTest::contrastColor_data() {
    QTest::addColumn<TAlphaColor>("color");
    QTest::addColumn<TAlphaColor>("contrast");
    const TAlphaColor white = Colors::White;
    const TAlphaColor black = Colors::Black;
    QTest::newRow("Red") << valueOfName("Red") << white;
    QTest::newRow("Crimson") << valueOfName("Crimson") << white;
    QTest::newRow("Navy") << valueOfName("Navy") << white;
    QTest::newRow("Blue") << valueOfName("Blue") << white;
    QTest::newRow("Dimgray") << valueOfName("Dimgray") << white;
    QTest::newRow("Dimgrey") << valueOfName("Dimgrey") << white;
    QTest::newRow("Black") << valueOfName("Black") << white;
    QTest::newRow("Darkcyan") << valueOfName("Darkcyan") << black;
    QTest::newRow("Teal") << valueOfName("Teal") << black;
    QTest::newRow("Gray") << valueOfName("Gray") << black;
    QTest::newRow("Silver") << valueOfName("Silver") << black;
    QTest::newRow("Yellow") << valueOfName("Yellow") << black;
    QTest::newRow("White") << valueOfName("White") << black;
    QTest::newRow("Null") << TAlphaColor{0x00000000} << black;
    QTest::newRow("half-transparent black") << TAlphaColor{0x80000000} << black;
    QTest::newRow("Navy with another alpha") << TAlphaColor{0xFE000080} << black;
    QTest::newRow("transparent red") << TAlphaColor{0x00FF0000} << black;
    QTest::newRow("unnamed near-black") << TAlphaColor{0xFF000001} << black;
}

void ColorsTest::contrastColor() {
    QFETCH(TAlphaColor, color);
    QFETCH(TAlphaColor, contrast);
    QCOMPARE(ContrastColor(color), contrast);
}

void ColorsTest::darkListByName() {
    // The names are typed here independently of the values in the list.
    const QSet<QString> darkNames = {
        "Black",           "Navy",          "Darkblue",     "Mediumblue",     "Blue",
        "Darkgreen",       "Green",         "Midnightblue", "Forestgreen",    "Darkslategray",
        "Darkslategrey",   "Darkslateblue", "Indigo",       "Darkolivegreen", "Dimgray",
        "Dimgrey",         "Maroon",        "Purple",       "Darkred",        "Darkmagenta",
        "Saddlebrown",     "Darkviolet",    "Sienna",       "Brown",          "Firebrick",
        "Mediumvioletred", "Crimson",       "Red"};
    QCOMPARE(darkNames.size(), 28);
    for (const NamedColor& entry : NamedColors) {
        const QString name = nameOf(entry);
        const TAlphaColor expected = darkNames.contains(name) ? Colors::White : Colors::Black;
        QVERIFY2(ContrastColor(entry.value) == expected, qPrintable(name));
    }
}

void ColorsTest::borderColor_data() {
    QTest::addColumn<TAlphaColor>("fill");
    QTest::addColumn<TAlphaColor>("border");
    QTest::newRow("Slategray") << valueOfName("Slategray") << Colors::Black;
    QTest::newRow("Slategrey") << valueOfName("Slategrey") << Colors::Black;
    QTest::newRow("Darkgray") << valueOfName("Darkgray") << Colors::Black;
    QTest::newRow("Darkgrey") << valueOfName("Darkgrey") << Colors::Black;
    QTest::newRow("Blue") << valueOfName("Blue") << Colors::Black;
    QTest::newRow("White") << valueOfName("White") << Colors::Slategray;
    QTest::newRow("Navy") << valueOfName("Navy") << Colors::Slategray;
    QTest::newRow("Darkblue") << valueOfName("Darkblue") << Colors::Slategray;
    QTest::newRow("Gray") << valueOfName("Gray") << Colors::Slategray;
    QTest::newRow("Null") << Colors::Null << Colors::Slategray;
    QTest::newRow("translucent Blue") << TAlphaColor{0x800000FF} << Colors::Slategray;
}

void ColorsTest::borderColor() {
    QFETCH(TAlphaColor, fill);
    QFETCH(TAlphaColor, border);
    QCOMPARE(BorderColorFor(fill), border);
}

void ColorsTest::saveTextColor_data() {
    QTest::addColumn<TAlphaColor>("page");
    QTest::addColumn<TAlphaColor>("text");
    QTest::newRow("White page") << valueOfName("White") << Colors::Navy;
    QTest::newRow("Navy page") << valueOfName("Navy") << Colors::Blue;
    QTest::newRow("Red page") << valueOfName("Red") << Colors::Blue;
    QTest::newRow("Gray page") << valueOfName("Gray") << Colors::Navy;
    QTest::newRow("Null page") << Colors::Null << Colors::Navy;
}

void ColorsTest::saveTextColor() {
    QFETCH(TAlphaColor, page);
    QFETCH(TAlphaColor, text);
    QCOMPARE(SaveTextColorFor(page), text);
}

void ColorsTest::linkColor_data() {
    QTest::addColumn<TAlphaColor>("page");
    QTest::addColumn<TAlphaColor>("link");
    QTest::newRow("Blue page") << valueOfName("Blue") << Colors::White;
    QTest::newRow("Darkblue page") << valueOfName("Darkblue") << Colors::White;
    QTest::newRow("Navy page") << valueOfName("Navy") << Colors::Blue;
    QTest::newRow("Black page") << valueOfName("Black") << Colors::Blue;
    QTest::newRow("White page") << valueOfName("White") << Colors::Blue;
    QTest::newRow("Mediumblue page") << valueOfName("Mediumblue") << Colors::Blue;
    QTest::newRow("translucent Blue page") << TAlphaColor{0x800000FF} << Colors::Blue;
}

void ColorsTest::linkColor() {
    QFETCH(TAlphaColor, page);
    QFETCH(TAlphaColor, link);
    QCOMPARE(LinkColorFor(page), link);
}

void ColorsTest::pickerValue_data() {
    QTest::addColumn<int>("index");
    QTest::addColumn<TAlphaColor>("value");
    QTest::newRow("first item") << 0 << TAlphaColor{0xFFF0F8FF};
    QTest::newRow("Fuchsia") << 48 << Colors::Fuchsia;
    QTest::newRow("Magenta") << 85 << Colors::Fuchsia;
    QTest::newRow("Null item") << 147 << Colors::Null;
    QTest::newRow("nothing selected") << -1 << Colors::Null;
    QTest::newRow("past the end") << 148 << Colors::Null;
    QTest::newRow("INT_MIN") << INT_MIN << Colors::Null;
    QTest::newRow("INT_MAX") << INT_MAX << Colors::Null;
}

void ColorsTest::pickerValue() {
    QFETCH(int, index);
    QFETCH(TAlphaColor, value);
    QCOMPARE(PickerValue(index), value);
}

void ColorsTest::pickerSelection_data() {
    QTest::addColumn<TAlphaColor>("color");
    QTest::addColumn<int>("current");
    QTest::addColumn<int>("selected");
    QTest::newRow("Fuchsia value") << Colors::Fuchsia << 147 << 48;
    QTest::newRow("Fuchsia while Magenta chosen") << Colors::Fuchsia << 85 << 48;
    QTest::newRow("Cyan value selects Aqua") << TAlphaColor{0xFF00FFFF} << 20 << 2;
    QTest::newRow("unnamed value keeps Red") << TAlphaColor{0xFF123456} << 119 << 119;
    QTest::newRow("unnamed value before any choice") << TAlphaColor{0xFF123456} << 147 << 147;
    QTest::newRow("unnamed value with nothing selected") << TAlphaColor{0xFF123456} << -1 << -1;
    QTest::newRow("Null value") << Colors::Null << 9 << 147;
    QTest::newRow("translucent Red is not Red") << TAlphaColor{0x80FF0000} << 0 << 0;
}

void ColorsTest::pickerSelection() {
    QFETCH(TAlphaColor, color);
    QFETCH(int, current);
    QFETCH(int, selected);
    QCOMPARE(PickerSelection(color, current), selected);
}

QTEST_GUILESS_MAIN(ColorsTest)
#include "tst_colors.moc"
