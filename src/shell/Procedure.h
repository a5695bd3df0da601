#pragma once

#include <QString>
#include <exception>
#include <functional>

#include "shell/FrontEnd.h"

namespace tw {

// Runs the numbered statements of one handler. A statement that fails is handed to the report
// with the procedure and the statement's line number, then the handler goes on with the next
// statement; nothing is undone. Line numbers are what the user reads.
class Procedure {
public:
    // name: window and handler, e.g. "Form1.Form_Load".
    Procedure(FailureReport& report, QString name);

    const QString& name() const { return m_name; }

    // True when the statement ran without failing.
    template <typename Statement>
    bool step(int line, Statement&& statement) {
        m_line = line;
        try {
            statement();
            return true;
        } catch (const std::exception& failure) {
            report(line, failure);
            return false;
        }
    }

    // A numbered condition. When evaluating it fails, the failure is reported and the steps it
    // governs run as if it had held.
    template <typename Condition>
    bool test(int line, Condition&& condition) {
        m_line = line;
        try {
            return condition();
        } catch (const std::exception& failure) {
            report(line, failure);
            return true;
        }
    }

    // A failure that came between the numbered statements, reported at the line of the
    // statement begun last, as the user's error box has always placed such failures.
    void failedAfterLastStep(const std::exception& failure) { report(m_line, failure); }
    // A failure reported at a line of the caller's choosing, outside a statement.
    void failedAt(int line, const std::exception& failure) { report(line, failure); }

    // The statement being composed or sent, asked only when a failure is reported and handed on
    // with it; quoted says whether the failure quotes it too. Without one failures quote none.
    void showStatement(std::function<QString()> statement, bool quoted = true) {
        m_statement = std::move(statement);
        m_quotesStatement = quoted;
    }
    // Where what the user is shown names other tables than the database was given (a staging
    // table's rows are the user's table's): the statement as sent, and what makes the
    // database's words about it name the user's tables. Both go with a failure as sent.
    void showSentAs(std::function<QString()> sentStatement,
                    std::function<QString(const QString&)> shownText) {
        m_sentStatement = std::move(sentStatement);
        m_shownText = std::move(shownText);
    }
    // The table the statements work on now, for the report.
    void setTable(const QString& table) {
        m_table = table;
        m_row = 0;
    }
    const QString& table() const { return m_table; }
    // The row of that table being copied, counted from 1; 0 when none is.
    void setRow(qint64 row) { m_row = row; }

    // Lets the user end the run when a failure is reported; once they did, stopRequested()
    // says so. The procedure itself decides where to stop.
    void offerStop() { m_stopOffered = true; }
    bool stopRequested() const { return m_stopRequested; }

private:
    void report(int line, const std::exception& failure);

    FailureReport& m_report;
    QString m_name;
    int m_line = 0;  // of the statement begun last
    std::function<QString()> m_statement;
    std::function<QString()> m_sentStatement;
    std::function<QString(const QString&)> m_shownText;
    bool m_quotesStatement = false;
    QString m_table;
    qint64 m_row = 0;
    bool m_stopOffered = false;
    bool m_stopRequested = false;
};

}  // namespace tw
