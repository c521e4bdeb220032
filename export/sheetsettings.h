// A sheet from the stored settings, as the command line prints it.
#pragma once

#include "export/sheet.h"
#include "settings/settingsfile.h"

// The year (or month) of `made`, the stored assignment, title, switches and colours.
SheetRequest SheetRequestFromSettings(const StoredSettings& settings, const QLocale& locale,
                                      DateSerial made);

// The program's version as the footer prints it.
QString SheetProgramVersion();
