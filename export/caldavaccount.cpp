#include "export/caldavaccount.h"

#include <QFile>
#include <QFileInfo>

QList<QSslCertificate> ReadCertificateAuthority(const QString& path, QString* error) {
    constexpr qint64 MaxBytes = 1024 * 1024;
    const QFileInfo info(path);
    QString problem;
    QList<QSslCertificate> certificates;
    if (!info.exists())
        problem = QStringLiteral("The certificate file %1 does not exist.").arg(path);
    else if (!info.isFile())
        problem = QStringLiteral("The certificate file %1 is not a regular file.").arg(path);
    else if (info.size() > MaxBytes)
        problem = QStringLiteral("The certificate file %1 is too large to be one (over 1 MiB).")
                      .arg(path);
    else {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            problem = QStringLiteral("The certificate file %1 cannot be read (%2).")
                          .arg(path, file.errorString());
        else
            certificates = QSslCertificate::fromData(file.read(MaxBytes), QSsl::Pem);
        if (problem.isEmpty() && certificates.isEmpty())
            problem = QStringLiteral("The file %1 holds no certificate in PEM form "
                                     "(-----BEGIN CERTIFICATE-----).")
                          .arg(path);
    }
    if (!problem.isEmpty() && error)
        *error = problem;
    return problem.isEmpty() ? certificates : QList<QSslCertificate>();
}
