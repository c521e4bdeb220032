// The per-user configuration folder of the desktop: $XDG_CONFIG_HOME or ~/.config on Linux, the
// roaming application-data folder on Windows, Application Support on macOS.
#pragma once

#include <QString>

QString userConfigFolder();
