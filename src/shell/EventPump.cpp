#include "shell/EventPump.h"

#include <QCoreApplication>
#include <chrono>

namespace tw {

namespace {

qint64 monotonicMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

}  // namespace

EventPump::EventPump(Clock now) : m_now(now ? std::move(now) : Clock(monotonicMs)) {}

void EventPump::operator()() {
    if (m_pumped) {
        if (++m_calls < kCallsPerClockReading) return;
        m_calls = 0;
        if (m_now() - m_last < kMinimumIntervalMs) return;
    }
    QCoreApplication::processEvents();
    m_last = m_now();
    m_pumped = true;
}

}  // namespace tw
