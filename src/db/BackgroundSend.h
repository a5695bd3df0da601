#pragma once

#include <exception>
#include <functional>
#include <future>

namespace tw {

// A batch on its way to the database on a thread of its own, while the next batch is read, and
// what came of it.
class BackgroundSend {
public:
    ~BackgroundSend() { wait(); }

    // Runs send on a thread of its own; now, where no thread is to be had or the writer asks it.
    void start(const std::function<void()>& send, bool inBackground = true);
    // The batch failed before it went.
    void failed(std::exception_ptr failure) { m_failure = std::move(failure); }
    // Waits for the batch, calling whileWaiting now and then, and throws what sending it threw.
    void finish(const std::function<void()>& whileWaiting);
    void wait() noexcept {
        if (m_sent.valid()) m_sent.wait();
    }

private:
    std::future<void> m_sent;
    std::exception_ptr m_failure;
};

}  // namespace tw
