#include "transfer/TableCopyPlan.h"

#include "db/Dialect.h"
#include "db/SqlComposer.h"
#include "transfer/CopyStatements.h"

namespace tw {

namespace {

QString createStatement(const TableCopyInput& input, const TableRef& filled) {
    CreateTableStatement create(*input.created, filled.name, filled.schema, input.target);
    for (qsizetype field = 0; field < input.columnNames.size(); ++field) {
        const QString& name = input.columnNames[field];
        if (input.typed && field < input.columns.columns.size()) {
            const PlannedColumn& column = input.columns.columns[field];
            create.addColumn(name, column.type, column.notNull);
        } else {
            create.addColumn(name, input.adoTypes.value(field));
        }
    }
    return create.finish(input.columns.primaryKey);
}

SwapPlan swapPlan(const TableCopyInput& input, const TableCopyPlan& plan) {
    const SqlComposer sql(*input.target);
    SwapPlan swap;
    swap.renameIn = sql.rename(plan.filled, plan.table.name);
    if (plan.action == WriteAction::Create) return swap;
    swap.oneTransaction = input.target->changesTablesInTransactions();
    if (swap.oneTransaction) {
        swap.dropOld = sql.drop(plan.existing);
        return swap;
    }
    swap.renameBoth = sql.renameTwo(plan.existing, plan.aside.name, plan.filled.name, plan.table.name);
    if (swap.renameBoth.isEmpty()) swap.renameAside = sql.rename(plan.existing, plan.aside.name);
    swap.putBack = sql.rename(plan.aside, plan.existing.name);
    swap.dropAside = sql.drop(plan.aside);
    return swap;
}

}  // namespace

TableCopyPlan planTableCopy(const TableCopyInput& input) {
    const SqlComposer sql(*input.target);
    TableCopyPlan plan;
    plan.action = input.action;
    plan.table = {input.schema, input.newName};
    if (input.action != WriteAction::Create)
        plan.existing = {input.schema, input.existingName.isEmpty() ? input.newName : input.existingName};
    plan.filled = plan.staged() ? plan.table.named(input.stagingName) : plan.table;
    if (plan.action == WriteAction::ReplaceInPlace) plan.dropFirst = sql.drop(plan.existing);
    plan.create = createStatement(input, plan.filled);
    const QString bulk = input.inBatches ? input.target->bulkRowsStatement(sql.name(plan.filled)) : QString();
    plan.fill = bulk.isEmpty() ? sql.insertValuesHead(plan.filled) + QStringLiteral("…)") : bulk;
    if (!plan.staged()) return plan;
    if (plan.intoExisting()) {
        if (plan.action == WriteAction::Truncate) plan.empty = sql.deleteAll(plan.existing);
        plan.load = sql.insertSelect(plan.existing, input.match.targetNames, plan.filled,
                                     input.match.matched.columnNames());
        plan.dropStaging = sql.drop(plan.filled);
        return plan;
    }
    plan.aside = plan.table.named(input.asideName);
    plan.swap = swapPlan(input, plan);
    plan.keysNamed = input.target->keysNamedAfterTableSql(input.schema, plan.table.name);
    plan.dropStaging = sql.drop(plan.filled);
    return plan;
}

QStringList TableCopyPlan::statements() const {
    QStringList sent;
    const auto add = [&](const QString& statement) {
        if (!statement.isEmpty()) sent << statement;
    };
    add(dropFirst);
    add(create);
    add(fill);
    if (!staged()) return sent;
    if (intoExisting()) {
        add(empty);
        add(load);
        add(dropStaging);
        return sent;
    }
    add(swap.dropOld);
    add(swap.renameBoth);
    add(swap.renameAside);
    if (swap.renameBoth.isEmpty()) add(swap.renameIn);
    add(swap.dropAside);
    add(keysNamed);
    return sent;
}

}  // namespace tw
