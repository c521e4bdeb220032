// Where the command line puts what it writes: a file that appears complete or not at all, or
// standard output for "-". One wording of a failed write for every kind of file.
#pragma once

#include <QByteArray>
#include <QString>

inline constexpr auto StandardOutputName = "-";

// "Unable to write to <file>: <reason>", the file being "standard output" for "-".
QString UnableToWriteText(const QString& target, const QString& reason);

// False with `error` set (one line) when the bytes could not all be written.
bool WriteOutput(const QString& target, const QByteArray& bytes, QString* error);
