#include "transfer/TablePlan.h"

#include "db/Connection.h"
#include "db/Datatype.h"

namespace tw {

namespace {

PlannedColumn plainColumn(const Dialect& target, const Field& field) {
    const ColumnType type = target.columnType(static_cast<std::int16_t>(field.type));
    return {type.text, type.kind};
}

// A decimal column of a fixed scale, and a time or timestamp, round a value with more digits
// after the point, where the target keeps its columns' types (SQLite keeps the value as it is).
// A moment's fraction the driver does not tell is the six digits its type then gets.
int decimalsKept(const Dialect& target, const ColumnShape& column, ColumnKind kind) {
    if (target.keepsAnyStorageClass()) return -1;
    const ColumnSort sort = sortOf(column);
    if (sort == ColumnSort::Decimal && kind == ColumnKind::Number) return column.digits;
    // MariaDB rounds 1.5 into an INT where the others refuse it.
    const bool integer = sort == ColumnSort::TinyInt || sort == ColumnSort::SmallInt ||
                         sort == ColumnSort::Integer || sort == ColumnSort::BigInt;
    if (integer && kind == ColumnKind::Number) return 0;
    const bool moment =
        sort == ColumnSort::Time || sort == ColumnSort::Timestamp || sort == ColumnSort::TimestampWithZone;
    if (moment && kind == ColumnKind::Moment) return column.digits < 0 ? 6 : column.digits;
    return -1;
}

// A DATE drops a timestamp's time of day, a TIME its date, and a 4-byte float a double's
// further digits: MariaDB, and PostgreSQL too, without a word.
ValueLimit limitOf(const Dialect& target, const ColumnShape& column, ColumnKind kind) {
    if (target.keepsAnyStorageClass()) return ValueLimit::None;
    const ColumnSort sort = sortOf(column);
    if (kind == ColumnKind::Moment && sort == ColumnSort::Date) return ValueLimit::DateOnly;
    if (kind == ColumnKind::Moment && sort == ColumnSort::Time) return ValueLimit::TimeOnly;
    const bool fourBytes = sort == ColumnSort::Real || column.fourByteFloat;
    if (fourBytes && (kind == ColumnKind::Float || kind == ColumnKind::Number))
        return ValueLimit::FourByteFloat;
    return ValueLimit::None;
}

const ColumnShape* shapeOf(const TableShape& shape, const QString& name) {
    for (const ColumnShape& column : shape.columns) {
        if (column.name == name) return &column;
    }
    return nullptr;
}

}  // namespace

QList<ColumnKind> TablePlan::kinds() const {
    QList<ColumnKind> kinds;
    for (const PlannedColumn& column : columns) kinds << column.kind;
    return kinds;
}

TablePlan plainPlan(const Dialect& target, const Recordset& rows) {
    TablePlan plan;
    for (int field = 0; field < rows.fieldCount(); ++field)
        plan.columns << plainColumn(target, rows.field(field));
    return plan;
}

TablePlan faithfulPlan(const Dialect& target, const TableShape& shape, const Recordset& rows) {
    TablePlan plan;
    QStringList names;
    for (int field = 0; field < rows.fieldCount(); ++field) {
        const Field& source = rows.field(field);
        names << source.name;
        const ColumnShape* column = shapeOf(shape, source.name);
        const std::optional<ColumnType> type = column ? target.faithfulType(*column) : std::nullopt;
        PlannedColumn planned = type ? PlannedColumn{type->text, type->kind} : plainColumn(target, source);
        planned.fellBack = !type;
        planned.notNull = column && !column->nullable;
        if (type) planned.decimals = decimalsKept(target, *column, type->kind);
        if (type) planned.limit = limitOf(target, *column, type->kind);
        plan.columns << planned;
    }
    // A key is carried over whole or not at all.
    bool keyKnown = !shape.primaryKey.isEmpty();
    for (const QString& column : shape.primaryKey) keyKnown = keyKnown && names.contains(column);
    if (!keyKnown) return plan;
    plan.primaryKey = shape.primaryKey;
    // Where the target's key cannot hold the columns' types, it holds them shorter: said as a
    // type the target had no other for.
    QList<ColumnType> key;
    for (const QString& column : shape.primaryKey) {
        const PlannedColumn& planned = plan.columns[names.indexOf(column)];
        key << ColumnType{planned.type, planned.kind};
    }
    target.fitKey(key);
    for (qsizetype at = 0; at < key.size(); ++at) {
        PlannedColumn& planned = plan.columns[names.indexOf(shape.primaryKey[at])];
        if (key[at].text == planned.type) continue;
        planned.type = key[at].text;
        planned.fellBack = true;
    }
    return plan;
}

QList<ColumnKind> faithfulReadKinds(const Dialect& target, const TableShape& shape) {
    QList<ColumnKind> kinds;
    for (const ColumnShape& column : shape.columns) {
        const std::optional<ColumnType> type = target.faithfulType(column);
        kinds << (type ? type->kind : ColumnKind::Text);
    }
    return kinds;
}

QStringList fellBackColumns(const TablePlan& plan, const TableShape& shape, const Recordset& rows) {
    QStringList columns;
    for (int field = 0; field < rows.fieldCount() && field < plan.columns.size(); ++field) {
        const QString name = rows.field(field).name;
        const ColumnShape* column = shapeOf(shape, name);
        // The target's column holds the values; what computed them stays behind.
        if (column && column->generated) {
            columns << QStringLiteral("%1 (a generated column, copied as plain values)").arg(name);
            continue;
        }
        if (!plan.columns[field].fellBack) continue;
        const QString sourceType = column && !column->typeName.isEmpty()
                                       ? column->typeName
                                       : AdoTypeName(static_cast<std::int16_t>(rows.field(field).type));
        columns << QStringLiteral("%1 (%2 as %3)").arg(name, sourceType, plan.columns[field].type);
    }
    return columns;
}

}  // namespace tw
