#include "shell/ReportLines.h"

#include <QStringList>

#include "shell/GroupedCount.h"

namespace tw {

QString oneLine(QString text) {
    text.replace(QLatin1String("\r\n"), QLatin1String(" "));
    for (const char end : {'\n', '\r', '\t'}) text.replace(QLatin1Char(end), QLatin1Char(' '));
    return text.trimmed();
}

QString shortened(const QString& text, qsizetype chars) {
    if (text.size() <= chars) return text;
    qsizetype cut = chars;
    if (text.at(cut - 1).isHighSurrogate()) --cut;  // never half a character
    return text.left(cut) + QStringLiteral(" \u2026");
}

QString failureLine(const Failure& failure, int statementChars) {
    QStringList parts;
    if (!failure.table.isEmpty()) parts << QStringLiteral("table ") + failure.table;
    if (failure.row > 0) parts << QStringLiteral("row ") + QString::number(failure.row);
    parts << failure.procedure + QStringLiteral(" line ") + QString::number(failure.line);
    if (!failure.sqlState.isEmpty()) parts << QStringLiteral("SQLSTATE ") + failure.sqlState;
    QString line = parts.join(QStringLiteral(", ")) + QStringLiteral(": ") + oneLine(failure.description);
    const QString composing = failure.statement ? *failure.statement : failure.composing;
    if (!composing.isEmpty())
        line += QStringLiteral(" [") + shortened(oneLine(composing), statementChars) + QLatin1Char(']');
    return line;
}

QString outcomeLine(const TableOutcome& outcome) {
    return QStringLiteral("%1: %2 rows read, %3 written, %4 failed, %5 s")
        .arg(outcome.table, groupedCount(outcome.rowsRead), groupedCount(outcome.rowsWritten),
             groupedCount(outcome.rowsFailed))
        .arg(outcome.seconds, 0, 'f', 2);
}

}  // namespace tw
