#include "transfer/CopyPreview.h"

#include "db/Connection.h"
#include "db/SqlText.h"
#include "shell/GroupedCount.h"
#include "transfer/ColumnMatch.h"
#include "transfer/CopyStatements.h"
#include "transfer/RowCount.h"
#include "transfer/TablePlan.h"

namespace tw {

namespace {

// The action and why, from the target's table and the options.
void chooseAction(TablePreview& preview, const PreviewChoices& choices) {
    using Overwrite = PreviewChoices::Overwrite;
    if (!choices.targetHasTable) {
        preview.action = QStringLiteral("create");
        preview.why = QStringLiteral("the target has no table %1").arg(preview.table);
    } else if (choices.mode == WriteMode::Append) {
        preview.action = QStringLiteral("append");
        preview.why = QStringLiteral("the target has table %1, and --mode append adds the rows to it")
                          .arg(preview.table);
    } else if (choices.overwrite == Overwrite::No) {
        preview.action = QStringLiteral("keep");
        preview.why =
            QStringLiteral("the target has table %1, and --overwrite no keeps it").arg(preview.table);
    } else if (choices.overwrite == Overwrite::Ask) {
        preview.action = QStringLiteral("ask");
        preview.why =
            QStringLiteral("the target has table %1: the copy asks before %2 it")
                .arg(preview.table, choices.mode == WriteMode::Truncate ? QStringLiteral("emptying")
                                                                        : QStringLiteral("replacing"));
    } else if (choices.mode == WriteMode::Truncate) {
        preview.action = QStringLiteral("truncate");
        preview.why = QStringLiteral(
                          "the target has table %1, and --mode truncate with --overwrite yes "
                          "empties it and loads the rows")
                          .arg(preview.table);
    } else {
        preview.action = choices.inPlace ? QStringLiteral("replace in place") : QStringLiteral("replace");
        preview.why =
            QStringLiteral("the target has table %1, and --overwrite yes replaces it").arg(preview.table);
    }
}

}  // namespace

TablePreview previewCopy(Connection& source, const Dialect& created, const Dialect& target,
                         const QString& table, const PreviewChoices& choices) {
    TablePreview preview;
    const QString named = choices.newName.isEmpty() ? table : choices.newName;
    preview.table = named;
    chooseAction(preview, choices);
    const Dialect& read = DialectFor(&source, standardDialect());
    try {
        preview.rows = countRows(source, read, table, choices.rowCondition, choices.sourceSchema);
        const std::unique_ptr<Recordset> fields =
            source.openRecordset(SelectAllSql(read, table, choices.sourceSchema) + " WHERE 1 = 0");
        QStringList names;
        for (int field = 0; field < fields->fieldCount(); ++field) names << fields->field(field).name;
        // Rows for the target's own table fill a table of its types; their columns must meet.
        const bool intoExisting = choices.targetHasTable && choices.mode != WriteMode::Replace;
        const ColumnMatch match = intoExisting ? matchColumns(names, choices.existing) : ColumnMatch();
        const TableShape shape =
            choices.faithful && !intoExisting ? source.tableShape(table, choices.sourceSchema) : TableShape();
        const TablePlan plan = intoExisting       ? faithfulPlan(target, match.matched, *fields)
                               : choices.faithful ? faithfulPlan(created, shape, *fields)
                                                  : plainPlan(created, *fields);
        fields->close();
        if (preview.action == QLatin1String("keep")) return preview;
        if (intoExisting && !match.refusal(named).isEmpty()) {
            preview.error = match.refusal(named);
            return preview;
        }
        const bool staged = preview.action != QLatin1String("replace in place");
        // A staging table's name carries the machine and the process that make it.
        const QString filled = staged ? named + QStringLiteral("~tw-stage-…") : named;
        const QString& schema = choices.targetSchema;
        CreateTableStatement create(intoExisting ? target : created, filled, schema, &target);
        for (qsizetype field = 0; field < names.size() && field < plan.columns.size(); ++field) {
            const PlannedColumn& column = plan.columns[field];
            preview.columns << names[field] + QLatin1Char(' ') + column.type +
                                   (column.notNull ? QStringLiteral(" NOT NULL") : QString());
            create.addColumn(names[field], column.type, column.notNull);
        }
        const QString rows =
            QStringLiteral("INSERT INTO %1 VALUES(…) × %2")
                .arg(target.qualifiedName(schema, filled), groupedCount(qMax<qint64>(preview.rows, 0)));
        if (!staged) preview.statements << DropTableSql(target, named, schema);
        preview.statements << create.finish(plan.primaryKey) << rows;
        if (!staged) return preview;
        if (intoExisting) {
            if (choices.mode == WriteMode::Truncate)
                preview.statements << DeleteAllRowsSql(target, named, schema);
            preview.statements << InsertSelectSql(target, named, match.targetNames, filled, names, schema)
                               << DropTableSql(target, filled, schema);
            return preview;
        }
        if (preview.action != QLatin1String("create"))
            preview.statements << DropTableSql(target, named, schema);
        preview.statements << target.renameSql(filled, named, schema);
    } catch (const std::exception& failure) {
        preview.error = QString::fromUtf8(failure.what());
    }
    return preview;
}

}  // namespace tw
