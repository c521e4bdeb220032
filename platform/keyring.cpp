#include "platform/keyring.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>

#include <qt6keychain/keychain.h>

namespace {

// What the keyring shows a person who looks at it.
const QString Service = QStringLiteral("Tourwise calendar server");

// The server's address as the user would say it: scheme, host, port and path, no user name.
QString serverText(const QUrl& server) {
    return server
        .adjusted(QUrl::RemoveUserInfo | QUrl::RemoveQuery | QUrl::RemoveFragment |
                  QUrl::StripTrailingSlash)
        .toString();
}

QString sentence(QKeychain::Error error, const QString& detail, const QString& user,
                 const QUrl& server) {
    switch (error) {
    case QKeychain::NoBackendAvailable:
        return QStringLiteral("No keyring is running on this desktop (%1), so Tourwise cannot "
                              "keep the password; start the desktop's keyring (GNOME Keyring, "
                              "KWallet), or give the password with --password-file.")
            .arg(detail);
    case QKeychain::AccessDeniedByUser:
    case QKeychain::AccessDenied:
        return QStringLiteral("The keyring did not let Tourwise use the password of %1 on %2 "
                              "(%3).")
            .arg(user, serverText(server), detail);
    case QKeychain::EntryNotFound:
        return QStringLiteral("The keyring holds no password of %1 on %2.")
            .arg(user, serverText(server));
    default:
        return QStringLiteral("The keyring failed with the password of %1 on %2 (%3).")
            .arg(user, serverText(server), detail);
    }
}

// Without a D-Bus session, or with one where no keyring runs or can be started, QtKeychain
// reports errors of other kinds ("Could not connect …"); the bus itself says which it is.
bool meansNoKeyring(const QKeychain::Job& job) {
    if (job.error() == QKeychain::NoBackendAvailable)
        return true;
    if (job.error() != QKeychain::OtherError)
        return false;
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return true;
    const QStringList names = bus.interface()->registeredServiceNames().value() +
                              bus.interface()
                                  ->call(QStringLiteral("ListActivatableNames"))
                                  .arguments()
                                  .value(0)
                                  .toStringList();
    for (const QString& name : names)
        if (name == QLatin1StringView("org.freedesktop.secrets") ||
            name.startsWith(QLatin1StringView("org.kde.kwalletd")))
            return false;
    return true;
}

template <typename Job>
KeyringRequest* run(Job* job, const QUrl& server, const QString& user, QObject* parent) {
    auto* request = new KeyringRequest(parent);
    job->setParent(request);
    job->setAutoDelete(false);
    job->setKey(Keyring::entryKey(server, user));
    // Never a plain file in place of the keyring.
    job->setInsecureFallback(false);
    QObject::connect(job, &QKeychain::Job::finished, request, [=] {
        KeyringResult result;
        result.ok = job->error() == QKeychain::NoError;
        result.notFound = job->error() == QKeychain::EntryNotFound;
        if constexpr (std::is_same_v<Job, QKeychain::ReadPasswordJob>)
            if (result.ok)
                result.password = job->textData();
        if (!result.ok)
            result.error =
                sentence(meansNoKeyring(*job) ? QKeychain::NoBackendAvailable : job->error(),
                         job->errorString(), user, server);
        request->deleteLater();
        emit request->finished(result);
    });
    job->start();
    return request;
}

} // namespace

QString Keyring::entryKey(const QUrl& server, const QString& user) {
    return user + u'@' + serverText(server);
}

KeyringRequest* Keyring::readPassword(const QUrl& server, const QString& user, QObject* parent) {
    return run(new QKeychain::ReadPasswordJob(Service), server, user, parent);
}

KeyringRequest* Keyring::writePassword(const QUrl& server, const QString& user,
                                       const QString& password, QObject* parent) {
    auto* job = new QKeychain::WritePasswordJob(Service);
    job->setTextData(password);
    return run(job, server, user, parent);
}

KeyringRequest* Keyring::deletePassword(const QUrl& server, const QString& user, QObject* parent) {
    return run(new QKeychain::DeletePasswordJob(Service), server, user, parent);
}
