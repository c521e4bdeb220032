// The eleven keys of the settings file: their sections, defaults and text forms, the load at
// start-up and the write on Save.
#pragma once

#include "colors/namedcolors.h"
#include "core/dateserial.h"

#include <QLocale>
#include <QString>
#include <QStringList>

inline constexpr auto DefaultAgencyTitle = "Velmora Fire";

// The items of the assignment list: "RDO" (no sub-group), "A1" ... "A7", "B1" ... "B7".
const QStringList& assignmentItems();

// The item that a stored assignment selects: the first item equal to it with A-Z compared without
// case; "RDO", an empty text or an unknown text select item 0 ("RDO").
int assignmentIndex(const QString& stored);

struct StoredSettings {
    // Every key at its default: what a file without that key reads as. The defaults are kept in
    // the table of keys and nowhere else.
    StoredSettings();

    QString agency; // an empty stored title becomes the default on load
    QString assignment;
    bool showPaydays{};
    bool showDebit{};
    bool showPayPeriods{};
    DateSerial payPeriodStart{};
    TAlphaColor aPlt{};
    TAlphaColor bPlt{};
    TAlphaColor xPlt{};
    TAlphaColor ldTr{};
    TAlphaColor bkGr{};

    friend bool operator==(const StoredSettings&, const StoredSettings&) = default;
};

// Reads every key in start-up order. A missing file, key or unreadable value gives the default;
// a colour text that does not convert gives that key's default colour. Never fails.
StoredSettings loadSettings(const QString& iniPath, const QLocale& locale);

// Writes the keys in Save order ("Agency" only when writeAgency) as one atomic replacement of the
// file. Returns false, with the file unchanged, when the write is refused.
bool saveSettings(const QString& iniPath, const StoredSettings& values, bool writeAgency,
                  const QLocale& locale);

// Writes the assignment alone, as Save writes it, leaving every other line of the file as it
// is: the command line's change of assignment and its undo. False, with the file unchanged,
// when the write is refused.
bool saveAssignment(const QString& iniPath, const QString& assignment, const QLocale& locale);
