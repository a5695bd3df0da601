#pragma once

#include <QString>

namespace tw {

// True when the path's last-change time can be read. Never fails: a missing path, the empty
// string or a name the file system cannot hold all answer false.
bool FileExists(const QString& path);

}  // namespace tw
