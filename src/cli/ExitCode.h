#pragma once

namespace tw::cli {

// What the command line's exit status means.
enum ExitCode {
    kExitSuccess = 0,
    kExitSomethingFailed = 1,
    kExitUsage = 2,
    kExitNoConnection = 3,
    kExitStopped = 130,  // as a shell reports a program ended by Ctrl+C
};

struct ExitCodeMeaning {
    ExitCode code;
    const char* meaning;
};

// The one wording of each status: --help prints it, and the man page's check holds the page and
// the command line's topic page (docs/command-line.md) to it.
inline constexpr ExitCodeMeaning kExitCodeMeanings[] = {
    {kExitSuccess, "everything was done (and every copy verified, when asked)"},
    {kExitSomethingFailed,
     "some rows or tables failed or could not be listed, a table was not found or not replaced, or "
     "a verification found a difference"},
    {kExitUsage, "a usage error, or the password file or variable given cannot be read"},
    {kExitNoConnection, "a connection could not be opened"},
    {kExitStopped,
     "the copy was stopped with Ctrl+C, or because its output was closed (a pipe into a command that "
     "ended), before every table was copied"},
};

}  // namespace tw::cli
