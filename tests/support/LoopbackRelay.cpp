#include "support/LoopbackRelay.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <stdexcept>
#include <thread>
#include <utility>
#include <vector>

namespace tw::test {

namespace {

int listenOnLoopback(int& port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (fd < 0 || ::bind(fd, reinterpret_cast<sockaddr*>(&address), length) != 0 || ::listen(fd, 16) != 0 ||
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        throw std::runtime_error("cannot listen on 127.0.0.1");
    }
    port = ntohs(address.sin_port);
    return fd;
}

int connectToLoopback(int port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<uint16_t>(port));
    if (fd >= 0 && ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) return fd;
    if (fd >= 0) ::close(fd);
    return -1;
}

bool sendAll(int fd, const char* data, ssize_t size) {
    while (size > 0) {
        const ssize_t sent = ::send(fd, data, static_cast<size_t>(size), MSG_NOSIGNAL);
        if (sent <= 0) return false;
        data += sent;
        size -= sent;
    }
    return true;
}

}  // namespace

struct LoopbackRelay::Impl {
    int listener = -1;
    int port = 0;
    int targetPort = 0;  // 0: silent
    int wake[2] = {-1, -1};
    std::vector<std::pair<int, int>> links;  // client, server
    std::vector<int> held;                   // accepted and left unanswered
    std::atomic<int> acceptedCount{0};
    bool frozen = false;  // the worker's own
    std::thread worker;

    void run() {
        for (;;) {
            if (frozen) {
                // Only a thaw or the end of the relay is awaited; new connections wait in the backlog.
                pollfd woken{wake[0], POLLIN, 0};
                if (::poll(&woken, 1, -1) <= 0) continue;
                char byte = 0;
                if (::read(wake[0], &byte, 1) == 1 && byte == 't') {
                    frozen = false;
                    continue;
                }
                return;
            }
            std::vector<pollfd> watched{{wake[0], POLLIN, 0}, {listener, POLLIN, 0}};
            for (const auto& [client, server] : links) {
                watched.push_back({client, POLLIN, 0});
                watched.push_back({server, POLLIN, 0});
            }
            if (::poll(watched.data(), watched.size(), -1) < 0) continue;
            if (watched[0].revents) {
                char byte = 0;
                if (::read(wake[0], &byte, 1) == 1 && byte == 'f') {
                    frozen = true;
                    continue;
                }
                return;  // cut, or the relay ends
            }
            // Only the links that were polled; one accepted now waits for the next round.
            const size_t polled = links.size();
            if (watched[1].revents & POLLIN) accept();
            for (size_t i = 0; i < polled; ++i) {
                const short fromClient = watched[2 + 2 * i].revents;
                const short fromServer = watched[3 + 2 * i].revents;
                auto& [client, server] = links[i];
                if ((fromClient && !pass(client, server)) || (fromServer && !pass(server, client))) {
                    ::close(client);
                    ::close(server);
                    client = server = -1;
                }
            }
            std::erase_if(links, [](const auto& link) { return link.first < 0; });
        }
    }

    void accept() {
        const int client = ::accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
        if (client < 0) return;
        ++acceptedCount;
        if (targetPort == 0) {
            held.push_back(client);
            return;
        }
        const int server = connectToLoopback(targetPort);
        if (server < 0) {
            ::close(client);
            return;
        }
        links.emplace_back(client, server);
    }

    static bool pass(int from, int to) {
        char buffer[64 * 1024];
        const ssize_t got = ::recv(from, buffer, sizeof buffer, 0);
        return got > 0 && sendAll(to, buffer, got);
    }

    void stop() {
        if (worker.joinable()) {
            const char byte = 0;
            (void)!::write(wake[1], &byte, 1);
            worker.join();
        }
        for (const auto& [client, server] : links) {
            // A reset, not a polite end: the server is simply gone.
            linger abrupt{1, 0};
            ::setsockopt(client, SOL_SOCKET, SO_LINGER, &abrupt, sizeof abrupt);
            ::close(client);
            ::close(server);
        }
        links.clear();
        for (int fd : held) ::close(fd);
        held.clear();
        if (listener >= 0) ::close(listener);
        listener = -1;
    }
};

LoopbackRelay::LoopbackRelay(std::unique_ptr<Impl> impl) : m_impl(std::move(impl)) {
    m_impl->listener = listenOnLoopback(m_impl->port);
    if (::pipe2(m_impl->wake, O_CLOEXEC) != 0) throw std::runtime_error("pipe");
    m_impl->worker = std::thread([impl = m_impl.get()] { impl->run(); });
}

std::unique_ptr<LoopbackRelay> LoopbackRelay::forwardingTo(int port) {
    auto impl = std::make_unique<Impl>();
    impl->targetPort = port;
    return std::unique_ptr<LoopbackRelay>(new LoopbackRelay(std::move(impl)));
}

std::unique_ptr<LoopbackRelay> LoopbackRelay::silent() {
    return std::unique_ptr<LoopbackRelay>(new LoopbackRelay(std::make_unique<Impl>()));
}

LoopbackRelay::~LoopbackRelay() {
    m_impl->stop();
    ::close(m_impl->wake[0]);
    ::close(m_impl->wake[1]);
}

int LoopbackRelay::port() const { return m_impl->port; }

int LoopbackRelay::accepted() const { return m_impl->acceptedCount; }

void LoopbackRelay::cut() { m_impl->stop(); }

void LoopbackRelay::freeze() {
    const char byte = 'f';
    (void)!::write(m_impl->wake[1], &byte, 1);
}

void LoopbackRelay::thaw() {
    const char byte = 't';
    (void)!::write(m_impl->wake[1], &byte, 1);
}

}  // namespace tw::test
