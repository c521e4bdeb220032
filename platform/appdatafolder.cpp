#include "platform/appdatafolder.h"

#include <QDir>
#include <QStandardPaths>

QString userConfigFolder() {
#if defined(Q_OS_WIN)
    QString folder = qEnvironmentVariable("APPDATA"); // the roaming application-data folder
#elif defined(Q_OS_MACOS)
    QString folder = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
#else
    QString folder = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
#endif
    if (folder.isEmpty())
        folder = QDir::homePath();
    return QDir::cleanPath(folder);
}
