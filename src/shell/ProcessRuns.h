#pragma once

#include <QtGlobal>

namespace tw {

// Whether a process of that id runs on this machine (or may: one of another user's counts).
bool processRuns(qint64 pid);

}  // namespace tw
