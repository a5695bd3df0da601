#include "shell/SettingsStore.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <cerrno>

namespace tw {

namespace {

// Creates each missing folder of the path with owner-only access; existing folders are left
// as their owner set them.
bool makeOwnerOnlyPath(const QString& folder) {
    const QString absolute = QDir(folder).absolutePath();
    QString path;
    for (const QString& part : absolute.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        path += QLatin1Char('/') + part;
        const QByteArray native = QFile::encodeName(path);
        if (::mkdir(native.constData(), 0700) != 0 && errno != EEXIST) return false;
    }
    return QFileInfo(absolute).isDir();
}

// Creates the file owner-only before anything is written into it, and takes group and other
// access away from a file that has it.
bool makeOwnerOnlyFile(const QString& file) {
    const QByteArray native = QFile::encodeName(file);
    const int fd = ::open(native.constData(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) return false;
    struct stat st {};
    const bool ok = ::fstat(fd, &st) == 0 && ((st.st_mode & 077) == 0 || ::fchmod(fd, 0600) == 0);
    ::close(fd);
    return ok;
}

}  // namespace

SettingsStore::SettingsStore(QString folder) : m_folder(std::move(folder)) {}

QString SettingsStore::defaultFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
}

QString SettingsStore::filePath(const QString& application) const {
    return m_folder + QLatin1Char('/') + application + QStringLiteral(".ini");
}

bool SettingsStore::isReadable(const QString& application) const {
    const QFileInfo info(filePath(application));
    if (!info.exists()) return true;  // nothing remembered yet is not a fault
    if (!info.isFile() || !info.isReadable()) return false;
    QFile file(info.filePath());
    if (!file.open(QIODevice::ReadOnly)) return false;
    return QSettings(info.filePath(), QSettings::IniFormat).status() == QSettings::NoError;
}

QString SettingsStore::value(const QString& application, const QString& section, const QString& key) const {
    const QString file = filePath(application);
    if (!QFileInfo::exists(file)) return QString();
    QSettings settings(file, QSettings::IniFormat);
    settings.beginGroup(section);
    return settings.value(key).toString();
}

bool SettingsStore::save(const QString& application, const QString& section, const QString& key,
                         const QString& value) {
    const QString file = filePath(application);
    if (!makeOwnerOnlyPath(m_folder) || !makeOwnerOnlyFile(file)) return false;
    QSettings settings(file, QSettings::IniFormat);
    settings.beginGroup(section);
    settings.setValue(key, value);
    settings.endGroup();
    settings.sync();
    return settings.status() == QSettings::NoError;
}

}  // namespace tw
