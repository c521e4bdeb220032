#include "export/outputfile.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

#include <cstdio>

QString UnableToWriteText(const QString& target, const QString& reason) {
    const QString name = target == QLatin1StringView(StandardOutputName)
                             ? QStringLiteral("standard output")
                             : QDir::toNativeSeparators(target);
    return QStringLiteral("Unable to write to %1: %2").arg(name, reason);
}

bool WriteOutput(const QString& target, const QByteArray& bytes, QString* error) {
    if (target == QLatin1StringView(StandardOutputName)) {
        QFile out;
        const bool written = out.open(stdout, QIODevice::WriteOnly) &&
                             out.write(bytes) == bytes.size() && out.flush();
        if (!written && error)
            *error = UnableToWriteText(target, out.errorString());
        return written;
    }
    QSaveFile file(target);
    const bool written =
        file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
    if (!written && error)
        *error = UnableToWriteText(target, file.errorString());
    return written;
}
