#pragma once

namespace tw::cli {

// What the command line's exit status means; --help and the README say the same.
enum ExitCode {
    kExitSuccess = 0,          // everything copied (and verified, when asked)
    kExitSomethingFailed = 1,  // some rows or tables failed, or a verification found a difference
    kExitUsage = 2,            // the command line itself was wrong
    kExitNoConnection = 3,     // a connection could not be opened
};

}  // namespace tw::cli
