#include "transfer/CopyPreview.h"

#include "db/Connection.h"
#include "db/SqlText.h"
#include "db/StagingName.h"
#include "shell/GroupedCount.h"
#include "transfer/ColumnMatch.h"
#include "transfer/CopyStatements.h"
#include "transfer/RowCount.h"
#include "transfer/TableCopyPlan.h"
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

// The action a copy takes on the table where it goes ahead: what a yes to its question does.
WriteAction plannedAction(const PreviewChoices& choices) {
    if (!choices.targetHasTable) return WriteAction::Create;
    if (choices.mode == WriteMode::Append) return WriteAction::Append;
    if (choices.mode == WriteMode::Truncate) return WriteAction::Truncate;
    return choices.inPlace ? WriteAction::ReplaceInPlace : WriteAction::Replace;
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
        preview.rows = countRows(source, read, {choices.sourceSchema, table}, choices.rowCondition);
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
        TableCopyInput input;
        input.action = plannedAction(choices);
        input.created = intoExisting ? &target : &created;
        input.target = &target;
        input.schema = choices.targetSchema;
        input.newName = named;
        input.existingName = choices.existingName;
        // The staging table's name and the name the old table is set aside under carry the
        // machine and the process that make them; a long name is shortened as the copy's is.
        const QString tablePart = StagingName::forTable(named, choices.tableNameLimit).tablePart;
        input.stagingName = tablePart + QStringLiteral("~tw-stage-…");
        input.asideName = tablePart + QStringLiteral("~tw-kept-…");
        input.inBatches = choices.batchRows > 1;
        input.columnNames = names;
        input.columns = plan;
        input.typed = true;
        input.match = match;
        const TableCopyPlan copy = planTableCopy(input);
        for (qsizetype field = 0; field < names.size() && field < plan.columns.size(); ++field) {
            const PlannedColumn& column = plan.columns[field];
            preview.columns << names[field] + QLatin1Char(' ') + column.type +
                                   (column.notNull ? QStringLiteral(" NOT NULL") : QString());
        }
        // The rows' statements stand as one line, with their number.
        preview.statements = copy.statements();
        const qsizetype rows = preview.statements.indexOf(copy.fill);
        preview.statements[rows] += QStringLiteral(" × ") + groupedCount(qMax<qint64>(preview.rows, 0));
    } catch (const std::exception& failure) {
        preview.error = QString::fromUtf8(failure.what());
    }
    return preview;
}

}  // namespace tw
