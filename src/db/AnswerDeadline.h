#pragma once

#include <QString>
#include <utility>
#include <vector>

namespace tw {

class DbError;

// The stream sockets of the process as they stand: taken before and after a connection is made
// (one connection is made at a time), they tell which sockets the connection's driver talks to
// its server through, which no driver says.
class OpenSockets {
public:
    static OpenSockets now();
    // The sockets open now that were not open when `before` was taken.
    std::vector<int> madeSince(const OpenSockets& before) const;

private:
    std::vector<std::pair<int, unsigned long>> m_sockets;  // descriptor and inode
};

// While it lives, a call waits on a server over these sockets. A server that stops answering
// (its process stopped, its machine frozen) leaves a driver waiting without end: the kernel
// still answers for it, so no time-out of the connection itself ever comes. Once the server has
// not answered in time, the sockets are shut: the call ends as on a lost connection, and
// passed() says why.
class AnswerDeadline {
public:
    // Whole: the call takes at most the seconds given (a statement that changes the database).
    // Silence: the server may send nothing for at most that long (a read takes as long as it
    // takes while rows come); a socket that cannot tell when it last received never ends so.
    enum class Measure { Whole, Silence };

    AnswerDeadline(const std::vector<int>& sockets, int seconds, Measure measure);
    // A connection being made: its sockets are those made since `before` (connections are made
    // one at a time), which only the watch looks for, once the seconds and a little more have
    // passed. A driver's login time-out may not cover the server's greeting.
    AnswerDeadline(const OpenSockets& before, int seconds);
    ~AnswerDeadline();
    AnswerDeadline(const AnswerDeadline&) = delete;
    AnswerDeadline& operator=(const AnswerDeadline&) = delete;

    bool passed() const;
    // What a call that ended so failed with: the time-out, on a lost connection.
    DbError failure() const;

    struct Watched;

private:
    Watched* m_watched = nullptr;  // none where there is nothing to watch
};

}  // namespace tw
