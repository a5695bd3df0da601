#include "shell/EventPump.h"

#include <QCoreApplication>

namespace tw {

void EventPump::operator()() {
    if (m_sinceLast.isValid() && m_sinceLast.elapsed() < kMinimumIntervalMs) return;
    QCoreApplication::processEvents();
    m_sinceLast.start();
}

}  // namespace tw
