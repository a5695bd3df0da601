#include "shell/ReportLines.h"

#include <QStringList>

#include "shell/GroupedCount.h"

namespace tw {

QString oneLine(QString text) {
    text.replace(QLatin1String("\r\n"), QLatin1String(" "));
    for (const char end : {'\n', '\r', '\t'}) text.replace(QLatin1Char(end), QLatin1Char(' '));
    return text.trimmed();
}

QString visibleText(const QString& text) {
    QString shown;
    shown.reserve(text.size());
    for (const QChar c : text) {
        const char16_t code = c.unicode();
        if (code == '\n') {
            shown += QLatin1String("\\n");
        } else if (code == '\t') {
            shown += QLatin1String("\\t");
        } else if (code == '\r') {
            shown += QLatin1String("\\r");
        } else if (code < 0x20 || (code >= 0x7f && code < 0xa0)) {
            shown += QStringLiteral("\\x%1").arg(static_cast<uint>(code), 2, 16, QLatin1Char('0'));
        } else if (code == 0x2028 || code == 0x2029) {  // line and paragraph separators
            shown += QStringLiteral("\\u%1").arg(static_cast<uint>(code), 4, 16, QLatin1Char('0'));
        } else {
            shown += c;
        }
    }
    return shown;
}

QString shortened(const QString& text, qsizetype chars) {
    if (text.size() <= chars) return text;
    qsizetype cut = chars;
    if (text.at(cut - 1).isHighSurrogate()) --cut;  // never half a character
    return text.left(cut) + QStringLiteral(" \u2026");
}

QString failureLine(const Failure& failure, int statementChars, const std::optional<QString>& step) {
    QStringList parts;
    if (!failure.table.isEmpty()) parts << QStringLiteral("table ") + visibleText(failure.table);
    if (failure.row > 0) parts << QStringLiteral("row ") + QString::number(failure.row);
    if (!step) {
        parts << failure.procedure + QStringLiteral(" line ") + QString::number(failure.line);
    } else if (!step->isEmpty()) {
        parts << *step;
    }
    if (!failure.sqlState.isEmpty()) parts << QStringLiteral("SQLSTATE ") + failure.sqlState;
    QString line = oneLine(failure.description);
    if (!parts.isEmpty()) line = parts.join(QStringLiteral(", ")) + QStringLiteral(": ") + line;
    const QString composing = failure.statement ? *failure.statement : failure.composing;
    if (!composing.isEmpty())
        line += QStringLiteral(" [") + shortened(oneLine(composing), statementChars) + QLatin1Char(']');
    return line;
}

QString outcomeLine(const TableOutcome& outcome) {
    return QStringLiteral("%1: %2 rows read, %3 written, %4 failed, %5 s")
        .arg(visibleText(outcome.table), groupedCount(outcome.rowsRead), groupedCount(outcome.rowsWritten),
             groupedCount(outcome.rowsFailed))
        .arg(outcome.seconds, 0, 'f', 2);
}

QString leftoverLine(const TableOutcome& outcome) {
    if (!outcome.leftoverKept) return QString();
    return QStringLiteral(
               "the rows of table %1 that reached the target may stay in a table of the copy's own, "
               "hidden from the lists, until the next copy of table %1 takes it away (the connection was "
               "lost before that table could be dropped)")
        .arg(visibleText(outcome.table));
}

QString otherCopyLine(const TableOutcome& outcome) {
    if (outcome.metOtherCopy.isEmpty()) return QString();
    // Rows put into a table take no table's place: each copy's go in with its own load.
    if (outcome.intoExisting) {
        return QStringLiteral(
                   "another copy was putting rows into table %1 at the same time; each copy's rows went in "
                   "with its own load")
            .arg(visibleText(outcome.table));
    }
    return QStringLiteral(
               "table %1 was being replaced by another copy at the same time (its staging table %2); "
               "the table holds the rows of whichever copy took its place last")
        .arg(visibleText(outcome.table), visibleText(outcome.metOtherCopy));
}

QString fellBackLine(const TableOutcome& outcome) {
    if (outcome.fellBack.isEmpty()) return QString();
    return QStringLiteral(
               "table %1 has columns of a type the target cannot keep, given the plain copy's "
               "type: %2")
        .arg(visibleText(outcome.table), visibleText(outcome.fellBack.join(QStringLiteral(", "))));
}

QString emptyTextsNote(const TableOutcome& outcome) {
    // A table that was not made or filled holds none of them.
    const qint64 texts = outcome.emptyTextsAsNull;
    const qint64 bytes = outcome.emptyBytesAsNull;
    if ((texts == 0 && bytes == 0) || !outcome.created) return QString();
    const QString what = bytes == 0 ? QStringLiteral("text") : QStringLiteral("value");
    const QString why = outcome.targetWithoutEmptyText.isEmpty()
                            ? QStringLiteral("the copy writes an empty %1 as NULL").arg(what)
                            : outcome.targetWithoutEmptyText + QStringLiteral(" keeps no empty %1").arg(what);
    QStringList counted;
    if (texts > 0)
        counted << groupedCount(texts) +
                       (texts == 1 ? QStringLiteral(" empty text") : QStringLiteral(" empty texts"));
    if (bytes > 0) {
        counted << groupedCount(bytes) + (bytes == 1 ? QStringLiteral(" empty binary value")
                                                     : QStringLiteral(" empty binary values"));
    }
    return QStringLiteral("%1 became NULL (%2)").arg(counted.join(QStringLiteral(" and ")), why);
}

QString emptyTextsLine(const TableOutcome& outcome) {
    const QString note = emptyTextsNote(outcome);
    if (note.isEmpty()) return QString();
    return QStringLiteral("table %1: %2").arg(visibleText(outcome.table), note);
}

QStringList verificationLines(const QString& table, const Verification& verification) {
    const QString name = visibleText(table);
    if (!verification.error.isEmpty()) {
        return {QStringLiteral("table %1 could not be read back to verify it: %2")
                    .arg(name, oneLine(verification.error))};
    }
    if (verification.matches) {
        const QString known =
            verification.knownChanges.isEmpty()
                ? QString()
                : QStringLiteral(" (%1)").arg(verification.knownChanges.join(QStringLiteral(", ")));
        return {QStringLiteral("table %1 matches its source: %2 rows%3")
                    .arg(name, groupedCount(verification.sourceRows), known)};
    }
    QStringList lines{
        QStringLiteral("table %1 differs from its source: %2 rows read from the source, %3 in the target")
            .arg(name, groupedCount(verification.sourceRows), groupedCount(verification.targetRows))};
    if (!verification.differingColumns.isEmpty()) {
        lines << QStringLiteral("  columns that differ: ") +
                     visibleText(verification.differingColumns.join(QStringLiteral(", ")));
    }
    for (const RowDifference& difference : verification.differences) {
        QStringList values;
        for (const QString& value : difference.values) values << visibleText(value);
        lines << QStringLiteral("  only in the %1: %2")
                     .arg(difference.onlyInSource ? QStringLiteral("source") : QStringLiteral("target"),
                          values.join(QStringLiteral(" | ")));
    }
    return lines;
}

}  // namespace tw
