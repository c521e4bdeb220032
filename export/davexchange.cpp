#include "export/davexchange.h"

#include "export/davaddress.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QSslConfiguration>

namespace {

constexpr int MaxRedirects = 5;

bool isRedirect(int status) {
    return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

QString seconds(int milliseconds) {
    const int whole = (milliseconds + 999) / 1000;
    return whole == 1 ? QStringLiteral("1 second") : QStringLiteral("%1 seconds").arg(whole);
}

QString megabytes(qint64 bytes) {
    return QStringLiteral("%1 MiB").arg(static_cast<double>(bytes) / (1024.0 * 1024.0), 0, 'g', 3);
}

} // namespace

DavFailure FailureOfStatus(int status) {
    if (status >= 200 && status < 300)
        return DavFailure::None;
    switch (status) {
    case 401:
        return DavFailure::WrongPassword;
    case 403:
        return DavFailure::NoPermission;
    case 404:
    case 410:
        return DavFailure::NotFound;
    default:
        return status >= 500 ? DavFailure::ServerError : DavFailure::Refused;
    }
}

QString StatusSentence(int status, const QUrl& url, const QString& user) {
    const QString host = ShownHost(url);
    switch (FailureOfStatus(status)) {
    case DavFailure::None:
        return {};
    case DavFailure::WrongPassword:
        return QStringLiteral("The server at %1 did not accept the user name %2 with that "
                              "password (401); check both and try again.")
            .arg(host, user.isEmpty() ? QStringLiteral("(none)") : user);
    case DavFailure::NoPermission:
        return QStringLiteral("The server at %1 does not allow %2 to change %3 (403 "
                              "Forbidden); ask its administrator, or choose another calendar.")
            .arg(host, user, ShownAddress(url));
    case DavFailure::NotFound:
        return QStringLiteral("There is nothing at %1 (%2 Not Found); check the address, or "
                              "look for the calendars again.")
            .arg(ShownAddress(url))
            .arg(status);
    case DavFailure::ServerError:
        return QStringLiteral("The server at %1 failed with an error of its own (%2); try again "
                              "later.")
            .arg(host)
            .arg(status);
    default:
        return QStringLiteral("The server at %1 refused the request for %2 (status %3).")
            .arg(host, ShownAddress(url))
            .arg(status);
    }
}

DavExchange::DavExchange(QNetworkAccessManager* network, const CalDavAccount& account,
                         DavRequest request, Done done, QObject* parent)
    : QObject(parent), m_network(network), m_account(account), m_request(std::move(request)),
      m_done(std::move(done)) {
    m_deadline.setSingleShot(true);
    connect(&m_deadline, &QTimer::timeout, this, [this] {
        failTransfer(DavFailure::Timeout,
                     QStringLiteral("The server at %1 did not answer within %2; check that it is "
                                    "running and try again later.")
                         .arg(ShownHost(m_current), seconds(m_account.timeoutMs)));
    });
}

DavExchange::~DavExchange() {
    if (m_reply) {
        m_reply->disconnect(this);
        m_reply->abort();
        m_reply->deleteLater();
    }
}

void DavExchange::start() {
    m_deadline.start(m_account.timeoutMs);
    if (const QString refused = RefusedAddress(m_request.url); !refused.isEmpty()) {
        m_current = m_request.url;
        // Later, as every result: a caller never sees its callback run inside its own call.
        QTimer::singleShot(0, this, [this, refused] {
            DavResponse response;
            response.failure = DavFailure::InsecureAddress;
            response.error = refused;
            finish(response);
        });
        return;
    }
    send(m_request.url);
}

void DavExchange::send(const QUrl& url) {
    m_current = url;
    m_body.clear();
    m_sslErrors.clear();
    QNetworkRequest request(url);
    // Redirects are ours to judge: Qt's own would carry our Authorization header along.
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::ManualRedirectPolicy);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute,
                         QNetworkRequest::AlwaysNetwork);
    request.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
    if (!m_account.user.isEmpty()) {
        const QByteArray pair = (m_account.user + u':' + m_account.password).toUtf8();
        request.setRawHeader("Authorization", "Basic " + pair.toBase64());
    }
    // The lengths of replies are checked as sent (see onFinished).
    request.setRawHeader("Accept-Encoding", "identity");
    if (!m_request.contentType.isEmpty())
        request.setHeader(QNetworkRequest::ContentTypeHeader, m_request.contentType);
    for (const auto& [name, value] : m_request.headers)
        request.setRawHeader(name, value);
    if (url.scheme().compare(QLatin1StringView("https"), Qt::CaseInsensitive) == 0) {
        QSslConfiguration tls = QSslConfiguration::defaultConfiguration();
        if (!m_account.extraAuthorities.isEmpty())
            tls.setCaCertificates(QSslConfiguration::systemCaCertificates() +
                                  m_account.extraAuthorities);
        request.setSslConfiguration(tls);
    }
    ++m_sent;
    emit requestSent();
    m_reply = m_network->sendCustomRequest(request, m_request.method, m_request.body);
    connect(m_reply, &QNetworkReply::readyRead, this, &DavExchange::onReadyRead);
    connect(m_reply, &QNetworkReply::finished, this, &DavExchange::onFinished);
    connect(m_reply, &QNetworkReply::sslErrors, this, [this](const QList<QSslError>& errors) {
        for (const QSslError& error : errors)
            m_sslErrors.append(error.errorString());
    });
    connect(m_reply, &QNetworkReply::metaDataChanged, this, [this] {
        const qint64 announced = m_reply->header(QNetworkRequest::ContentLengthHeader).toLongLong();
        if (announced > m_account.maxReplyBytes)
            failTransfer(DavFailure::TooLarge,
                         QStringLiteral("The server at %1 sent a reply larger than %2, which "
                                        "Tourwise does not read; check the address.")
                             .arg(ShownHost(m_current), megabytes(m_account.maxReplyBytes)));
    });
}

