// Who makes the program and where it keeps its files: the same two names in the desktop's
// configuration folder (the settings file) and data folder (the user's days), in the
// application object, and in the calendar file's product id.
#pragma once

#include <QString>

inline constexpr auto OrganizationName = "Kestrand";
inline constexpr auto ProgramFolderName = "Tourwise";

// base/Kestrand/Tourwise, with one separator between the parts.
inline QString programFolderIn(const QString& base) {
    const QString organization = QString::fromLatin1(OrganizationName);
    const QString program = QString::fromLatin1(ProgramFolderName);
    const bool separated = base.endsWith(u'/');
    return base + (separated ? QString() : QStringLiteral("/")) + organization + u'/' + program;
}
