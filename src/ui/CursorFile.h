#pragma once

#include <QCursor>
#include <QString>

namespace tw {

// Loads a cursor file (.cur): the picture through Qt's image reader, the hotspot from the
// file's first directory entry. Throws std::runtime_error when the file is not a readable cursor.
QCursor loadCursorFile(const QString& path);

}  // namespace tw
