#include "cli/RunSummary.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>

#include "cli/FailureStep.h"
#include "cli/ProgressLine.h"
#include "shell/GroupedCount.h"
#include "shell/ReportLines.h"
#include "shell/TableVerdict.h"

namespace tw::cli {

namespace {

// A table that took its name without every row is no failed table to a reader of the summary,
// whose old table, if any, is gone: "in part". (--json keeps "failed", which scripts read, and
// says the verdict beside it.)
QString shownStatus(const TableResult& result) {
    // A table the copy did not work on has its status only.
    if (result.outcome.table.isEmpty()) return statusName(result.status);
    switch (verdictOf(result.outcome)) {
        case TableVerdict::RowsRefused:
        case TableVerdict::RowsNotAdded:
        case TableVerdict::InPart:
            // Not a row in: no part of it.
            if (result.outcome.rowsWritten > 0) return QStringLiteral("in part");
            break;
        default:
            break;
    }
    return statusName(result.status);
}

QString verdict(const TableResult& result) {
    const std::optional<Verification>& verification = result.outcome.verification;
    if (!verification) return QStringLiteral("-");
    if (!verification->error.isEmpty()) return QStringLiteral("unread");
    if (!verification->matches) return QStringLiteral("NO");
    if (verification->knownChanges.isEmpty()) return QStringLiteral("yes");
    return QStringLiteral("yes (%1)").arg(verification->knownChanges.join(QStringLiteral(", ")));
}

QJsonValue count(qint64 value) { return QJsonValue(static_cast<double>(value)); }

// What the tables of a run add up to.
struct Totals {
    int tables = 0;
    int copied = 0;
    int verified = 0;
    int matched = 0;
    qint64 rowsRead = 0;
    qint64 rowsWritten = 0;
    qint64 rowsFailed = 0;
    double seconds = 0;
};

Totals totalsOf(const QList<TableResult>& results, std::optional<double> runSeconds) {
    Totals totals;
    for (const TableResult& result : results) {
        const TableOutcome& outcome = result.outcome;
        ++totals.tables;
        if (result.status == TableResult::Status::Copied) ++totals.copied;
        if (outcome.verification) {
            ++totals.verified;
            if (outcome.verification->matches) ++totals.matched;
        }
        totals.rowsRead += outcome.rowsRead;
        totals.rowsWritten += outcome.rowsWritten;
        totals.rowsFailed += outcome.rowsFailed;
        totals.seconds += outcome.seconds;
    }
    if (runSeconds) totals.seconds = *runSeconds;
    return totals;
}

}  // namespace

QString alignedTable(const QList<QStringList>& rows, int wordColumns) {
    QList<qsizetype> widths;
    for (const QStringList& row : rows) {
        widths.resize(std::max(widths.size(), row.size()), 0);
        for (qsizetype column = 0; column < row.size(); ++column) {
            widths[column] = std::max(widths[column], row[column].size());
        }
    }
    QString text;
    for (const QStringList& row : rows) {
        QStringList cells;
        for (qsizetype column = 0; column < row.size(); ++column) {
            // Names and words to the left, figures to the right.
            cells << (column < wordColumns ? row[column].leftJustified(widths[column])
                                           : row[column].rightJustified(widths[column]));
        }
        text += cells.join(QStringLiteral("  ")).trimmed() + QLatin1Char('\n');
    }
    return text;
}

QString summaryTable(const QList<TableResult>& results, bool verified, std::optional<double> runSeconds) {
    QList<QStringList> rows{{"table", "status", "read", "written", "failed", "seconds"}};
    if (verified) rows.front() << QStringLiteral("matches");
    for (const TableResult& result : results) {
        const TableOutcome& outcome = result.outcome;
        QStringList row{visibleText(result.table),        shownStatus(result),
                        groupedCount(outcome.rowsRead),   groupedCount(outcome.rowsWritten),
                        groupedCount(outcome.rowsFailed), QString::number(outcome.seconds, 'f', 2)};
        if (verified) row << verdict(result);
        rows << row;
    }
    const Totals totals = totalsOf(results, runSeconds);
    QStringList total{QStringLiteral("total"),
                      QStringLiteral("%1 of %2 copied").arg(totals.copied).arg(totals.tables),
                      groupedCount(totals.rowsRead),
                      groupedCount(totals.rowsWritten),
                      groupedCount(totals.rowsFailed),
                      QString::number(totals.seconds, 'f', 2)};
    if (verified) total << QStringLiteral("%1 of %2").arg(totals.matched).arg(totals.verified);
    rows << total;
    // The tables' notes come before the totals, which end the summary.
    QStringList lines = alignedTable(rows, 2).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    const QString totalLine = lines.takeLast();
    for (const TableResult& result : results) {
        if (!result.outcome.fellBack.isEmpty()) lines << fellBackLine(result.outcome);
        const QString emptyTexts = emptyTextsLine(result.outcome);
        if (!emptyTexts.isEmpty()) lines << emptyTexts;
    }
    lines << totalLine;
    return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

QString summaryJson(const QString& command, const QList<TableResult>& results, const QList<Failure>& failures,
                    int exitCode, const QString& rowCondition, const QString& mode,
                    std::optional<double> runSeconds) {
    QJsonArray tables;
    for (const TableResult& result : results) {
        QJsonObject table{{"table", result.table},
                          {"status", statusName(result.status)},
                          {"verdict", result.outcome.table.isEmpty() ? statusName(result.status)
                                                                     : verdictText(result.outcome)},
                          {"rowsRead", count(result.outcome.rowsRead)},
                          {"rowsWritten", count(result.outcome.rowsWritten)},
                          {"rowsFailed", count(result.outcome.rowsFailed)},
                          {"emptyTextsAsNull", count(result.outcome.emptyTextsAsNull)},
                          {"emptyBytesAsNull", count(result.outcome.emptyBytesAsNull)},
                          {"seconds", result.outcome.seconds}};
        if (result.outcome.oldTableKept) table.insert("oldTableKept", true);
        if (!result.outcome.partLeft.isEmpty()) table.insert("partLeft", result.outcome.partLeft);
        if (result.outcome.swapRefused) table.insert("swapRefused", true);
        if (result.outcome.leftoverKept) table.insert("leftoverKept", true);
        if (!result.outcome.metOtherCopy.isEmpty()) table.insert("metOtherCopy", result.outcome.metOtherCopy);
        if (!result.outcome.fellBack.isEmpty()) {
            table.insert("plainTypeColumns", QJsonArray::fromStringList(result.outcome.fellBack));
        }
        if (result.outcome.verification) {
            const Verification& verification = *result.outcome.verification;
            QJsonArray differences;
            for (const RowDifference& difference : verification.differences) {
                differences.append(QJsonObject{{"onlyIn", difference.onlyInSource ? "source" : "target"},
                                               {"values", QJsonArray::fromStringList(difference.values)}});
            }
            QJsonObject verified{{"matches", verification.matches},
                                 {"sourceRows", count(verification.sourceRows)},
                                 {"targetRows", count(verification.targetRows)},
                                 {"differences", differences}};
            if (!verification.knownChanges.isEmpty()) {
                verified.insert("knownChanges", QJsonArray::fromStringList(verification.knownChanges));
            }
            if (!verification.differingColumns.isEmpty()) {
                verified.insert("differingColumns",
                                QJsonArray::fromStringList(verification.differingColumns));
            }
            if (!verification.error.isEmpty()) verified.insert("error", verification.error);
            table.insert("verification", verified);
        }
        tables.append(table);
    }
    QJsonArray failed;
    for (const Failure& failure : failures) {
        QJsonObject entry{{"procedure", failure.procedure},
                          {"line", failure.line},
                          {"message", failure.description},
                          {"sqlState", failure.sqlState},
                          {"nativeError", failure.nativeError}};
        // The procedure and line are the windows' names, kept for scripts that read them.
        const QString step = failureStep(failure);
        if (!step.isEmpty()) entry.insert("step", step);
        if (!failure.table.isEmpty()) entry.insert("table", failure.table);
        if (failure.row > 0) entry.insert("row", count(failure.row));
        const QString statement = failure.statement ? *failure.statement : failure.composing;
        if (!statement.isEmpty()) entry.insert("statement", statement);
        failed.append(entry);
    }
    const Totals totals = totalsOf(results, runSeconds);
    const QJsonObject totalled{{"tables", totals.tables},
                               {"copied", totals.copied},
                               {"rowsRead", count(totals.rowsRead)},
                               {"rowsWritten", count(totals.rowsWritten)},
                               {"rowsFailed", count(totals.rowsFailed)},
                               {"seconds", totals.seconds}};
    QJsonObject document{{"command", command},
                         {"tables", tables},
                         {"failures", failed},
                         {"totals", totalled},
                         {"exitCode", exitCode}};
    if (!rowCondition.isEmpty()) document.insert("where", rowCondition);
    if (!mode.isEmpty() && mode != QLatin1String("replace")) document.insert("mode", mode);
    return QString::fromUtf8(QJsonDocument(document).toJson(QJsonDocument::Indented));
}

QString previewText(const QList<TablePreview>& previews) {
    QString text;
    for (const TablePreview& preview : previews) {
        text += QStringLiteral("%1: %2\n").arg(visibleText(preview.table), preview.action);
        text += QStringLiteral("  why: %1\n").arg(visibleText(preview.why));
        if (!preview.error.isEmpty()) {
            text += QStringLiteral("  not copied: %1\n").arg(oneLine(preview.error));
            continue;
        }
        text += QStringLiteral("  rows: %1\n").arg(groupedCount(preview.rows));
        if (!preview.columns.isEmpty()) {
            text += QStringLiteral("  columns: %1\n")
                        .arg(visibleText(preview.columns.join(QStringLiteral(", "))));
        }
        for (const QString& statement : preview.statements)
            text += QStringLiteral("  %1\n").arg(visibleText(statement));
    }
    return text;
}

QString previewJson(const QList<TablePreview>& previews, int exitCode) {
    QJsonArray tables;
    for (const TablePreview& preview : previews) {
        QJsonObject table{{"table", preview.table},
                          {"action", preview.action},
                          {"why", preview.why},
                          {"rows", count(preview.rows)},
                          {"columns", QJsonArray::fromStringList(preview.columns)},
                          {"statements", QJsonArray::fromStringList(preview.statements)}};
        if (!preview.error.isEmpty()) table.insert("error", preview.error);
        tables.append(table);
    }
    const QJsonObject document{
        {"command", "copy"}, {"dryRun", true}, {"tables", tables}, {"exitCode", exitCode}};
    return QString::fromUtf8(QJsonDocument(document).toJson(QJsonDocument::Indented));
}

}  // namespace tw::cli
