#pragma once

#include <QString>
#include <exception>
#include <functional>

#include "shell/Dialogs.h"

namespace tw {

// Address that the error box asks users to send screenshots to.
inline const QString kSupportAddress = QStringLiteral("support@tablewright.example");

// The text of the Application Error box. The statement, when given, is appended after "sql: ".
QString applicationErrorText(const QString& description, const QString& procedurePath, int line,
                             const QString* statement = nullptr);

// Runs the numbered statements of one handler. A statement that fails shows the Application
// Error box with the procedure and the statement's line number, then the handler goes on with
// the next statement; nothing is undone. Line numbers are what the user reads in the box.
class Procedure {
public:
    // name: window and handler, e.g. "Form1.Form_Load".
    Procedure(Dialogs& dialogs, const QString& name);

    const QString& path() const { return m_path; }

    template <typename Statement>
    void step(int line, Statement&& statement) {
        try {
            statement();
        } catch (const std::exception& failure) {
            report(line, failure);
        }
    }

    // A numbered condition. When evaluating it fails, the box is shown and the steps it
    // governs run as if it had held.
    template <typename Condition>
    bool test(int line, Condition&& condition) {
        try {
            return condition();
        } catch (const std::exception& failure) {
            report(line, failure);
            return true;
        }
    }

    // Where the box finds the statement it shows after "sql: "; without it the box shows no
    // statement part. Asked only when a box is shown.
    void showStatement(std::function<QString()> statement) { m_statement = std::move(statement); }

private:
    void report(int line, const std::exception& failure);

    Dialogs& m_dialogs;
    QString m_path;
    std::function<QString()> m_statement;
};

}  // namespace tw
