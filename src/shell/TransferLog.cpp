#include "shell/TransferLog.h"

#include <QDir>
#include <QFile>

namespace tw {

TransferLog::TransferLog(QString folder) : m_folder(std::move(folder)) {}

QString TransferLog::defaultFolder() {
    const QString state = qEnvironmentVariable("XDG_STATE_HOME");
    const QString base = state.isEmpty() ? QDir::homePath() + QStringLiteral("/.local/state") : state;
    return base + QStringLiteral("/tablewright");
}

QString TransferLog::filePath() const { return m_folder + QStringLiteral("/transfers.log"); }

bool TransferLog::append(const QStringList& lines) {
    if (!QDir(m_folder).exists()) {
        if (!QDir().mkpath(m_folder)) return false;
        QFile::setPermissions(m_folder,
                              QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    }
    QFile file(filePath());
    const bool existed = file.exists();
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text)) return false;
    if (!existed) file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    for (const QString& line : lines) file.write((line + QLatin1Char('\n')).toUtf8());
    return file.flush();
}

}  // namespace tw
