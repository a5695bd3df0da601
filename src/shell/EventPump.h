#pragma once

#include <QtGlobal>
#include <functional>

namespace tw {

// Lets the window process its pending events from inside a long handler. Calls that come
// sooner than a few milliseconds after the last one are skipped: the window still repaints
// and answers many times a second, and a copy of many small rows is not slowed by thousands
// of idle passes through the event loop.
class EventPump {
public:
    static constexpr qint64 kMinimumIntervalMs = 10;
    // Even the clock is read only on every few calls: a copy calls this several times a row.
    static constexpr int kCallsPerClockReading = 8;

    // Milliseconds from any fixed start; the monotonic clock unless a test gives its own.
    using Clock = std::function<qint64()>;
    explicit EventPump(Clock now = {});

    void operator()();

private:
    Clock m_now;
    qint64 m_last = 0;
    bool m_pumped = false;
    int m_calls = 0;
};

}  // namespace tw
