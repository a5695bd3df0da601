#pragma once

#include <QString>
#include <optional>

namespace tw {

// What a copy does with a table the target has already: replaces it with a new one (the
// question asked first), adds the source's rows to it, or empties it and loads them (asked
// first too), keeping its definition, keys, indexes and grants. A table the target does not
// have is created whatever the mode.
enum class WriteMode { Replace, Append, Truncate };

// "replace", "append", "truncate": as the command line and the summary name the modes.
QString writeModeName(WriteMode mode);
std::optional<WriteMode> writeModeNamed(const QString& name);

}  // namespace tw
