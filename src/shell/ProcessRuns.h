#pragma once

#include <QString>
#include <QtGlobal>

namespace tw {

// Whether a process of that id runs on this machine (or may: one of another user's counts).
bool processRuns(qint64 pid);

// When the process started, in the system's clock ticks since boot; -1 when unknown. With the
// boot id it tells a process from a later one that was given the same id.
qint64 processStartTime(qint64 pid);
// The id of the system's current boot; empty when unknown.
QString bootId();

}  // namespace tw
