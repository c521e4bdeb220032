#include "settings/settingslocation.h"

#include <QDir>
#include <QFileInfo>

namespace {

// The separator goes in unless the left part already ends with one.
QString joinPath(const QString& left, const QString& right) {
    if (left.endsWith(u'/') || left.endsWith(QDir::separator()))
        return left + right;
    return left + u'/' + right;
}

// A plain file of that name in the way makes the creation fail.
bool isOrBecomesFolder(const QString& path) {
    return QFileInfo(path).isDir() || QDir().mkpath(path);
}

QString preferredFolder(const QString& base) {
    return joinPath(joinPath(base, QStringLiteral("Kestrand")), QStringLiteral("Tourwise"));
}

QString fallbackFolder(const QString& base) {
    return joinPath(base, QStringLiteral("Tourwise"));
}

} // namespace

QString resolveSettingsFolder(const QString& base) {
    const QString preferred = preferredFolder(base);
    if (isOrBecomesFolder(preferred))
        return preferred;
    const QString fallback = fallbackFolder(base);
    if (isOrBecomesFolder(fallback))
        return fallback;
    return base;
}

QString findSettingsFolder(const QString& base) {
    const QString preferred = preferredFolder(base);
    const QString fallback = fallbackFolder(base);
    if (!QFileInfo(preferred).isDir() && QFileInfo(fallback).isDir())
        return fallback;
    return preferred;
}

QString settingsFilePath(const QString& folder) {
    return joinPath(folder, QString::fromLatin1(SettingsFileName));
}
