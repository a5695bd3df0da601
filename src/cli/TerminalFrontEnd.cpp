#include "cli/TerminalFrontEnd.h"

#include "cli/FailureStep.h"
#include "cli/ProgressLine.h"
#include "cli/StopOnInterrupt.h"
#include "cli/Terminal.h"
#include "shell/ReportLines.h"
#include "shell/TableVerdict.h"

namespace tw::cli {

namespace {

constexpr int kStatementShown = 200;   // characters of a failing statement on its line
constexpr qint64 kRedrawMs = 100;      // a terminal's progress line at most this often
constexpr qint64 kPlainLineMs = 5000;  // a plain progress line at most this often

// The summary's status of a table the copy worked on: "failed" for every verdict short of a
// whole copy but a stop, which the summary's "in part" then tells apart.
TableResult::Status statusOf(TableVerdict verdict) {
    switch (verdict) {
        case TableVerdict::Copied:
            return TableResult::Status::Copied;
        case TableVerdict::Stopped:
            return TableResult::Status::Stopped;
        default:
            return TableResult::Status::Failed;
    }
}

}  // namespace

QString statusName(TableResult::Status status) {
    switch (status) {
        case TableResult::Status::Copied:
            return QStringLiteral("copied");
        case TableResult::Status::Failed:
            return QStringLiteral("failed");
        case TableResult::Status::Kept:
            return QStringLiteral("kept");
        case TableResult::Status::Refused:
            return QStringLiteral("refused");
        case TableResult::Status::NotFound:
            return QStringLiteral("not found");
        case TableResult::Status::Dropped:
            return QStringLiteral("dropped");
        case TableResult::Status::Renamed:
            return QStringLiteral("renamed");
        case TableResult::Status::Stopped:
            return QStringLiteral("stopped");
    }
    return QString();
}

TerminalFrontEnd::TerminalFrontEnd(Terminal& terminal, Overwrite overwrite, QString targetName)
    : m_terminal(terminal), m_overwrite(overwrite), m_targetName(std::move(targetName)) {}

QString TerminalFrontEnd::failureLine(const Failure& failure) {
    // The windows' procedure and line number are the error box's and the log's; the terminal
    // names the step.
    return QStringLiteral("tablewright: ") + tw::failureLine(failure, kStatementShown, failureStep(failure));
}

AfterFailure TerminalFrontEnd::failed(const Failure& failure) {
    endProgressLine();
    m_failures << failure;
    m_terminal.err(failureLine(failure) + QLatin1Char('\n'));
    return AfterFailure::Resume;  // the run goes on, as the window's does after its box
}

bool TerminalFrontEnd::mayReplace(const QString& table) {
    endProgressLine();
    bool replace = m_overwrite == Overwrite::Yes;
    TableResult::Status kept = TableResult::Status::Kept;
    if (m_overwrite == Overwrite::Ask) {
        const bool emptying = m_mode == WriteMode::Truncate;
        if (m_terminal.inIsTerminal()) {
            m_terminal.err(QStringLiteral("%1 already has a table %2. %3 [y = yes, a = yes to all, n = no to "
                                          "all, Enter = no] ")
                               .arg(m_targetName, visibleText(table),
                                    emptying ? QStringLiteral("Empty it and load the copied rows?")
                                             : QStringLiteral("Replace it?")));
            const QString answer = m_terminal.readLine().trimmed().toLower();
            replace = answer == QLatin1String("y") || answer == QLatin1String("yes");
            // The answer for every table of the run still to be asked about.
            if (answer == QLatin1String("a") || answer == QLatin1String("all")) {
                replace = true;
                m_overwrite = Overwrite::Yes;
            } else if (answer == QLatin1String("n") || answer == QLatin1String("no") ||
                       answer == QLatin1String("none")) {
                m_overwrite = Overwrite::No;
            }
        } else {
            kept = TableResult::Status::Refused;
            m_terminal.err(QStringLiteral("tablewright: %1 already has a table %2; not %3 without a terminal "
                                          "to ask on. Give --overwrite yes to %4 it or --overwrite no to "
                                          "keep it.\n")
                               .arg(m_targetName, visibleText(table),
                                    emptying ? QStringLiteral("emptied") : QStringLiteral("replaced"),
                                    emptying ? QStringLiteral("empty") : QStringLiteral("replace")));
        }
    }
    if (!replace) record(table, kept);
    return replace;
}

QString TerminalFrontEnd::newNameFor(const QString&) { return m_newName; }

void TerminalFrontEnd::nothingSelected(MissingSelection) {
    m_terminal.err(QStringLiteral("tablewright: no table to work on\n"));
}

void TerminalFrontEnd::logNotWritten(const QString& path, const QString& reason) {
    endProgressLine();
    m_terminal.err(QStringLiteral("tablewright: the transfer log %1 cannot be written: %2; the work goes on "
                                  "without it\n")
                       .arg(path, reason));
}

TerminalFrontEnd::Running& TerminalFrontEnd::running(const QString& table) {
    for (Running& shown : m_running) {
        if (shown.table == table) return shown;
    }
    m_running.append(Running{table, 0, 0, {}, {}});
    return m_running.back();
}

void TerminalFrontEnd::progress(const QString& table, qint64 rowsDone, qint64 rowsTotal) {
    Running& shown = running(table);
    shown.rowsDone = rowsDone;
    shown.rowsTotal = rowsTotal;
    if (rowsDone == 1) {
        shown.clock.start();
        shown.lastWritten.start();
        m_lastDrawn.invalidate();  // a table just begun shows at once
    }
    if (!m_terminal.errIsTerminal()) {
        if (rowsDone == 1 || shown.lastWritten.elapsed() < kPlainLineMs) return;
        shown.lastWritten.start();
        m_terminal.err(progressLine(table, rowsDone, rowsTotal, shown.clock.nsecsElapsed() / 1e9) +
                       QLatin1Char('\n'));
        return;
    }
    if (m_lastDrawn.isValid() && m_lastDrawn.elapsed() < kRedrawMs) return;
    m_lastDrawn.start();
    QStringList lines;
    for (const Running& each : m_running) {
        lines << progressLine(each.table, each.rowsDone, each.rowsTotal, each.clock.nsecsElapsed() / 1e9);
    }
    m_terminal.err(redrawnBlock(m_linesDrawn, lines));
    m_linesDrawn = static_cast<int>(lines.size());
}

namespace {

// A table read back to verify it has a progress line of its own.
QString verifyingLabel(const QString& table) { return table + QStringLiteral(" (verifying)"); }

}  // namespace

void TerminalFrontEnd::verifying(const QString& table, qint64 rowsRead, qint64 rowsTotal) {
    // The copy's line gives way to the reading back.
    if (rowsRead == 1) m_running.removeIf([&](const Running& shown) { return shown.table == table; });
    progress(verifyingLabel(table), rowsRead, rowsTotal);
}

void TerminalFrontEnd::tableFinished(const TableOutcome& outcome) {
    TableResult result;
    result.table = outcome.table;
    result.outcome = outcome;
    const TableVerdict verdict = verdictOf(outcome);
    result.status = statusOf(verdict);
    m_running.removeIf([&](const Running& shown) {
        return shown.table == outcome.table || shown.table == verifyingLabel(outcome.table);
    });
    endProgressLine();
    m_terminal.err(outcomeLine(outcome) + QLatin1Char('\n'));
    if (!outcome.fellBack.isEmpty())
        m_terminal.err(QStringLiteral("tablewright: ") + fellBackLine(outcome) + '\n');
    if (!outcome.metOtherCopy.isEmpty()) {
        m_terminal.err(QStringLiteral("tablewright: ") + otherCopyLine(outcome) + QLatin1Char('\n'));
    }
    if (outcome.leftoverKept)
        m_terminal.err(QStringLiteral("tablewright: ") + leftoverLine(outcome) + QLatin1Char('\n'));
    if (outcome.stopped) {
        m_terminal.err(QStringLiteral("tablewright: the copy of table %1 was stopped before its last row\n")
                           .arg(visibleText(outcome.table)));
    }
    if (outcome.swapRefused) {
        m_terminal.err(
            QStringLiteral("tablewright: table %1 was not replaced: every row was written, but the "
                           "database refused to put the new table in the old one's place (see "
                           "above), and the old table stands as it was\n")
                .arg(visibleText(outcome.table)));
    } else if (!outcome.partLeft.isEmpty()) {
        m_terminal.err(QStringLiteral("tablewright: the load into table %1 failed, and %2\n")
                           .arg(visibleText(outcome.table), outcome.partLeft));
    } else if (outcome.oldTableKept && outcome.intoExisting) {
        m_terminal.err(QStringLiteral("tablewright: no rows went into table %1, which stands as it was\n")
                           .arg(visibleText(outcome.table)));
    } else if (verdict == TableVerdict::RowsNotAdded) {
        m_terminal.err(QStringLiteral("tablewright: table %1: %2 (the table's triggers or rules decide what "
                                      "an INSERT adds)\n")
                           .arg(visibleText(outcome.table), verdictText(outcome)));
    } else if (outcome.oldTableKept) {
        m_terminal.err(
            QStringLiteral("tablewright: table %1 was not replaced: the copy did not get every row, "
                           "and the old table stands as it was\n")
                .arg(visibleText(outcome.table)));
    }
    // A table that matches its source needs no word beyond the summary.
    if (outcome.verification && !outcome.verification->matches) {
        const QStringList lines = verificationLines(outcome.table, *outcome.verification);
        m_terminal.err(QStringLiteral("tablewright: ") + lines.join(QLatin1Char('\n')) + QLatin1Char('\n'));
    }
    m_results << result;
}

void TerminalFrontEnd::tableNotBegun(const QString& table) { record(table, TableResult::Status::Stopped); }

bool TerminalFrontEnd::stopRequested() { return StopOnInterrupt::requested(); }

bool TerminalFrontEnd::anythingFailed() const {
    if (!m_failures.isEmpty()) return true;
    for (const TableResult& result : m_results) {
        switch (result.status) {
            case TableResult::Status::Failed:
            case TableResult::Status::Refused:
            case TableResult::Status::NotFound:
            case TableResult::Status::Stopped:
                return true;
            default:
                break;
        }
        if (result.outcome.verification && !result.outcome.verification->matches) return true;
    }
    return false;
}

void TerminalFrontEnd::endProgressLine() {
    if (m_linesDrawn == 0) return;
    m_terminal.err(redrawnBlock(m_linesDrawn, {}));
    m_linesDrawn = 0;
    m_lastDrawn.invalidate();  // the lines come back with the next row
}

}  // namespace tw::cli
