#include "cli/Terminal.h"

#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <iostream>
#include <string>

#include "cli/StopOnInterrupt.h"

namespace tw::cli {

Terminal::Terminal()
    : m_errIsTerminal(::isatty(STDERR_FILENO) == 1), m_inIsTerminal(::isatty(STDIN_FILENO) == 1) {
    // A write to a pipe nobody reads fails with EPIPE instead of killing the program, which then
    // ends its run as after Ctrl+C.
    std::signal(SIGPIPE, SIG_IGN);
}

namespace {

// Nobody reads a stream whose pipe was closed: the run is asked to end, as Ctrl+C asks it.
void write(FILE* stream, const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    errno = 0;
    const bool written =
        std::fwrite(utf8.constData(), 1, utf8.size(), stream) == static_cast<size_t>(utf8.size()) &&
        std::fflush(stream) == 0;
    if (!written && errno == EPIPE) StopOnInterrupt::request();
    if (!written) std::clearerr(stream);
}

}  // namespace

void Terminal::out(const QString& text) { write(stdout, text); }

void Terminal::err(const QString& text) { write(stderr, text); }

QString Terminal::readLine() {
    std::string line;
    if (!std::getline(std::cin, line)) return QString();
    return QString::fromStdString(line);
}

}  // namespace tw::cli
