#include "cli/Terminal.h"

#include <unistd.h>

#include <iostream>
#include <string>

namespace tw::cli {

Terminal::Terminal()
    : m_errIsTerminal(::isatty(STDERR_FILENO) == 1), m_inIsTerminal(::isatty(STDIN_FILENO) == 1) {}

void Terminal::out(const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    std::fwrite(utf8.constData(), 1, utf8.size(), stdout);
    std::fflush(stdout);
}

void Terminal::err(const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    std::fwrite(utf8.constData(), 1, utf8.size(), stderr);
    std::fflush(stderr);
}

QString Terminal::readLine() {
    std::string line;
    if (!std::getline(std::cin, line)) return QString();
    return QString::fromStdString(line);
}

}  // namespace tw::cli
