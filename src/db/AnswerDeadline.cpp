#include "db/AnswerDeadline.h"

#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <algorithm>
#include <chrono>
#include <mutex>
#include <optional>
#include <set>
#include <thread>

#include "db/DbError.h"

namespace tw {

namespace {

using Clock = std::chrono::steady_clock;

// A time-out of the server's own (a statement timeout) ends the call more gently, with the
// connection kept: the program's own comes a little later.
constexpr std::chrono::seconds kAfterServersOwn{5};

// How long ago the socket last received data; none where it cannot tell (not TCP).
std::optional<std::chrono::milliseconds> sinceLastReceived(int socket) {
    tcp_info info{};
    socklen_t length = sizeof info;
    if (::getsockopt(socket, IPPROTO_TCP, TCP_INFO, &info, &length) != 0) return std::nullopt;
    return std::chrono::milliseconds(info.tcpi_last_data_recv);
}

}  // namespace

struct AnswerDeadline::Watched {
    std::vector<int> sockets;
    Clock::time_point start;
    std::chrono::seconds limit;
    Measure measure;
    int seconds;
    bool passed = false;
    std::optional<OpenSockets> connectingSince;  // a connection being made: its sockets are found when due

    // When the server will have been silent too long, as things stand; none: never.
    std::optional<Clock::time_point> due(Clock::time_point now) const {
        if (measure == Measure::Whole) return start + limit;
        Clock::time_point heard = start;
        for (const int socket : sockets) {
            const std::optional<std::chrono::milliseconds> since = sinceLastReceived(socket);
            if (!since) return std::nullopt;
            heard = std::max(heard, now - *since);
        }
        return heard + limit;
    }
};

namespace {

// One thread for the whole program watches every call in progress; it lives as long as the
// program does.
class Watch {
public:
    static Watch& program() {
        static Watch* const watch = new Watch;  // never ends: calls may be in progress at exit
        return *watch;
    }

    void add(AnswerDeadline::Watched* watched) {
        const std::lock_guard<std::mutex> held(m_lock);
        m_watched.insert(watched);  // looked at within the second: no call waits to be added
    }
    void remove(AnswerDeadline::Watched* watched) {
        const std::lock_guard<std::mutex> held(m_lock);
        m_watched.erase(watched);
    }
    bool passed(const AnswerDeadline::Watched* watched) {
        const std::lock_guard<std::mutex> held(m_lock);
        return watched->passed;
    }

private:
    Watch() {
        std::thread([this] { run(); }).detach();
    }

    void run() {
        std::unique_lock<std::mutex> held(m_lock);
        for (;;) {
            const Clock::time_point now = Clock::now();
            // Every second: a call is added or ends many times a second, and none waits for it.
            const Clock::time_point next = now + std::chrono::seconds(1);
            for (AnswerDeadline::Watched* watched : m_watched) {
                if (watched->passed) continue;
                const std::optional<Clock::time_point> due = watched->due(now);
                if (!due) continue;
                if (*due <= now) {
                    // Shut while the call is still in progress: its connection holds the sockets
                    // open until it returns, so none of them is another's yet.
                    watched->passed = true;
                    if (watched->connectingSince)
                        watched->sockets = OpenSockets::now().madeSince(*watched->connectingSince);
                    for (const int socket : watched->sockets) ::shutdown(socket, SHUT_RDWR);
                }
            }
            // Nothing wakes the watch early: it sleeps with the lock free. (A condition variable's
            // timed wait is one the thread sanitizer of this compiler cannot see release the lock.)
            held.unlock();
            std::this_thread::sleep_until(next);
            held.lock();
        }
    }

    std::mutex m_lock;
    std::set<AnswerDeadline::Watched*> m_watched;
};

}  // namespace

// Read from the descriptors' names alone: the other threads' files are never touched, since
// another thread may close one and open another under its number meanwhile.
OpenSockets OpenSockets::now() {
    OpenSockets open;
    const QString folder = QStringLiteral("/proc/self/fd/");
    const QDir descriptors(folder);
    for (const QString& name : descriptors.entryList(QDir::Files | QDir::System | QDir::NoDotAndDotDot)) {
        bool number = false;
        const int fd = name.toInt(&number);
        if (!number) continue;
        const QString target = QFile::symLinkTarget(folder + name);  // "socket:[12345]"
        const QString prefix = QStringLiteral("socket:[");
        if (!target.section(QLatin1Char('/'), -1).startsWith(prefix)) continue;
        const QString inode = target.section(QLatin1Char('/'), -1).mid(prefix.size()).chopped(1);
        open.m_sockets.emplace_back(fd, inode.toULong());
    }
    return open;
}

// Only the sockets made since are looked at, which are this thread's own: those that carry a
// stream (the way to a server, not a name lookup's datagrams).
std::vector<int> OpenSockets::madeSince(const OpenSockets& before) const {
    std::vector<int> made;
    for (const auto& socket : m_sockets) {
        if (std::find(before.m_sockets.begin(), before.m_sockets.end(), socket) != before.m_sockets.end())
            continue;
        int type = 0;
        socklen_t length = sizeof type;
        if (::getsockopt(socket.first, SOL_SOCKET, SO_TYPE, &type, &length) == 0 && type == SOCK_STREAM)
            made.push_back(socket.first);
    }
    return made;
}

AnswerDeadline::AnswerDeadline(const std::vector<int>& sockets, int seconds, Measure measure) {
    if (sockets.empty() || seconds <= 0) return;
    const std::chrono::seconds limit = measure == Measure::Whole
                                           ? std::chrono::seconds(seconds) + kAfterServersOwn
                                           : std::chrono::seconds(seconds);
    m_watched = new Watched{sockets, Clock::now(), limit, measure, seconds, false, std::nullopt};
    Watch::program().add(m_watched);
}

AnswerDeadline::AnswerDeadline(const OpenSockets& before, int seconds) {
    if (seconds <= 0) return;
    m_watched = new Watched{
        {},    Clock::now(), std::chrono::seconds(seconds) + kAfterServersOwn, Measure::Whole, seconds,
        false, before};
    Watch::program().add(m_watched);
}

AnswerDeadline::~AnswerDeadline() {
    if (!m_watched) return;
    Watch::program().remove(m_watched);
    delete m_watched;
}

bool AnswerDeadline::passed() const { return m_watched && Watch::program().passed(m_watched); }

DbError AnswerDeadline::failure() const {
    const int seconds = m_watched ? m_watched->seconds : 0;
    DbError failure(
        m_watched && m_watched->measure == Measure::Silence
            ? QStringLiteral("The server sent nothing for %1 seconds; the connection was given up.")
                  .arg(seconds)
            : QStringLiteral("The server did not answer within %1 seconds; the connection was "
                             "given up.")
                  .arg(seconds),
        QStringLiteral("HYT00"));
    failure.markConnectionLost();
    return failure;
}

}  // namespace tw
