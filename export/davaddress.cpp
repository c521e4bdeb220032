#include "export/davaddress.h"

#include <QHostAddress>

namespace {

int effectivePort(const QUrl& url) {
    return url.port(
        url.scheme().compare(QLatin1StringView("https"), Qt::CaseInsensitive) == 0 ? 443 : 80);
}

} // namespace

bool IsLoopbackHost(const QString& host) {
    if (host.compare(QLatin1StringView("localhost"), Qt::CaseInsensitive) == 0)
        return true;
    const QHostAddress address(host);
    return !address.isNull() && address.isLoopback();
}

QString RefusedAddress(const QUrl& url) {
    if (!url.userInfo().isEmpty())
        return QStringLiteral("Give the user name and password apart from the server's address: "
                              "Tourwise does not take them inside an address.");
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || url.host().isEmpty() ||
        (scheme != QLatin1StringView("https") && scheme != QLatin1StringView("http")))
        return QStringLiteral("%1 is not the address of a calendar server (it should start "
                              "with https://).")
            .arg(url.toString(QUrl::RemoveUserInfo));
    if (scheme == QLatin1StringView("http") && !IsLoopbackHost(url.host()))
        return QStringLiteral("Tourwise does not send a password to %1 over plain http://, where "
                              "anyone on the way could read it; use the server's https:// "
                              "address.")
            .arg(url.host());
    return {};
}

QString ShownAddress(const QUrl& url) {
    return url.toDisplayString(QUrl::RemoveUserInfo);
}

bool SameOrigin(const QUrl& left, const QUrl& right) {
    return left.scheme().compare(right.scheme(), Qt::CaseInsensitive) == 0 &&
           left.host().compare(right.host(), Qt::CaseInsensitive) == 0 &&
           effectivePort(left) == effectivePort(right);
}

QString ShownHost(const QUrl& url) {
    return url.port() < 0 ? url.host() : url.host() + u':' + QString::number(url.port());
}

QUrl CollectionUrl(const QUrl& url) {
    QUrl collection = url.adjusted(QUrl::RemoveUserInfo | QUrl::RemoveQuery | QUrl::RemoveFragment |
                                   QUrl::NormalizePathSegments);
    collection.setHost(collection.host().toLower());
    collection.setScheme(collection.scheme().toLower());
    const QString path = collection.path(QUrl::FullyEncoded);
    if (!path.endsWith(u'/'))
        collection.setPath(path + u'/', QUrl::StrictMode);
    return collection;
}

QString CalendarKey(const QUrl& url) {
    return CollectionUrl(url).toString(QUrl::FullyEncoded);
}

bool SameResource(const QUrl& left, const QUrl& right) {
    const auto path = [](const QUrl& url) {
        QString decoded = url.path(QUrl::FullyDecoded);
        while (decoded.size() > 1 && decoded.endsWith(u'/'))
            decoded.chop(1);
        return decoded;
    };
    return left.host().compare(right.host(), Qt::CaseInsensitive) == 0 &&
           effectivePort(left) == effectivePort(right) && path(left) == path(right);
}
