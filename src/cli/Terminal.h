#pragma once

#include <QString>
#include <cstdio>

namespace tw::cli {

// Where the command line writes and asks: standard output for results, standard error for
// progress, failures and questions, standard input for answers.
class Terminal {
public:
    Terminal();

    void out(const QString& text);
    void err(const QString& text);
    // A line typed on standard input, without its end; empty at the end of input.
    QString readLine();

    bool errIsTerminal() const { return m_errIsTerminal; }
    bool inIsTerminal() const { return m_inIsTerminal; }

private:
    bool m_errIsTerminal;
    bool m_inIsTerminal;
};

}  // namespace tw::cli
