// A TCP proxy on 127.0.0.1 that holds every chunk of bytes a set time in each direction before
// passing it on, so that a copy into a server on this machine meets the round trips of one
// across a network. Chunks keep their order and each waits only for its own time, not behind
// the delay of the one before: the delay adds latency, never a limit on throughput.
//
//   bench_delay_proxy --to PORT [--listen PORT] [--delay-ms 0.5]
//
// Prints the port it listens on as its first line, then forwards every connection to PORT on
// 127.0.0.1 until SIGTERM or SIGINT. 0.5 ms each way is a round trip of 1 ms, a server in the
// same data centre. As each connection ends it writes a line to stderr:
//
//   link up_chunks=N up_bytes=N down_chunks=N down_bytes=N late_us_mean=F late_us_max=F
//
// "up" is client to server; a chunk the client sends and waits for an answer to is a round
// trip. Late is how long after its due time a chunk went out (the proxy waiting for a core).
#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <optional>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// What one direction may hold before the proxy stops reading from its sender: enough for the
// bytes of a millisecond at any speed loopback reaches, and a bound on memory.
constexpr size_t kHeldLimit = 16 * 1024 * 1024;

struct Chunk {
    Clock::time_point due;
    std::string bytes;
    size_t sent = 0;
};

// Bytes from one socket to the other, in the order they came, each with the time it may go.
struct Direction {
    int from = -1;
    int to = -1;
    std::deque<Chunk> held;
    size_t heldBytes = 0;
    bool senderEnded = false;  // the sender closed its side; pass the end on once all is sent
    bool ended = false;        // the end passed on
    long long chunks = 0;
    long long bytes = 0;
    double lateUsSum = 0;
    double lateUsMax = 0;

    bool wantsToRead() const { return !senderEnded && heldBytes < kHeldLimit; }
};

struct Link {
    int client;
    int server;
    Direction up;    // client to server
    Direction down;  // server to client
    bool broken = false;

    Link(int c, int s) : client(c), server(s) {
        up.from = down.to = c;
        up.to = down.from = s;
    }
    bool finished() const { return broken || (up.ended && down.ended); }
};

[[noreturn]] void fail(const char* what) {
    std::fprintf(stderr, "bench_delay_proxy: %s: %s\n", what, std::strerror(errno));
    std::exit(1);
}

void makeQuickAndNonBlocking(int fd) {
    // Each chunk goes out when it is due, not when the kernel has gathered a full segment.
    const int on = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
}

sockaddr_in loopback(int port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<uint16_t>(port));
    return address;
}

int listenOn(int& port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) fail("socket");
    const int on = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    sockaddr_in address = loopback(port);
    socklen_t length = sizeof address;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), length) != 0) fail("bind");
    if (::listen(fd, 64) != 0) fail("listen");
    if (::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0) fail("getsockname");
    port = ntohs(address.sin_port);
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
    return fd;
}

int connectTo(int port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return -1;
    const sockaddr_in address = loopback(port);
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

// Reads what the sender has, once; false when the link is broken.
bool receive(Direction& direction, Clock::duration delay) {
    static char buffer[64 * 1024];
    const ssize_t got = ::recv(direction.from, buffer, sizeof buffer, 0);
    if (got > 0) {
        direction.held.push_back({Clock::now() + delay, std::string(buffer, static_cast<size_t>(got))});
        direction.heldBytes += static_cast<size_t>(got);
        return true;
    }
    if (got == 0) {
        direction.senderEnded = true;
        return true;
    }
    return errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR;
}

// Sends every chunk that is due, as far as the receiver takes it; false when the link is broken.
bool sendDue(Direction& direction, Clock::time_point now) {
    while (!direction.held.empty() && direction.held.front().due <= now) {
        Chunk& chunk = direction.held.front();
        if (chunk.sent == 0) {
            const double late = std::chrono::duration<double, std::micro>(now - chunk.due).count();
            direction.lateUsSum += late;
            direction.lateUsMax = std::max(direction.lateUsMax, late);
        }
        const ssize_t sent = ::send(direction.to, chunk.bytes.data() + chunk.sent,
                                    chunk.bytes.size() - chunk.sent, MSG_NOSIGNAL | MSG_DONTWAIT);
        if (sent < 0) return errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR;
        chunk.sent += static_cast<size_t>(sent);
        if (chunk.sent < chunk.bytes.size()) return true;  // the receiver is full for now
        direction.heldBytes -= chunk.bytes.size();
        ++direction.chunks;
        direction.bytes += static_cast<long long>(chunk.bytes.size());
        direction.held.pop_front();
    }
    if (direction.held.empty() && direction.senderEnded && !direction.ended) {
        ::shutdown(direction.to, SHUT_WR);
        direction.ended = true;
    }
    return true;
}

void report(const Link& link) {
    const long long chunks = link.up.chunks + link.down.chunks;
    std::fprintf(stderr,
                 "link up_chunks=%lld up_bytes=%lld down_chunks=%lld down_bytes=%lld late_us_mean=%.1f "
                 "late_us_max=%.1f\n",
                 link.up.chunks, link.up.bytes, link.down.chunks, link.down.bytes,
                 chunks ? (link.up.lateUsSum + link.down.lateUsSum) / static_cast<double>(chunks) : 0.0,
                 std::max(link.up.lateUsMax, link.down.lateUsMax));
}

volatile sig_atomic_t stopping = 0;

struct Options {
    int targetPort = 0;
    int listenPort = 0;
    double delayMs = 0.5;
};

Options parse(int argc, char** argv) {
    Options options;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string name = argv[i];
        if (name == "--to") {
            options.targetPort = std::atoi(argv[i + 1]);
        } else if (name == "--listen") {
            options.listenPort = std::atoi(argv[i + 1]);
        } else if (name == "--delay-ms") {
            options.delayMs = std::atof(argv[i + 1]);
        } else {
            options.targetPort = 0;
            break;
        }
    }
    if (argc % 2 == 0 || options.targetPort <= 0 || options.delayMs < 0) {
        std::fprintf(stderr, "usage: bench_delay_proxy --to PORT [--listen PORT] [--delay-ms 0.5]\n");
        std::exit(2);
    }
    return options;
}

}  // namespace

