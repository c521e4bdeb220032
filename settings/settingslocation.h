// Where the settings file lives inside the per-user configuration folder.
#pragma once

#include <QString>

inline constexpr auto SettingsFileName = "Tourwise.ini";

// base/Kestrand/Tourwise (created with its parents when missing), else base/Tourwise (likewise),
// else base itself, unchanged.
QString resolveSettingsFolder(const QString& base);

// The folder joined with "Tourwise.ini".
QString settingsFilePath(const QString& folder);
