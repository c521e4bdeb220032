#include "days/databasefilecheck.h"

#include <QFile>

#include <array>
#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr char SqliteHeader[] = "SQLite format 3"; // and its final zero byte: 16 bytes

DatabaseFileCheck unusable(const QString& reason) {
    return {DatabaseFileCheck::Kind::Unusable, reason};
}

QString errnoText(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

QString typeName(mode_t mode) {
    if (S_ISDIR(mode))
        return QStringLiteral("it is a folder, not a file");
    if (S_ISFIFO(mode))
        return QStringLiteral("it is a pipe (FIFO), not a file");
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return QStringLiteral("it is a device, not a file");
    if (S_ISSOCK(mode))
        return QStringLiteral("it is a socket, not a file");
    return QStringLiteral("it is not a regular file");
}

// The files SQLite keeps beside the database must be regular files too, or missing.
QString problemWithCompanion(const QByteArray& databasePath) {
    for (const char* suffix : {"-wal", "-shm", "-journal"}) {
        struct stat status {};
        const QByteArray companion = databasePath + suffix;
        if (::stat(companion.constData(), &status) == 0 && !S_ISREG(status.st_mode))
            return QStringLiteral("the %1 beside it is not a regular file (%2)")
                .arg(QString::fromLocal8Bit(companion), typeName(status.st_mode));
    }
    return {};
}

} // namespace

DatabaseFileCheck checkDatabaseFile(const QString& path) {
    const QByteArray local = QFile::encodeName(path);
    struct stat status {};
    if (::stat(local.constData(), &status) != 0) {
        const int error = errno;
        struct stat link {};
        if (::lstat(local.constData(), &link) == 0)
            return unusable(QStringLiteral("it is a link to a file that is not there"));
        if (error == ENOENT || error == ENOTDIR)
            return {DatabaseFileCheck::Kind::Missing, {}};
        return unusable(QStringLiteral("it cannot be looked at (%1)").arg(errnoText(error)));
    }
    if (!S_ISREG(status.st_mode))
        return unusable(typeName(status.st_mode));
    if (status.st_size > MaxDatabaseFileBytes)
        return unusable(QStringLiteral("it is %1 MB, far larger than a file of days can be")
                            .arg(status.st_size >> 20));
    if (const QString companion = problemWithCompanion(local); !companion.isEmpty())
        return unusable(companion);

    // O_NONBLOCK: should the path have become a FIFO since stat(), open() must not wait.
    const int descriptor = ::open(local.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0)
        return unusable(QStringLiteral("it cannot be read (%1)").arg(errnoText(errno)));
    std::array<char, sizeof SqliteHeader> header{};
    struct stat opened {};
    const bool regular = ::fstat(descriptor, &opened) == 0 && S_ISREG(opened.st_mode);
    ssize_t got = 0;
    int readError = 0;
    if (regular) {
        got = ::read(descriptor, header.data(), header.size());
        readError = got < 0 ? errno : 0;
    }
    ::close(descriptor);
    if (!regular)
        return unusable(QStringLiteral("it is not a regular file"));
    if (got < 0)
        return unusable(QStringLiteral("it cannot be read (%1)").arg(errnoText(readError)));
    if (got == 0 && opened.st_size == 0)
        return {DatabaseFileCheck::Kind::Empty, {}};
    if (static_cast<size_t>(got) != header.size() ||
        std::memcmp(header.data(), SqliteHeader, header.size()) != 0)
        return unusable(QStringLiteral("it is not a database"));
    return {DatabaseFileCheck::Kind::Database, {}};
}