int main(int argc, char** argv) {
    const Options options = parse(argc, argv);
    const auto delay = std::chrono::duration_cast<Clock::duration>(
        std::chrono::duration<double, std::milli>(options.delayMs));
    ::signal(SIGPIPE, SIG_IGN);
    // SIGTERM and SIGINT end the proxy only while it waits in ppoll, so that a link it is
    // handling is reported whole.
    struct sigaction onStop {};
    onStop.sa_handler = [](int) { stopping = 1; };
    ::sigaction(SIGTERM, &onStop, nullptr);
    ::sigaction(SIGINT, &onStop, nullptr);
    sigset_t stopSignals, waiting;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGINT);
    ::sigprocmask(SIG_BLOCK, &stopSignals, &waiting);
    sigdelset(&waiting, SIGTERM);
    sigdelset(&waiting, SIGINT);
    // The kernel may otherwise wake the proxy 50 us late, a tenth of the default delay.
    ::prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
    int port = options.listenPort;
    const int listener = listenOn(port);
    std::printf("%d\n", port);
    std::fflush(stdout);

    std::deque<Link> links;
    std::vector<pollfd> watched;
    for (;;) {
        const Clock::time_point now = Clock::now();
        std::optional<Clock::time_point> wake;
        watched.assign(1, {listener, POLLIN, 0});
        for (Link& link : links) {
            link.broken = link.broken || !sendDue(link.up, now) || !sendDue(link.down, now);
            if (link.finished()) continue;
            short client = 0, server = 0;
            // A chunk still held after sendDue is either not yet due (wake for it) or waits for
            // its receiver to take more (wait until it can).
            for (Direction* direction : {&link.up, &link.down}) {
                short& from = direction == &link.up ? client : server;
                short& to = direction == &link.up ? server : client;
                if (direction->wantsToRead()) from |= POLLIN;
                if (direction->held.empty()) continue;
                if (direction->held.front().due <= now) {
                    to |= POLLOUT;
                } else if (!wake || direction->held.front().due < *wake) {
                    wake = direction->held.front().due;
                }
            }
            // A socket with nothing asked of it is left out (a negative descriptor), or a hang-up
            // it reported while the other direction still drains would wake the proxy at once.
            watched.push_back({client ? link.client : -1, client, 0});
            watched.push_back({server ? link.server : -1, server, 0});
        }
        // Finished links were left out of watched: close them now, keeping the order of the rest.
        std::erase_if(links, [](Link& link) {
            if (!link.finished()) return false;
            report(link);
            ::close(link.client);
            ::close(link.server);
            return true;
        });

        timespec timeout{};
        if (wake) {
            const auto wait = std::max(Clock::duration::zero(), *wake - now);
            const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(wait).count();
            timeout.tv_sec = static_cast<time_t>(ns / 1000000000);
            timeout.tv_nsec = static_cast<long>(ns % 1000000000);
        }
        if (::ppoll(watched.data(), watched.size(), wake ? &timeout : nullptr, &waiting) < 0) {
            if (errno != EINTR) fail("ppoll");
            if (!stopping) continue;
            for (const Link& link : links) report(link);
            return 0;
        }

        const size_t polled = links.size();
        for (size_t i = 0; i < polled; ++i) {
            Link& link = links[i];
            const short client = watched[1 + 2 * i].revents;
            const short server = watched[2 + 2 * i].revents;
            if ((client & (POLLIN | POLLHUP | POLLERR)) && link.up.wantsToRead() &&
                !receive(link.up, delay)) {
                link.broken = true;
            }
            if ((server & (POLLIN | POLLHUP | POLLERR)) && link.down.wantsToRead() &&
                !receive(link.down, delay)) {
                link.broken = true;
            }
            // A receiver that went away for good shows as an error on its socket.
            if ((client | server) & (POLLERR | POLLNVAL)) link.broken = true;
        }
        if (watched[0].revents & POLLIN) {
            for (;;) {
                const int client = ::accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
                if (client < 0) break;
                const int server = connectTo(options.targetPort);
                if (server < 0) {
                    ::close(client);
                    continue;
                }
                makeQuickAndNonBlocking(client);
                makeQuickAndNonBlocking(server);
                links.emplace_back(client, server);
            }
        }
    }
}
