// The password of a calendar server account in the desktop's keyring (the Secret Service or
// KWallet, through QtKeychain), never in a file of ours. Every call returns at once; the result
// comes by the request's finished() signal, after which the request deletes itself.
#pragma once

#include <QObject>
#include <QString>
#include <QUrl>

struct KeyringResult {
    bool ok = false;
    bool notFound = false; // read or delete of a password that is not there; not ok
    QString password;      // what was read
    QString error;         // one sentence when not ok
};

class KeyringRequest : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;

signals:
    void finished(const KeyringResult& result);
};

class Keyring {
public:
    // The keyring entry of an account: one per server address and user.
    static QString entryKey(const QUrl& server, const QString& user);

    // `parent` is the request's parent until it finishes (it goes when the parent goes).
    static KeyringRequest* readPassword(const QUrl& server, const QString& user,
                                        QObject* parent = nullptr);
    static KeyringRequest* writePassword(const QUrl& server, const QString& user,
                                         const QString& password, QObject* parent = nullptr);
    static KeyringRequest* deletePassword(const QUrl& server, const QString& user,
                                          QObject* parent = nullptr);
};
