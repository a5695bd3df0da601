#pragma once

#include <memory>

namespace tw::test {

// A TCP listener on 127.0.0.1 standing between the program and a server. Forwarding, it passes
// bytes both ways until cut(), when every connection through it ends at once and new ones are
// refused, as when the server goes away mid-session. Silent, it accepts connections and never
// says a word, as a server that hangs. Frozen, it stops passing bytes either way and keeps
// every connection open, as a server whose process was stopped: the network still answers;
// thawed, it passes them again, as the process goes on.
class LoopbackRelay {
public:
    static std::unique_ptr<LoopbackRelay> forwardingTo(int port);
    static std::unique_ptr<LoopbackRelay> silent();
    ~LoopbackRelay();

    int port() const;
    void cut();
    void freeze();
    void thaw();
    // The connections it has taken so far.
    int accepted() const;

    struct Impl;

private:
    explicit LoopbackRelay(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> m_impl;
};

}  // namespace tw::test
