#include "shell/OwnFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <cerrno>

namespace tw {

namespace {

QString notRegular() { return QStringLiteral("it is not a regular file"); }

}  // namespace

QString ownFileOpenError(int error) {
    switch (error) {
        case ELOOP:
            return QStringLiteral("it is a symbolic link");
        case EISDIR:
            return QStringLiteral("it is a folder");
        case ENXIO:
            return notRegular();
        default:
            return qt_error_string(error);
    }
}

bool writeAllTo(int fd, const QByteArray& bytes) {
    const char* next = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, next, static_cast<size_t>(left));
        if (written < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        next += written;
        left -= written;
    }
    return true;
}

OwnFileRead readOwnFile(const QString& path, qint64 longest) {
    const QByteArray name = QFile::encodeName(path);
    const int fd = ::open(name.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return {std::nullopt, errno == ENOENT ? QString() : ownFileOpenError(errno)};
    OwnFileRead read;
    struct stat status {};
    if (::fstat(fd, &status) != 0) {
        read.refusal = qt_error_string(errno);
    } else if (!S_ISREG(status.st_mode)) {
        read.refusal = notRegular();
    } else if (status.st_size > longest) {
        read.refusal = QStringLiteral("it is larger than any the program writes");
    } else {
        QByteArray bytes(static_cast<qsizetype>(status.st_size), '\0');
        qsizetype got = 0;
        while (got < bytes.size()) {
            const ssize_t n = ::read(fd, bytes.data() + got, static_cast<size_t>(bytes.size() - got));
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) break;
            got += n;
        }
        bytes.truncate(got);
        read.bytes = bytes;
    }
    ::close(fd);
    return read;
}

QString replaceOwnFile(const QString& path, const QByteArray& bytes) {
    const QByteArray name = QFile::encodeName(path);
    struct stat standing {};
    if (::lstat(name.constData(), &standing) == 0 && !S_ISREG(standing.st_mode))
        return S_ISLNK(standing.st_mode) ? QStringLiteral("it is a symbolic link") : notRegular();
    // mkstemp makes a new file of the owner's only: nothing that stood there is opened.
    QByteArray aside = name + ".XXXXXX";
    const int fd = ::mkostemp(aside.data(), O_CLOEXEC);
    if (fd < 0) return qt_error_string(errno);
    const bool written = ::fchmod(fd, kOwnerOnly) == 0 && writeAllTo(fd, bytes) && ::fsync(fd) == 0;
    const int writeError = errno;
    const bool closed = ::close(fd) == 0;
    // rename() replaces the name itself: a link put there meanwhile is replaced, not followed.
    if (!written || !closed || ::rename(aside.constData(), name.constData()) != 0) {
        const QString reason = qt_error_string(written && closed ? errno : writeError);
        ::unlink(aside.constData());
        return reason;
    }
    return QString();
}

}  // namespace tw
