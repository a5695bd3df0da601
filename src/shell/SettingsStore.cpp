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

#include "shell/HandWrittenValue.h"
#include "shell/SettingsFile.h"

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

QString SettingsStore::problem(const QString& application) const {
    const QString file = filePath(application);
    const SettingsFileText read = readSettingsFile(file);
    if (!read.problem.isEmpty() || !read.exists) return read.problem;
    if (QSettings(file, QSettings::IniFormat).status() != QSettings::NoError) {
        return QStringLiteral("is not a settings file");
    }
    return QString();
}

QString SettingsStore::value(const QString& application, const QString& section, const QString& key) const {
    const QString file = filePath(application);
    const SettingsFileText read = readSettingsFile(file);
    if (!read.exists || !read.problem.isEmpty()) return QString();
    const QMap<QString, QString> written = handWrittenValues(read.text, section);
    if (written.contains(key)) return written.value(key);
    QSettings settings(file, QSettings::IniFormat);
    settings.beginGroup(section);
    return settings.value(key).toString();
}

bool SettingsStore::save(const QString& application, const QString& section, const QString& key,
                         const QString& value) {
    const QString file = filePath(application);
    const SettingsFileText read = readSettingsFile(file);
    if (!read.problem.isEmpty()) return false;
    if (!makeOwnerOnlyPath(m_folder) || !makeOwnerOnlyFile(file)) return false;
    QSettings settings(file, QSettings::IniFormat);
    settings.beginGroup(section);
    // Qt writes back every value as it read it: a value written by hand goes back as written,
    // in Qt's own quoted form, instead of cut at a ";".
    const QMap<QString, QString> written = handWrittenValues(read.text, section);
    for (auto other = written.cbegin(); other != written.cend(); ++other)
        settings.setValue(other.key(), other.value());
    settings.setValue(key, value);
    settings.endGroup();
    settings.sync();
    return settings.status() == QSettings::NoError;
}

}  // namespace tw
