// The servers the calendar-server tests talk to, all on loopback addresses and started and
// stopped by the test: a real Radicale with its own storage folder and a plain htpasswd user,
// our own hostile server (hostile_http.py) for the failures, and a certificate authority made
// with openssl for TLS.
#pragma once

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>
#include <QUrl>
#include <QtTest>

#ifndef HOSTILE_SERVER_SCRIPT
#define HOSTILE_SERVER_SCRIPT "hostile_http.py"
#endif
#ifndef DEBIAN_PYTHON3
#define DEBIAN_PYTHON3 "/usr/bin/python3"
#endif

inline const QString TestUser = QStringLiteral("tester");
inline const QString TestPassword = QStringLiteral("s3cret-Pass_word");

// A port nobody listens on at the moment.
inline quint16 freeLoopbackPort() {
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

// Polls until something accepts connections on the port (a guard of 20 s against a hang).
inline bool waitForListener(quint16 port, const QProcess& process, const QString& host = {}) {
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < 20000 && process.state() == QProcess::Running) {
        QTcpSocket socket;
        socket.connectToHost(host.isEmpty() ? QStringLiteral("127.0.0.1") : host, port);
        if (socket.waitForConnected(200))
            return true;
        QTest::qWait(20); // the server is starting; ask again
    }
    return false;
}

class RadicaleServer {
public:
    ~RadicaleServer() { stop(); }

    // Starts Radicale over the storage in `folder` (kept across restarts), on `port` or a free
    // one; with a certificate and key it speaks TLS.
    bool start(const QString& folder, quint16 port = 0, const QString& certificate = {},
               const QString& key = {}) {
        m_folder = folder;
        m_port = port ? port : freeLoopbackPort();
        m_tls = !certificate.isEmpty();
        QDir().mkpath(folder + QStringLiteral("/storage"));
        QFile users(folder + QStringLiteral("/users"));
        if (!users.open(QIODevice::WriteOnly))
            return false;
        users.write((TestUser + u':' + TestPassword + u'\n').toUtf8());
        users.write("other:other-password\n");
        users.close();
        QFile config(folder + QStringLiteral("/config"));
        if (!config.open(QIODevice::WriteOnly))
            return false;
        QByteArray text = "[server]\nhosts = 127.0.0.1:" + QByteArray::number(m_port) + "\n";
        if (m_tls)
            text += "ssl = True\ncertificate = " + certificate.toUtf8() +
                    "\nkey = " + key.toUtf8() + "\n";
        text += "[auth]\ntype = htpasswd\nhtpasswd_filename = " + users.fileName().toUtf8() +
                "\nhtpasswd_encryption = plain\ndelay = 0\n"
                "[storage]\nfilesystem_folder = " +
                folder.toUtf8() +
                "/storage\n"
                "[rights]\ntype = owner_only\n"
                "[logging]\nlevel = warning\n";
        config.write(text);
        config.close();
        m_process.setProcessChannelMode(QProcess::MergedChannels);
        m_process.setStandardOutputFile(folder + QStringLiteral("/radicale.log"),
                                        QIODevice::Append);
        m_process.start(QStringLiteral(DEBIAN_PYTHON3),
                        {QStringLiteral("-m"), QStringLiteral("radicale"),
                         QStringLiteral("--config"), config.fileName()});
        return m_process.waitForStarted() && waitForListener(m_port, m_process);
    }

    void stop() {
        if (m_process.state() == QProcess::NotRunning)
            return;
        m_process.terminate();
        if (!m_process.waitForFinished(10000)) {
            m_process.kill();
            m_process.waitForFinished();
        }
    }

    // As a server that dies: no chance to finish what it was doing.
    void kill() {
        m_process.kill();
        m_process.waitForFinished();
    }

    bool restart() { return start(m_folder, m_port); }

    QUrl url(const QString& path = QStringLiteral("/")) const {
        return QUrl(QStringLiteral("%1://127.0.0.1:%2%3")
                        .arg(m_tls ? QStringLiteral("https") : QStringLiteral("http"))
                        .arg(m_port)
                        .arg(path));
    }
    QString log() const {
        QFile file(m_folder + QStringLiteral("/radicale.log"));
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }

private:
    QProcess m_process;
    QString m_folder;
    quint16 m_port = 0;
    bool m_tls = false;
};

class HostileServer {
public:
    ~HostileServer() { stop(); }

