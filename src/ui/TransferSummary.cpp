#include "ui/TransferSummary.h"

#include <cmath>

#include "shell/GroupedCount.h"

namespace tw {

QString shownDuration(double seconds) {
    if (!std::isfinite(seconds) || seconds < 0) seconds = 0;
    if (seconds < 10) return QString::number(seconds, 'f', 1) + QStringLiteral(" s");
    const qint64 whole = std::llround(seconds);
    if (whole < 60) return QString::number(whole) + QStringLiteral(" s");
    if (whole < 3600)
        return QStringLiteral("%1 min %2 s").arg(whole / 60).arg(whole % 60, 2, 10, QLatin1Char('0'));
    return QStringLiteral("%1 h %2 min").arg(whole / 3600).arg(whole / 60 % 60, 2, 10, QLatin1Char('0'));
}

QString TransferSummary::UnboxedRow::line() const {
    return QStringLiteral("%1, row %2: %3").arg(table).arg(row).arg(message);
}

void TransferSummary::add(const TableOutcome& outcome) {
    tables << Table{outcome.table,
                    verdictText(outcome),
                    outcome.rowsRead,
                    outcome.rowsWritten,
                    outcome.rowsFailed,
                    outcome.seconds,
                    isCopied(verdictOf(outcome))};
}

void TransferSummary::addDeclined(const QString& table) {
    tables << Table{table, QStringLiteral("not replaced: you answered No")};
}

void TransferSummary::addNotBegun(const QString& table) {
    tables << Table{table, QStringLiteral("not begun: the transfer was stopped")};
}

QString TransferSummary::heading() const {
    qsizetype copied = 0;
    for (const Table& table : tables) copied += table.copied();
    return QStringLiteral("%1 of %2 %3 copied")
        .arg(copied)
        .arg(tables.size())
        .arg(tables.size() == 1 ? QStringLiteral("table") : QStringLiteral("tables"));
}

QString TransferSummary::text() const {
    QStringList lines{heading(), QString()};
    for (const Table& table : tables) {
        QString line = table.name + QStringLiteral(": ") + table.result;
        if (table.rowsRead > 0 || table.rowsWritten > 0 || table.rowsFailed > 0 || table.seconds > 0) {
            line += QStringLiteral(" (%1 read, %2 written, %3 failed, %4)")
                        .arg(groupedCount(table.rowsRead), groupedCount(table.rowsWritten),
                             groupedCount(table.rowsFailed), shownDuration(table.seconds));
        }
        lines << line;
    }
    if (!unboxedRows.isEmpty()) {
        lines << QString() << QStringLiteral("Rows refused without a box:");
        for (const UnboxedRow& row : unboxedRows) lines << row.line();
    }
    return lines.join(QLatin1Char('\n'));
}

}  // namespace tw
