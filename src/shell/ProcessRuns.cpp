#include "shell/ProcessRuns.h"

#include <QFile>
#include <cerrno>
#include <csignal>

namespace tw {

bool processRuns(qint64 pid) {
    if (pid <= 0) return false;
    return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
}

qint64 processStartTime(qint64 pid) {
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (pid <= 0 || !stat.open(QIODevice::ReadOnly)) return -1;
    // "pid (name) state ..." where the name may hold spaces and parentheses: the fields are
    // counted after its last ")"; the start time is the 22nd field, the 20th after it.
    const QByteArray line = stat.read(4096);
    const qsizetype nameEnd = line.lastIndexOf(')');
    if (nameEnd < 0) return -1;
    const QList<QByteArray> fields = line.mid(nameEnd + 2).split(' ');
    if (fields.size() < 20) return -1;
    bool ok = false;
    const qint64 start = fields.at(19).toLongLong(&ok);
    return ok ? start : -1;
}

QString bootId() {
    QFile file(QStringLiteral("/proc/sys/kernel/random/boot_id"));
    if (!file.open(QIODevice::ReadOnly)) return QString();
    return QString::fromLatin1(file.read(64)).trimmed();
}

}  // namespace tw
