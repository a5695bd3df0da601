#pragma once

namespace tw::cli {

// While it lives, Ctrl+C (SIGINT) asks the run to end after the batches being written instead of
// killing the program; a second Ctrl+C kills it as before.
class StopOnInterrupt {
public:
    StopOnInterrupt();
    ~StopOnInterrupt();
    StopOnInterrupt(const StopOnInterrupt&) = delete;
    StopOnInterrupt& operator=(const StopOnInterrupt&) = delete;

    // Ctrl+C was pressed since the program began.
    static bool requested();
};

}  // namespace tw::cli
