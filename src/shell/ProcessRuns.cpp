#include "shell/ProcessRuns.h"

#include <cerrno>
#include <csignal>

namespace tw {

bool processRuns(qint64 pid) {
    if (pid <= 0) return false;
    return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
}

}  // namespace tw
