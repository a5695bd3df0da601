#include "shell/EventPump.h"

#include <QCoreApplication>

namespace tw {

void EventPump::operator()() {
    if (m_sinceLast.isValid()) {
        if (++m_calls < kCallsPerClockReading) return;
        m_calls = 0;
        if (m_sinceLast.elapsed() < kMinimumIntervalMs) return;
    }
    QCoreApplication::processEvents();
    m_sinceLast.start();
}

}  // namespace tw
