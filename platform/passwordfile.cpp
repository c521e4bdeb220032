#include "platform/passwordfile.h"

#include <QFile>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

PasswordFileResult refused(const QString& sentence) {
    return {false, {}, sentence};
}

class Descriptor {
public:
    explicit Descriptor(int fd) : m_fd(fd) {}
    ~Descriptor() {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return m_fd; }

private:
    int m_fd;
};

} // namespace

PasswordFileResult ReadPasswordFile(const QString& path) {
    // Non-blocking, so a FIFO at the path cannot hold the program at open or read; the checks
    // are made on what was opened, so the file cannot be swapped between check and read.
    const Descriptor file(
        ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (file.get() < 0)
        return refused(QStringLiteral("The password file %1 cannot be opened (%2).")
                           .arg(path, QString::fromLocal8Bit(std::strerror(errno))));
    struct stat info {};
    if (::fstat(file.get(), &info) != 0)
        return refused(QStringLiteral("The password file %1 cannot be read (%2).")
                           .arg(path, QString::fromLocal8Bit(std::strerror(errno))));
    if (S_ISDIR(info.st_mode))
        return refused(QStringLiteral("The password file %1 is a folder, not a file.").arg(path));
    if (!S_ISREG(info.st_mode))
        return refused(QStringLiteral("The password file %1 is not a regular file (a pipe, a "
                                      "device or a socket).")
                           .arg(path));
    if ((info.st_mode & 077) != 0)
        return refused(QStringLiteral("The password file %1 may be read or written by others "
                                      "(mode %2); make it yours alone with chmod 600 %1.")
                           .arg(path)
                           .arg(info.st_mode & 0777, 4, 8, QLatin1Char('0')));
    if (info.st_size == 0)
        return refused(QStringLiteral("The password file %1 is empty.").arg(path));
    if (info.st_size > MaxPasswordFileBytes)
        return refused(QStringLiteral("The password file %1 is too large to hold a password "
                                      "(%2 bytes; at most %3).")
                           .arg(path)
                           .arg(static_cast<qint64>(info.st_size))
                           .arg(MaxPasswordFileBytes));
    QByteArray bytes(MaxPasswordFileBytes + 1, '\0');
    qsizetype filled = 0;
    while (filled < bytes.size()) {
        const ssize_t got =
            ::read(file.get(), bytes.data() + filled, static_cast<size_t>(bytes.size() - filled));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return refused(QStringLiteral("The password file %1 cannot be read (%2).")
                               .arg(path, QString::fromLocal8Bit(std::strerror(errno))));
        if (got == 0)
            break;
        filled += got;
    }
    bytes.truncate(filled);
    qsizetype end = bytes.indexOf('\n');
    if (end < 0)
        end = bytes.size();
    if (end > 0 && bytes.at(end - 1) == '\r')
        --end;
    QByteArray line = bytes.left(end);
    bytes.fill('\0'); // the rest of the file stays out of memory that lives on
    if (line.isEmpty())
        return refused(
            QStringLiteral("The first line of the password file %1 is empty.").arg(path));
    PasswordFileResult result{true, QString::fromUtf8(line), {}};
    line.fill('\0');
    return result;
}
