#include "shell/SettingsFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <cerrno>
#include <cstring>

namespace tw {

namespace {

// Four values and a few switches take a few hundred bytes; anything far larger is not ours.
constexpr qint64 kLargestSettingsFile = 1024 * 1024;

QString kindOf(mode_t mode) {
    if (S_ISDIR(mode)) return QStringLiteral("is a folder");
    if (S_ISFIFO(mode)) return QStringLiteral("is a fifo");
    if (S_ISSOCK(mode)) return QStringLiteral("is a socket");
    return QStringLiteral("is a device");
}

// Control characters other than the line ends, tabs and page breaks of a text file say that
// something else, a program or an archive, is in the file's place. Any encoding is text.
bool isText(const QByteArray& bytes) {
    for (const char byte : bytes) {
        const auto code = static_cast<unsigned char>(byte);
        if (code < 0x20 && byte != '\n' && byte != '\r' && byte != '\t' && byte != '\f') return false;
    }
    return true;
}

}  // namespace

SettingsFileText readSettingsFile(const QString& path) {
    SettingsFileText read;
    const QByteArray native = QFile::encodeName(path);
    struct stat status {};
    if (::stat(native.constData(), &status) != 0) {
        if (errno == ENOENT || errno == ENOTDIR) return read;  // nothing remembered yet
        read.exists = true;
        read.problem = QStringLiteral("cannot be read: %1").arg(QString::fromLocal8Bit(std::strerror(errno)));
        return read;
    }
    read.exists = true;
    if (!S_ISREG(status.st_mode)) {
        read.problem = kindOf(status.st_mode);
        return read;
    }
    // Not blocking: whatever took the file's place since the look above is not waited on.
    const int fd = ::open(native.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        read.problem = QStringLiteral("cannot be read: %1").arg(QString::fromLocal8Bit(std::strerror(errno)));
        return read;
    }
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        read.problem = kindOf(status.st_mode);
    } else if (status.st_size > kLargestSettingsFile) {
        read.problem = QStringLiteral("is too large for a settings file");
    } else {
        char buffer[16384];
        for (;;) {
            const ssize_t got = ::read(fd, buffer, sizeof buffer);
            if (got < 0 && errno == EINTR) continue;
            if (got < 0) {
                read.problem =
                    QStringLiteral("cannot be read: %1").arg(QString::fromLocal8Bit(std::strerror(errno)));
                break;
            }
            if (got == 0) break;
            read.text.append(buffer, got);
            if (read.text.size() > kLargestSettingsFile) {
                read.problem = QStringLiteral("is too large for a settings file");
                break;
            }
        }
        if (read.problem.isEmpty() && !isText(read.text)) read.problem = QStringLiteral("is not text");
    }
    ::close(fd);
    if (!read.problem.isEmpty()) read.text.clear();
    return read;
}

}  // namespace tw
