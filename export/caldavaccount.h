// Who publishes and how far Tourwise trusts and waits for a calendar server: the account, the
// extra certificate authority, the time limit and the largest reply read.
#pragma once

#include <QList>
#include <QSslCertificate>
#include <QString>

inline constexpr int DefaultCalDavTimeoutMs = 30000;
inline constexpr qint64 DefaultMaxReplyBytes = 16 * 1024 * 1024;

struct CalDavAccount {
    QString user;
    // From the keyring or a password file, given by the caller; sent only to the host of the
    // address the user gave, never written to a file, a log, a message or a URL.
    QString password;
    // Trusted besides the system's authorities (--ca-file).
    QList<QSslCertificate> extraAuthorities;
    // No request, with its redirects, takes longer than this.
    int timeoutMs = DefaultCalDavTimeoutMs;
    qint64 maxReplyBytes = DefaultMaxReplyBytes;
};

// The certificates of a PEM file of at most 1 MiB, or none with `error` set to one sentence
// that names the file.
QList<QSslCertificate> ReadCertificateAuthority(const QString& path, QString* error);
