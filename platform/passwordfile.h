// The password for scripts (--password-file FILE): the first line of a file that only its owner
// may read or write, as ssh refuses a private key that others can read. Every refusal is one
// sentence that names the file and never its content.
#pragma once

#include <QString>

struct PasswordFileResult {
    bool ok = false;
    QString password; // the first line without its line break
    QString error;
};

inline constexpr qint64 MaxPasswordFileBytes = 4096;

PasswordFileResult ReadPasswordFile(const QString& path);
