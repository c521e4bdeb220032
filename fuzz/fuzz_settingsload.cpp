// Arbitrary bytes as the settings file on disk: the load always gives a state the window can
// show. Colours are the stored text converted or the key's default, the assignment is an item of
// the list, the pay-period start a whole day, the title never empty.
#include "colors/colortext.h"
#include "settings/inistore.h"
#include "settings/settingsfile.h"

#include <QDir>
#include <QFile>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <unistd.h>

namespace {

// One folder per fuzzing process, made once; every run overwrites the one file in it.
QString& filePath() {
    static QString path;
    return path;
}

void removeFolder() {
    QDir(QFileInfo(filePath()).path()).removeRecursively();
}

bool colorIsValid(const IniDocument& document, QStringView key, TAlphaColor loaded,
                  TAlphaColor defaultColor) {
    const std::optional<QString> text = document.value(u"Colors", key);
    if (!text)
        return loaded == defaultColor;
    const ColorConversion converted = ColorFromText(*text);
    return loaded == (converted.ok ? converted.value : defaultColor);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    const QString folder = QDir::tempPath() + QStringLiteral("/tourwise-fuzz-%1").arg(getpid());
    QDir().mkpath(folder);
    filePath() = folder + QStringLiteral("/Tourwise.ini");
    std::atexit(removeFolder);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    {
        QFile file(filePath());
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
            file.write(bytes) != bytes.size())
            std::abort(); // the harness itself is broken, not the code under test
    }

    static const QLocale locale(QLocale::English, QLocale::UnitedStates);
    const StoredSettings loaded = loadSettings(filePath(), locale);
    const StoredSettings defaults;
    const IniDocument document = IniDocument::fromBytes(bytes);

    const bool valid = !loaded.agency.isEmpty() && loaded.agency.size() <= MaxIniValueLength &&
                       assignmentItems().contains(loaded.assignment) &&
                       std::isfinite(loaded.payPeriodStart) &&
                       std::floor(loaded.payPeriodStart) == loaded.payPeriodStart &&
                       colorIsValid(document, u"APlt", loaded.aPlt, defaults.aPlt) &&
                       colorIsValid(document, u"BPlt", loaded.bPlt, defaults.bPlt) &&
                       colorIsValid(document, u"XPlt", loaded.xPlt, defaults.xPlt) &&
                       colorIsValid(document, u"LdTr", loaded.ldTr, defaults.ldTr) &&
                       colorIsValid(document, u"BkGr", loaded.bkGr, defaults.bkGr);
    if (!valid)
        std::abort();
    return 0;
}