void DavExchange::onReadyRead() {
    if (!m_reply)
        return;
    m_body += m_reply->readAll();
    if (m_body.size() > m_account.maxReplyBytes)
        failTransfer(DavFailure::TooLarge,
                     QStringLiteral("The server at %1 sent a reply larger than %2, which "
                                    "Tourwise does not read; check the address.")
                         .arg(ShownHost(m_current), megabytes(m_account.maxReplyBytes)));
}

void DavExchange::failTransfer(DavFailure failure, const QString& error) {
    if (m_finished || m_abortReason != DavFailure::None)
        return;
    m_abortReason = failure;
    m_abortError = error;
    if (m_reply)
        m_reply->abort(); // finished() follows, and reports the reason kept here
    else
        onFinished();
}

QString DavExchange::transportError() const {
    const QString host = ShownHost(m_current);
    switch (m_reply->error()) {
    case QNetworkReply::ConnectionRefusedError:
        return QStringLiteral("Nothing answers at %1 (connection refused); check the address and "
                              "that the server is running.")
            .arg(host);
    case QNetworkReply::HostNotFoundError:
        return QStringLiteral("There is no server named %1; check the address.")
            .arg(m_current.host());
    case QNetworkReply::RemoteHostClosedError:
        return QStringLiteral("The server at %1 closed the connection before its reply was "
                              "complete; try again later.")
            .arg(host);
    case QNetworkReply::SslHandshakeFailedError:
        return QStringLiteral("The certificate of %1 is not trusted (%2), so Tourwise sent "
                              "nothing there; if the server's certificate comes from an "
                              "authority of your own, give Tourwise that authority's "
                              "certificate (--ca-file).")
            .arg(host, m_sslErrors.isEmpty() ? m_reply->errorString()
                                             : m_sslErrors.join(QStringLiteral("; ")));
    default:
        return QStringLiteral("The connection to %1 failed (%2); try again later.")
            .arg(host, m_reply->errorString());
    }
}

void DavExchange::onFinished() {
    if (m_finished)
        return;
    QNetworkReply* reply = m_reply;
    DavResponse response;
    response.url = m_current;
    if (m_abortReason != DavFailure::None) {
        response.failure = m_abortReason;
        response.error = m_abortError;
        finish(response);
        return;
    }
    if (!reply)
        return;
    m_body += reply->readAll();
    response.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    const QNetworkReply::NetworkError error = reply->error();
    // A status with a body is a reply, whatever Qt makes of it; no status is a transport failure.
    if (response.status == 0 || (error != QNetworkReply::NoError && error < 200)) {
        response.status = 0;
        response.failure = error == QNetworkReply::SslHandshakeFailedError ? DavFailure::Certificate
                           : error == QNetworkReply::ConnectionRefusedError ||
                                   error == QNetworkReply::HostNotFoundError
                               ? DavFailure::Unreachable
                               : DavFailure::ConnectionLost;
        response.error = transportError();
        finish(response);
        return;
    }
    // Qt may end a reply at a closed connection without a word, short of the length announced.
    const QByteArray announced = reply->rawHeader("Content-Length");
    const QByteArray encoding = reply->rawHeader("Content-Encoding");
    if (!announced.isEmpty() && (encoding.isEmpty() || encoding == "identity") &&
        m_body.size() < announced.toLongLong()) {
        response.status = 0;
        response.failure = DavFailure::ConnectionLost;
        response.error = QStringLiteral("The server at %1 closed the connection before its reply "
                                        "was complete; try again later.")
                             .arg(ShownHost(m_current));
        finish(response);
        return;
    }
    if (isRedirect(response.status)) {
        const QUrl target =
            m_current.resolved(QUrl::fromEncoded(reply->rawHeader("Location"), QUrl::StrictMode));
        reply->disconnect(this);
        reply->deleteLater();
        m_reply = nullptr;
        const bool upgrade =
            target.scheme().compare(QLatin1StringView("https"), Qt::CaseInsensitive) == 0 &&
            target.host().compare(m_current.host(), Qt::CaseInsensitive) == 0;
        if (!target.isValid() || target.host().isEmpty())
            response.error = QStringLiteral("The server at %1 redirects to an address that is "
                                            "not one (%2).")
                                 .arg(ShownHost(m_current), QString::number(response.status));
        else if (!SameOrigin(target, m_current) && !upgrade)
            response.error =
                QStringLiteral("The server at %1 sends Tourwise on to %2, another "
                               "server, which does not get your password; if you "
                               "trust it, use the address %3.")
                    .arg(ShownHost(m_current), ShownHost(target), ShownAddress(target));
        else if (m_sent > MaxRedirects)
            response.error =
                QStringLiteral("The server at %1 redirects round in circles; check the address.")
                    .arg(ShownHost(m_current));
        if (!response.error.isEmpty()) {
            response.failure = DavFailure::Redirect;
            finish(response);
            return;
        }
        send(target);
        return;
    }
    response.body = m_body;
    response.etag = reply->rawHeader("ETag");
    finish(response);
}

void DavExchange::finish(DavResponse response) {
    if (m_finished)
        return;
    m_finished = true;
    m_deadline.stop();
    if (m_reply) {
        m_reply->disconnect(this);
        m_reply->deleteLater();
        m_reply = nullptr;
    }
    m_body.clear();
    // The callback may delete this exchange: nothing of it is used afterwards.
    const Done done = std::move(m_done);
    deleteLater();
    done(response);
}
