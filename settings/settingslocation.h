// Where the settings file lives inside the per-user configuration folder.
#pragma once

#include <QString>

inline constexpr auto SettingsFileName = "Tourwise.ini";

// base/Kestrand/Tourwise (created with its parents when missing), else base/Tourwise (likewise),
// else base itself, unchanged.
QString resolveSettingsFolder(const QString& base);

// The folder that resolveSettingsFolder would choose, found without creating anything: for readers
// that must leave the disk as it is. A folder that does not exist yet holds no settings file.
QString findSettingsFolder(const QString& base);

// The folder joined with "Tourwise.ini".
QString settingsFilePath(const QString& folder);
