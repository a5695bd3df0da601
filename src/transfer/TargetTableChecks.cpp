#include "transfer/TargetTableChecks.h"

#include <QList>
#include <QStringList>
#include <algorithm>
#include <exception>
#include <memory>

#include "shell/GroupedCount.h"

namespace tw {

namespace {

// The rows of a catalogue question, each as its first two values' text.
QList<QStringList> catalogueRows(Connection& target, const QString& query) {
    QList<QStringList> rows;
    const std::unique_ptr<Recordset> found = target.openRecordset(query);
    for (; !found->eof(); found->moveNext()) {
        QStringList row;
        for (int field = 0; field < std::min(found->fieldCount(), 2); ++field)
            row << found->field(field).value.toString();
        rows << row;
    }
    found->close();
    return rows;
}

// The other tables whose rows a DELETE of every row would delete or change, each with what its
// key does: "c2 (ON DELETE CASCADE)". A key that restricts makes the DELETE fail instead, which
// undoes the whole load.
QStringList tablesReached(Connection& target, const Dialect& dialect, const TableRef& table) {
    const QString query = dialect.referencingKeysQuery(table.schema, table.name);
    QStringList reached;
    if (query.isEmpty()) return reached;
    for (const QStringList& key : catalogueRows(target, query)) {
        const QString action = key.value(1).trimmed().toUpper();
        if (action != QLatin1String("CASCADE") && !action.startsWith(QLatin1String("SET "))) continue;
        const QString named = QStringLiteral("%1 (ON DELETE %2)").arg(key.value(0), action);
        if (!reached.contains(named)) reached << named;
    }
    return reached;
}

// The table's storage engine where it takes no part in transactions; empty where it does.
QString engineWithoutUndo(Connection& target, const Dialect& dialect, const TableRef& table) {
    const QString query = dialect.tableEngineQuery(table.schema, table.name);
    if (query.isEmpty()) return QString();
    for (const QStringList& engine : catalogueRows(target, query)) {
        if (engine.value(1).trimmed().compare(QLatin1String("NO"), Qt::CaseInsensitive) == 0)
            return engine.value(0);
    }
    return QString();
}

}  // namespace

LoadRisks loadRisks(Connection& target, const Dialect& dialect, const TableRef& table, bool truncating,
                    bool allowPartialLoad) {
    LoadRisks risks;
    try {
        const QStringList reached = truncating ? tablesReached(target, dialect, table) : QStringList();
        if (!reached.isEmpty()) {
            risks.refusal = QStringLiteral(
                                "Table %1 was not emptied: emptying it would delete or change rows of "
                                "other tables, whose foreign keys reference it: %2. Nothing was changed.")
                                .arg(table.name, reached.join(QStringLiteral(", ")));
            return risks;
        }
        const QString engine = engineWithoutUndo(target, dialect, table);
        if (engine.isEmpty()) return risks;
        if (allowPartialLoad) {
            risks.engineWithoutUndo = engine;
        } else {
            risks.refusal =
                QStringLiteral(
                    "No rows went into table %1: its storage engine, %2, cannot undo a load "
                    "that fails part way, which would leave part of the rows in it%3. Nothing "
                    "was changed; --allow-partial-load loads it all the same.")
                    .arg(table.name, engine, truncating ? QStringLiteral(" and none of its own") : QString());
        }
    } catch (const std::exception& failure) {
        risks.refusal = QStringLiteral(
                            "No rows went into table %1: the target's catalogue could not say what loading "
                            "it would change (%2). Nothing was changed.")
                            .arg(table.name, QString::fromUtf8(failure.what()));
    }
    return risks;
}

QStringList tablesReferencing(Connection& target, const Dialect& dialect, const TableRef& table) noexcept {
    QStringList referencing;
    try {
        const QString query = dialect.referencingKeysQuery(table.schema, table.name);
        if (query.isEmpty()) return referencing;
        for (const QStringList& key : catalogueRows(target, query)) {
            if (!referencing.contains(key.value(0))) referencing << key.value(0);
        }
    } catch (const std::exception&) {
        referencing.clear();
    }
    return referencing;
}

QString partLoadLeft(const QString& engine, bool truncating, std::optional<qint64> rowsLeft) {
    const QString part =
        rowsLeft ? QStringLiteral("the table holds %1 of the new rows").arg(groupedCount(*rowsLeft))
                 : QStringLiteral("the table may hold part of the new rows");
    return QStringLiteral("its storage engine, %1, cannot undo the failed load: %2%3")
        .arg(engine, part, truncating ? QStringLiteral(" and none of its own") : QString());
}

}  // namespace tw
