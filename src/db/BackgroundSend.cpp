#include "db/BackgroundSend.h"

#include <chrono>
#include <system_error>
#include <utility>

namespace tw {

void BackgroundSend::start(const std::function<void()>& send, bool inBackground) {
    try {
        if (inBackground) {
            m_sent = std::async(std::launch::async, send);
            return;
        }
    } catch (const std::system_error&) {
        // No thread to be had: the batch goes now.
    }
    try {
        send();
    } catch (...) {
        m_failure = std::current_exception();
    }
}

void BackgroundSend::finish(const std::function<void()>& whileWaiting) {
    if (m_sent.valid()) {
        while (m_sent.wait_for(std::chrono::milliseconds(50)) != std::future_status::ready) whileWaiting();
        try {
            m_sent.get();
        } catch (...) {
            m_failure = std::current_exception();
        }
    }
    if (std::exception_ptr failure = std::exchange(m_failure, nullptr)) std::rethrow_exception(failure);
}

}  // namespace tw
