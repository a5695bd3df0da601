#include "shell/TransferLog.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>

#include "shell/OwnFile.h"

namespace tw {

TransferLog::TransferLog(QString folder) : m_folder(std::move(folder)) {}

QString TransferLog::defaultFolder() {
    const QString state = qEnvironmentVariable("XDG_STATE_HOME");
    const QString base = state.isEmpty() ? QDir::homePath() + QStringLiteral("/.local/state") : state;
    return base + QStringLiteral("/tablewright");
}

QString TransferLog::filePath() const { return m_folder + QStringLiteral("/transfers.log"); }

bool TransferLog::fail(const QString& reason) {
    m_lastError = reason;
    return false;
}

bool TransferLog::append(const QStringList& lines) {
    if (!QDir(m_folder).exists()) {
        if (!QDir().mkpath(m_folder)) {
            return fail(QFileInfo::exists(m_folder)
                            ? QStringLiteral("%1 is not a folder").arg(m_folder)
                            : QStringLiteral("its folder %1 cannot be made").arg(m_folder));
        }
        QFile::setPermissions(m_folder,
                              QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    }

    // Another user who can write to the folder could have put a link to one of our files
    // there, or a fifo that blocks the open: neither is followed or waited on.
    const QByteArray path = QFile::encodeName(filePath());
    const int fd = ::open(path.constData(),
                          O_WRONLY | O_APPEND | O_CREAT | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK, kOwnerOnly);
    if (fd < 0) return fail(ownFileOpenError(errno));
    struct stat status {};
    QString refused;
    if (::fstat(fd, &status) != 0) {
        refused = qt_error_string(errno);
    } else if (!S_ISREG(status.st_mode)) {
        refused = QStringLiteral("it is not a regular file");
    } else if (status.st_uid != ::geteuid()) {
        refused = QStringLiteral("it belongs to another user");
    } else if ((status.st_mode & 07777) != kOwnerOnly && ::fchmod(fd, kOwnerOnly) != 0) {
        refused = QStringLiteral("it cannot be made readable by its owner only: ") + qt_error_string(errno);
    }
    if (!refused.isEmpty()) {
        ::close(fd);
        return fail(refused);
    }

    QByteArray text;
    for (const QString& line : lines) text += (line + QLatin1Char('\n')).toUtf8();
    const bool written = writeAllTo(fd, text);
    const int writeError = errno;
    if (::close(fd) != 0 && written) return fail(qt_error_string(errno));
    if (!written) return fail(qt_error_string(writeError));
    m_lastError.clear();
    return true;
}

}  // namespace tw
