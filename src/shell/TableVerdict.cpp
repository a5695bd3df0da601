#include "shell/TableVerdict.h"

#include "shell/GroupedCount.h"

namespace tw {

namespace {

QString rows(qint64 count) {
    return count == 1 ? QStringLiteral("1 row") : groupedCount(count) + QStringLiteral(" rows");
}

}  // namespace

TableVerdict verdictOf(const TableOutcome& outcome) {
    if (outcome.stopped) return TableVerdict::Stopped;
    if (outcome.oldTableKept) return TableVerdict::NotReplaced;
    if (!outcome.created) return TableVerdict::NotCopied;
    if (outcome.rowsNotLoaded != 0) return TableVerdict::RowsNotAdded;
    if (outcome.rowsFailed > 0) return TableVerdict::RowsRefused;
    if (outcome.incomplete) return TableVerdict::InPart;
    return TableVerdict::Copied;
}

QString whyOldTableKept(const TableOutcome& outcome) {
    if (outcome.swapRefused)
        return QStringLiteral(
            "every row was copied, but the database refused to put the new table in its place");
    if (outcome.stopped) return QStringLiteral("the transfer was stopped before its last row");
    if (!outcome.incomplete && outcome.rowsWritten == 0 && outcome.rowsFailed > 0)
        return QStringLiteral("every row was refused");
    return QStringLiteral("not every row was copied");
}

// What became of a table whose old table stands.
QString notReplacedText(const TableOutcome& outcome) {
    // Rows for a table the target has: nothing was to be replaced.
    if (outcome.intoExisting) return QStringLiteral("not copied: no rows went in");
    return QStringLiteral("not replaced: ") + whyOldTableKept(outcome);
}

QString verdictText(const TableOutcome& outcome) {
    switch (verdictOf(outcome)) {
        case TableVerdict::Copied:
            return QStringLiteral("copied");
        case TableVerdict::RowsRefused:
            return QStringLiteral("copied in part: %1 refused").arg(rows(outcome.rowsFailed));
        case TableVerdict::RowsNotAdded:
            return QStringLiteral("copied in part: the table took %1 of the %2 loaded into it")
                .arg(groupedCount(outcome.rowsWritten), rows(outcome.rowsWritten + outcome.rowsNotLoaded));
        case TableVerdict::InPart:
            return QStringLiteral("copied in part");
        case TableVerdict::Stopped:
            if (outcome.oldTableKept) return notReplacedText(outcome);
            return outcome.created ? QStringLiteral("copied in part: the transfer was stopped")
                                   : QStringLiteral("not copied: the transfer was stopped");
        case TableVerdict::NotReplaced:
            return notReplacedText(outcome);
        case TableVerdict::NotCopied:
            break;
    }
    return QStringLiteral("not copied");
}

}  // namespace tw
