#include "shell/FileExists.h"

#include <QFileInfo>

namespace tw {

bool FileExists(const QString& path) {
    // An embedded NUL would silently shorten the name the system call sees.
    if (path.isEmpty() || path.contains(QChar(u'\0'))) return false;
    return QFileInfo(path).lastModified().isValid();
}

}  // namespace tw
