#pragma once

#include <QElapsedTimer>
#include <QList>
#include <optional>

#include "cli/CommandOptions.h"
#include "shell/FrontEnd.h"

namespace tw::cli {

class Terminal;

// What became of one table the command named.
struct TableResult {
    enum class Status { Copied, Failed, Kept, Refused, NotFound, Dropped, Renamed, Stopped };
    QString table;
    Status status = Status::Failed;
    TableOutcome outcome;  // for tables the copy worked on, with its verification if asked for
};

QString statusName(TableResult::Status status);

// The command line's front end: questions answered by the options or on the terminal, each
// failure as one line on standard error, progress as a line redrawn in place on a terminal
// (plain lines otherwise), and a record of every table for the summary.
class TerminalFrontEnd : public FrontEnd {
public:
    TerminalFrontEnd(Terminal& terminal, Overwrite overwrite, QString targetName);

    // The new name a rename gives.
    void renameTo(const QString& name) { m_newName = name; }
    // What a copy does with a table the target has, which the question names.
    void writeMode(WriteMode mode) { m_mode = mode; }

    AfterFailure failed(const Failure& failure) override;
    bool mayReplace(const QString& table) override;
    QString newNameFor(const QString& oldName) override;
    void nothingSelected(MissingSelection which) override;
    void progress(const QString& table, qint64 rowsDone, qint64 rowsTotal) override;
    void tableFinished(const TableOutcome& outcome) override;
    // Shown as the copy's progress is, on a line of its own: "EMP (verifying)  1,234 of 5,000 rows …".
    void verifying(const QString& table, qint64 rowsRead, qint64 rowsTotal) override;
    void tableNotBegun(const QString& table) override;
    void logNotWritten(const QString& path, const QString& reason) override;
    // Ctrl+C was pressed: every table ends after the rows read so far are written.
    bool stopRequested() override;
    // Nothing to let through, and Ctrl+C is a flag.
    bool asksBetweenRowsFromAnyThread() const override { return true; }

    // A table the command named, with what became of it outside the copy.
    void record(const QString& table, TableResult::Status status) {
        TableResult result;
        result.table = table;
        result.status = status;
        m_results << result;
    }
    const QList<TableResult>& results() const { return m_results; }
    const QList<Failure>& failures() const { return m_failures; }
    // Whether anything went wrong: a failure, a table not copied whole, a difference found.
    bool anythingFailed() const;

    // A failure as the one line standard error shows.
    static QString failureLine(const Failure& failure);

private:
    WriteMode m_mode = WriteMode::Replace;
    // A table being copied, as its progress line shows it.
    struct Running {
        QString table;
        qint64 rowsDone = 0;
        qint64 rowsTotal = 0;
        QElapsedTimer clock;
        QElapsedTimer lastWritten;  // its plain line, where standard error is no terminal
    };
    Running& running(const QString& table);
    void endProgressLine();

    Terminal& m_terminal;
    Overwrite m_overwrite;
    QString m_targetName;
    QString m_newName;
    QList<TableResult> m_results;
    QList<Failure> m_failures;
    QList<Running> m_running;  // one line each on a terminal, in the order they began
    QElapsedTimer m_lastDrawn;
    int m_linesDrawn = 0;  // the progress lines on the terminal, the last without its end
};

}  // namespace tw::cli
