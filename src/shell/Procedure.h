#pragma once

#include <QString>
#include <exception>
#include <functional>

#include "shell/Dialogs.h"

namespace tw {

// Address that the error box asks users to send screenshots to.
inline const QString kSupportAddress = QStringLiteral("support@tablewright.example");

// The text of the Application Error box. The statement, when given, is appended after "sql: ",
// cut after its first kShownStatementLength characters.
inline constexpr qsizetype kShownStatementLength = 1000;
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

    // True when the statement ran without failing.
    template <typename Statement>
    bool step(int line, Statement&& statement) {
        try {
            statement();
            return true;
        } catch (const std::exception& failure) {
            report(line, failure);
            return false;
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

    // Lets the user end the run from the error box: the box offers one more button, and once
    // it was pressed stopRequested() says so. The procedure itself decides where to stop.
    void offerStop(const QString& button) { m_stopButton = button; }
    bool stopRequested() const { return m_stopRequested; }

private:
    void report(int line, const std::exception& failure);

    Dialogs& m_dialogs;
    QString m_path;
    std::function<QString()> m_statement;
    QString m_stopButton;
    bool m_stopRequested = false;
};

}  // namespace tw