    bool start(const QString& folder, const QString& certificate = {}, const QString& key = {}) {
        m_log = folder + QStringLiteral("/hostile-%1.log").arg(++s_count);
        QStringList arguments{QStringLiteral(HOSTILE_SERVER_SCRIPT), QStringLiteral("--log"),
                              m_log};
        if (!certificate.isEmpty())
            arguments << QStringLiteral("--cert") << certificate << QStringLiteral("--key") << key;
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_process.start(QStringLiteral(DEBIAN_PYTHON3), arguments);
        if (!m_process.waitForStarted())
            return false;
        QElapsedTimer waited;
        waited.start();
        while (!m_process.canReadLine() && waited.elapsed() < 20000 &&
               m_process.state() == QProcess::Running)
            m_process.waitForReadyRead(500);
        const QList<QByteArray> words = m_process.readLine().trimmed().split(' ');
        if (words.size() != 3 || words.at(0) != "PORT")
            return false;
        m_port = static_cast<quint16>(words.at(1).toUInt());
        m_otherPort = static_cast<quint16>(words.at(2).toUInt());
        m_tls = !certificate.isEmpty();
        return true;
    }

    void stop() {
        if (m_process.state() == QProcess::NotRunning)
            return;
        m_process.closeWriteChannel();
        if (!m_process.waitForFinished(10000)) {
            m_process.kill();
            m_process.waitForFinished();
        }
    }

    QUrl url(const QString& path, const QString& host = QStringLiteral("127.0.0.1")) const {
        return QUrl(QStringLiteral("%1://%2:%3%4")
                        .arg(m_tls ? QStringLiteral("https") : QStringLiteral("http"), host)
                        .arg(m_port)
                        .arg(path));
    }
    // The requests seen, one line each: "<main|other> <method> <path> auth=<yes|no>".
    QStringList requests() const {
        QFile file(m_log);
        if (!file.open(QIODevice::ReadOnly))
            return {};
        return QString::fromUtf8(file.readAll()).split(u'\n', Qt::SkipEmptyParts);
    }

private:
    static inline int s_count = 0;
    QProcess m_process;
    QString m_log;
    quint16 m_port = 0;
    quint16 m_otherPort = 0;
    bool m_tls = false;
};

// A certificate authority made for the test, a server certificate it signed for 127.0.0.1 and a
// self-signed one, as PEM files in the folder.
struct TestAuthority {
    QString authority, serverCertificate, serverKey, selfSigned, selfSignedKey;

    static bool openssl(const QString& folder, const QStringList& arguments) {
        QProcess process;
        process.setWorkingDirectory(folder);
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.start(QStringLiteral("openssl"), arguments);
        if (!process.waitForFinished(60000) || process.exitCode() != 0) {
            qWarning("openssl %s: %s", qPrintable(arguments.join(u' ')),
                     process.readAll().constData());
            return false;
        }
        return true;
    }

    bool make(const QString& folder) {
        const QString ec = QStringLiteral("ec");
        const QString curve = QStringLiteral("ec_paramgen_curve:prime256v1");
        QFile extensions(folder + QStringLiteral("/server.ext"));
        if (!extensions.open(QIODevice::WriteOnly))
            return false;
        extensions.write("subjectAltName = IP:127.0.0.1\nbasicConstraints = CA:FALSE\n"
                         "extendedKeyUsage = serverAuth\n");
        extensions.close();
        authority = folder + QStringLiteral("/authority.pem");
        serverCertificate = folder + QStringLiteral("/server.pem");
        serverKey = folder + QStringLiteral("/server.key");
        selfSigned = folder + QStringLiteral("/self.pem");
        selfSignedKey = folder + QStringLiteral("/self.key");
        return openssl(folder, {"req", "-x509", "-newkey", ec, "-pkeyopt", curve, "-nodes",
                                "-keyout", "authority.key", "-out", authority, "-days", "2",
                                "-subj", "/CN=Tourwise Test Authority", "-addext",
                                "basicConstraints=critical,CA:TRUE", "-addext",
                                "keyUsage=critical,keyCertSign,cRLSign"}) &&
               openssl(folder, {"req", "-newkey", ec, "-pkeyopt", curve, "-nodes", "-keyout",
                                serverKey, "-out", "server.csr", "-subj", "/CN=127.0.0.1"}) &&
               openssl(folder, {"x509", "-req", "-in", "server.csr", "-CA", authority, "-CAkey",
                                "authority.key", "-CAcreateserial", "-out", serverCertificate,
                                "-days", "2", "-extfile", extensions.fileName()}) &&
               openssl(folder, {"req", "-x509", "-newkey", ec, "-pkeyopt", curve, "-nodes",
                                "-keyout", selfSignedKey, "-out", selfSigned, "-days", "2", "-subj",
                                "/CN=127.0.0.1", "-addext", "subjectAltName=IP:127.0.0.1"});
    }
};
