// One request to a calendar server and its reply, with the rules every request keeps: the
// account's password only to the address's own server (a redirect elsewhere is refused, not
// followed), certificates verified against the system's authorities and the account's extra one,
// one time limit over the request and its redirects, and a cap on the reply's size.
#pragma once

#include "export/caldavaccount.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QPair>
#include <QPointer>
#include <QTimer>
#include <QUrl>

#include <functional>

class QNetworkAccessManager;
class QNetworkReply;

// Why an exchange or its status failed, for a caller that decides whether to retry.
enum class DavFailure {
    None,
    WrongPassword,   // 401
    NoPermission,    // 403
    NotFound,        // 404, 410
    ServerError,     // 5xx
    Refused,         // another 4xx, or a status a step does not expect
    Timeout,         // no complete reply within the time limit
    Unreachable,     // no server there: refused, no such host
    ConnectionLost,  // the connection ended before the reply did
    NotXml,          // not the WebDAV XML a calendar server sends
    TooLarge,        // the reply is over the cap
    Certificate,     // the server's certificate is not trusted
    InsecureAddress, // plain http:// off this machine, or a password in the address
    Redirect,        // sent on to another server, or round in circles
    Ledger,          // what Tourwise remembers could not be read or written
    Invalid,         // the caller's own input (two events with one UID)
};

struct DavRequest {
    QByteArray method; // PROPFIND, REPORT, MKCALENDAR, PUT, DELETE, GET
    QUrl url;
    QByteArray body;
    QByteArray contentType;
    QList<QPair<QByteArray, QByteArray>> headers; // Depth, If-Match, If-None-Match
};

struct DavResponse {
    int status = 0; // the HTTP status; 0 when no reply came
    QByteArray body;
    QByteArray etag; // the ETag header as sent, quotes included
    QUrl url;        // where the reply came from, after redirects on the same server
    DavFailure failure = DavFailure::None; // of the exchange itself, not of the status
    QString error;                         // one sentence when failure is set
};

class DavExchange : public QObject {
    Q_OBJECT

public:
    using Done = std::function<void(const DavResponse&)>;

    // `done` runs once, later, from the event loop; never once the exchange is gone. The
    // exchange deletes itself (later) once it has run.
    DavExchange(QNetworkAccessManager* network, const CalDavAccount& account, DavRequest request,
                Done done, QObject* parent = nullptr);
    ~DavExchange() override;

    void start();

signals:
    // Each HTTP request as it goes out, redirects included.
    void requestSent();

private:
    void send(const QUrl& url);
    void onReadyRead();
    void onFinished();
    void finish(DavResponse response);
    void failTransfer(DavFailure failure, const QString& error);
    QString transportError() const;

    QNetworkAccessManager* m_network;
    CalDavAccount m_account;
    DavRequest m_request;
    Done m_done;
    QPointer<QNetworkReply> m_reply;
    QTimer m_deadline;
    QUrl m_current;
    QByteArray m_body;
    QStringList m_sslErrors;
    DavFailure m_abortReason = DavFailure::None;
    QString m_abortError;
    int m_sent = 0;
    bool m_finished = false;
};

// The sentence for a status that is a failure, naming what was asked of which address; None
// and empty for 2xx.
DavFailure FailureOfStatus(int status);
QString StatusSentence(int status, const QUrl& url, const QString& user);
