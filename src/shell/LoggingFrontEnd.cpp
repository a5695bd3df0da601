#include "shell/LoggingFrontEnd.h"

#include <QDateTime>

#include "shell/ReportLines.h"
#include "shell/TableVerdict.h"
#include "shell/TransferLog.h"

namespace tw {

LoggingFrontEnd::LoggingFrontEnd(FrontEnd& inner, TransferLog* log, const QString& heading)
    : m_inner(inner), m_log(log) {
    append(QDateTime::currentDateTime().toString(Qt::ISODate) + QLatin1Char(' ') + visibleText(heading));
}

void LoggingFrontEnd::write(const QString& line) { append(QStringLiteral("  ") + line); }

// The first line the log refuses is told to the user; the rest are let go without a word.
void LoggingFrontEnd::append(const QString& line) {
    if (!m_log || m_log->append({line}) || m_log->failureTold()) return;
    m_log->setFailureTold();
    m_inner.logNotWritten(m_log->filePath(), m_log->lastError());
}

AfterFailure LoggingFrontEnd::failed(const Failure& failure) {
    QString line = QStringLiteral("failed: ") + failureLine(failure);
    // What the database was given and said, where the user was shown their own table's name.
    if (!failure.sent.isEmpty())
        line += QStringLiteral(" (sent as [%1])").arg(shortened(oneLine(failure.sent), 200));
    if (!failure.said.isEmpty())
        line += QStringLiteral(" (the database said: %1)").arg(oneLine(failure.said));
    write(line);
    return m_inner.failed(failure);
}

bool LoggingFrontEnd::mayReplace(const QString& table) {
    const bool replace = m_inner.mayReplace(table);
    write(replace ? QStringLiteral("%1: to be replaced").arg(visibleText(table))
                  : QStringLiteral("%1: kept, not copied").arg(visibleText(table)));
    return replace;
}

void LoggingFrontEnd::nothingSelected(MissingSelection which) {
    write(QStringLiteral("nothing done: no table selected"));
    m_inner.nothingSelected(which);
}

void LoggingFrontEnd::tableFinished(const TableOutcome& outcome) {
    const TableVerdict verdict = verdictOf(outcome);
    QString line = outcomeLine(outcome);
    if (verdict == TableVerdict::Stopped) {
        line += QStringLiteral(" (stopped before its last row)");
    } else if (outcome.incomplete && outcome.rowsFailed == 0) {
        line += QStringLiteral(" (not every row of the source was read)");
    }
    line += outcome.swapRefused ? QStringLiteral(
                                      " (not replaced: every row was written, the database refused "
                                      "the swap, and the old table is kept)")
            : !outcome.partLeft.isEmpty() ? QStringLiteral(" (the load failed, and %1)").arg(outcome.partLeft)
            : outcome.oldTableKept && outcome.intoExisting
                ? QStringLiteral(" (no rows went in: the table is as it was)")
            : outcome.oldTableKept ? QStringLiteral(" (not replaced: the old table is kept)")
            : outcome.created      ? QString()
                                   : QStringLiteral(" (not created)");
    if (verdict == TableVerdict::RowsNotAdded) line += QStringLiteral(" (") + verdictText(outcome) + ')';
    const QString emptyTexts = emptyTextsNote(outcome);
    if (!emptyTexts.isEmpty()) line += QStringLiteral("; ") + emptyTexts;
    write(line);
    if (!outcome.fellBack.isEmpty()) write(fellBackLine(outcome));
    if (!outcome.metOtherCopy.isEmpty()) write(otherCopyLine(outcome));
    if (outcome.leftoverKept) write(leftoverLine(outcome));
    if (outcome.verification) {
        for (const QString& verified : verificationLines(outcome.table, *outcome.verification))
            write(verified);
    }
    m_inner.tableFinished(outcome);
}

void LoggingFrontEnd::tableNotBegun(const QString& table) {
    write(QStringLiteral("%1: not copied, the run was stopped first").arg(visibleText(table)));
    m_inner.tableNotBegun(table);
}

void LoggingFrontEnd::leftoverRemoved(const QString& table, const QString& leftover) {
    write(QStringLiteral("%1: removed %2, left by a copy that ended before it finished")
              .arg(visibleText(table), visibleText(leftover)));
    m_inner.leftoverRemoved(table, leftover);
}

void LoggingFrontEnd::tableDropped(const QString& table) {
    write(QStringLiteral("%1: deleted").arg(visibleText(table)));
    m_inner.tableDropped(table);
}

void LoggingFrontEnd::tableRenamed(const QString& oldName, const QString& newName) {
    write(QStringLiteral("%1: renamed to %2").arg(visibleText(oldName), visibleText(newName)));
    m_inner.tableRenamed(oldName, newName);
}

}  // namespace tw
