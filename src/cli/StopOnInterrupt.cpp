#include "cli/StopOnInterrupt.h"

#include <atomic>
#include <csignal>

namespace tw::cli {

namespace {

std::atomic<bool> g_requested{false};
static_assert(std::atomic<bool>::is_always_lock_free, "set from a signal handler");

struct sigaction g_before = {};

extern "C" void onInterrupt(int) { g_requested.store(true); }

}  // namespace

StopOnInterrupt::StopOnInterrupt() {
    struct sigaction action = {};
    action.sa_handler = onInterrupt;
    sigemptyset(&action.sa_mask);
    // The handler gives way to the default after the first Ctrl+C; a question being read on the
    // terminal is answered at once (with nothing), not read on.
    action.sa_flags = SA_RESETHAND;
    sigaction(SIGINT, &action, &g_before);
}

StopOnInterrupt::~StopOnInterrupt() { sigaction(SIGINT, &g_before, nullptr); }

void StopOnInterrupt::request() { g_requested.store(true); }

bool StopOnInterrupt::requested() { return g_requested.load(); }

}  // namespace tw::cli
