#include "settings/settingsfile.h"

#include "colors/colortext.h"
#include "core/asciicase.h"
#include "core/integertext.h"
#include "rotation/rotation.h"
#include "settings/datetext.h"
#include "settings/inistore.h"

#include <array>

namespace {

// One key of the file: where it lives, what a missing key reads as, and how its text maps to and
// from the settings. `load` returns false for a text it cannot use; the default text is then
// loaded instead.
struct SettingsKey {
    QLatin1StringView section;
    QLatin1StringView key;
    QLatin1StringView defaultText;
    bool (*load)(StoredSettings& values, const QString& text, const QLocale& locale);
    QString (*save)(const StoredSettings& values, const QLocale& locale);
};

constexpr QLatin1StringView ConfigSection("Config");
constexpr QLatin1StringView ColorsSection("Colors");
constexpr QLatin1StringView AgencyKey("Agency");
constexpr QLatin1StringView AssignmentKey("RDO");

template <bool StoredSettings::*Switch> constexpr SettingsKey switchKey(const char* key) {
    return {ConfigSection, QLatin1StringView(key), QLatin1StringView("0"),
            [](StoredSettings& values, const QString& text, const QLocale&) {
                const std::optional<std::int64_t> number = parseIntegerText(text);
                values.*Switch = number.has_value() && *number != 0;
                return true;
            },
            [](const StoredSettings& values, const QLocale&) {
                return QString(values.*Switch ? u'1' : u'0');
            }};
}

// A text that does not convert (only a file edited by hand holds one) gives the key's default.
template <TAlphaColor StoredSettings::*Color>
constexpr SettingsKey colorKey(const char* key, const char* defaultName) {
    return {
        ColorsSection, QLatin1StringView(key), QLatin1StringView(defaultName),
        [](StoredSettings& values, const QString& text, const QLocale&) {
            const ColorConversion color = ColorFromText(text);
            if (color.ok)
                values.*Color = color.value;
            return color.ok;
        },
        [](const StoredSettings& values, const QLocale&) { return ColorToText(values.*Color); }};
}

// In start-up order, which is also the order of Save.
constexpr std::array<SettingsKey, 11> Keys{{
    {ConfigSection, AgencyKey, QLatin1StringView(DefaultAgencyTitle),
     [](StoredSettings& values, const QString& text, const QLocale&) {
         values.agency = text.isEmpty() ? QString::fromLatin1(DefaultAgencyTitle) : text;
         return true;
     },
     [](const StoredSettings& values, const QLocale&) { return values.agency; }},
    {ConfigSection, AssignmentKey, QLatin1StringView("RDO"),
     [](StoredSettings& values, const QString& text, const QLocale&) {
         values.assignment = assignmentItems().at(assignmentIndex(text));
         return true;
     },
     [](const StoredSettings& values, const QLocale&) { return values.assignment; }},
    switchKey<&StoredSettings::showPaydays>("ShowPaydays"),
    switchKey<&StoredSettings::showDebit>("ShowDebit"),
    switchKey<&StoredSettings::showPayPeriods>("ShowPayPeriods"),
    // Written in the locale's short date form, so the default has no text of its own.
    {ConfigSection, QLatin1StringView("PPStart"), QLatin1StringView(""),
     [](StoredSettings& values, const QString& text, const QLocale& locale) {
         values.payPeriodStart =
             payPeriodStartFromText(text, locale).value_or(DefaultPayPeriodStart);
         return true;
     },
     [](const StoredSettings& values, const QLocale& locale) {
         return payPeriodStartToText(values.payPeriodStart, locale);
     }},
    colorKey<&StoredSettings::aPlt>("APlt", "Red"),
    colorKey<&StoredSettings::bPlt>("BPlt", "Blue"),
    colorKey<&StoredSettings::xPlt>("XPlt", "Fuchsia"),
    colorKey<&StoredSettings::ldTr>("LdTr", "Silver"),
    colorKey<&StoredSettings::bkGr>("BkGr", "White"),
}};

} // namespace

StoredSettings::StoredSettings() {
    for (const SettingsKey& key : Keys)
        key.load(*this, QString(key.defaultText), QLocale::c());
}

const QStringList& assignmentItems() {
    static const QStringList items{
        QStringLiteral("RDO"), QStringLiteral("A1"), QStringLiteral("A2"), QStringLiteral("A3"),
        QStringLiteral("A4"),  QStringLiteral("A5"), QStringLiteral("A6"), QStringLiteral("A7"),
        QStringLiteral("B1"),  QStringLiteral("B2"), QStringLiteral("B3"), QStringLiteral("B4"),
        QStringLiteral("B5"),  QStringLiteral("B6"), QStringLiteral("B7"),
    };
    return items;
}

int assignmentIndex(const QString& stored) {
    const QStringList& items = assignmentItems();
    for (int index = 0; index < items.size(); ++index) {
        if (equalIgnoringAsciiCase(items[index], stored))
            return index;
    }
    return 0;
}

StoredSettings loadSettings(const QString& iniPath, const QLocale& locale) {
    // One read of the file serves every key; a file that cannot be read gives the defaults.
    const IniDocument document =
        IniDocument::fromBytes(readIniFile(iniPath).value_or(QByteArray()));

    StoredSettings values;
    for (const SettingsKey& key : Keys) {
        const QString text = document.value(QString(key.section), QString(key.key))
                                 .value_or(QString(key.defaultText));
        if (!key.load(values, text, locale))
            key.load(values, QString(key.defaultText), locale);
    }
    return values;
}

bool saveSettings(const QString& iniPath, const StoredSettings& values, bool writeAgency,
                  const QLocale& locale) {
    QList<IniWrite> writes;
    for (const SettingsKey& key : Keys) {
        if (key.key == AgencyKey && !writeAgency)
            continue;
        writes.append({key.section, key.key, key.save(values, locale)});
    }
    return writeIniStrings(iniPath, writes);
}

bool saveAssignment(const QString& iniPath, const QString& assignment, const QLocale& locale) {
    StoredSettings values;
    values.assignment = assignment;
    for (const SettingsKey& key : Keys)
        if (key.key == AssignmentKey)
            return writeIniStrings(iniPath, {{key.section, key.key, key.save(values, locale)}});
    return false;
}
