#pragma once

namespace tw::cli {

// While it lives, Ctrl+C (SIGINT) asks the run to end after the batches being written instead of
// killing the program; a second Ctrl+C kills it as before. An output that nobody reads any more
// (a pipe into "head" that ended) asks the same: see Terminal.
class StopOnInterrupt {
public:
    StopOnInterrupt();
    ~StopOnInterrupt();
    StopOnInterrupt(const StopOnInterrupt&) = delete;
    StopOnInterrupt& operator=(const StopOnInterrupt&) = delete;

    // Ctrl+C was pressed, or the output closed, since the program began.
    static bool requested();
    // The output closed: the run ends as after Ctrl+C.
    static void request();
};

}  // namespace tw::cli
