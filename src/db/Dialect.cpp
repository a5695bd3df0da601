#include "db/Dialect.h"

#include <algorithm>

#include "db/Connection.h"
#include "db/Datatype.h"
#include "db/DbError.h"
#include "db/SqlText.h"

namespace tw {

QString Dialect::quotedName(const QString& name) const { return tw::quotedName(name); }

ColumnType Dialect::typeByRules(std::int16_t adoType, std::initializer_list<TypeRule> rules,
                                const ColumnType& otherwise) {
    const QString name = AdoTypeName(adoType).toLower();
    for (const TypeRule& rule : rules) {
        for (const char* word : rule.words) {
            if (name.contains(QLatin1String(word))) return rule.type;
        }
    }
    return otherwise;
}

QString Dialect::renameSql(const QString& oldName, const QString& newName, const QString& schema) const {
    return QStringLiteral("ALTER TABLE ") + qualifiedName(schema, oldName) + QStringLiteral(" RENAME TO ") +
           quotedName(newName);
}

ColumnType Dialect::numberTextOrBinary(std::int16_t adoType, const QString& longBinaryType) {
    const ColumnType text{QStringLiteral("TEXT"), ColumnKind::Text};
    return typeByRules(adoType,
                       {{{"char"}, text},
                        {{"dec", "numeric", "int"}, {QStringLiteral("NUMERIC"), ColumnKind::Number}},
                        {{"adlongvarbinary"}, {longBinaryType, ColumnKind::Bytes}}},
                       text);
}

namespace {

ColumnKind kindOf(ColumnSort sort) {
    switch (sort) {
        case ColumnSort::TinyInt:
        case ColumnSort::SmallInt:
        case ColumnSort::Integer:
        case ColumnSort::BigInt:
        case ColumnSort::Decimal:
        case ColumnSort::UnboundedDecimal:
            return ColumnKind::Number;
        case ColumnSort::Real:
        case ColumnSort::Double:
            return ColumnKind::Float;
        case ColumnSort::Logical:
            return ColumnKind::Logical;
        case ColumnSort::Binary:
        case ColumnSort::VarBinary:
        case ColumnSort::LongBinary:
            return ColumnKind::Bytes;
        case ColumnSort::Date:
        case ColumnSort::Time:
        case ColumnSort::Timestamp:
        case ColumnSort::TimestampWithZone:
            return ColumnKind::Moment;
        default:
            return ColumnKind::Text;
    }
}

}  // namespace

std::optional<ColumnType> Dialect::faithfulType(const ColumnShape& column) const {
    const ColumnSort sort = sortOf(column);
    const bool moment =
        sort == ColumnSort::Time || sort == ColumnSort::Timestamp || sort == ColumnSort::TimestampWithZone;
    const qint64 fraction = column.digits < 0 ? 6 : column.digits;
    const qint64 measure = moment ? fraction : column.size;
    for (const FaithfulRule& rule : faithfulRules()) {
        if (rule.sort != sort) continue;
        const char* type = rule.longest > 0 && measure > rule.longest ? rule.beyond : rule.type;
        if (!type) continue;
        QString text = QString::fromLatin1(type);
        text.replace(QLatin1String("{n}"), QString::number(column.size));
        text.replace(QLatin1String("{s}"), QString::number(qMax(column.digits, 0)));
        text.replace(QLatin1String("{f}"), QString::number(fraction));
        return ColumnType{text, kindOf(sort)};
    }
    return std::nullopt;
}

std::unique_ptr<BatchWriter> Dialect::bulkWriter(const BulkWriteRequest& /*request*/) const {
    return nullptr;
}

bool Dialect::refusesOnlyTheRow(const DbError& failure) const {
    if (failure.connectionLost() || failure.outOfRoom()) return false;
    const QString& state = failure.sqlState();
    if (state.startsWith(QLatin1String("22")) || state.startsWith(QLatin1String("23"))) return true;
    const std::span<const int> codes = rowRefusalCodes();
    return failure.nativeError() != 0 &&
           std::find(codes.begin(), codes.end(), failure.nativeError()) != codes.end();
}

const Dialect& DialectFor(const Connection* connection, const Dialect& side) {
    const Dialect* connected = connection ? connection->dialect() : nullptr;
    return connected ? *connected : side;
}

const Dialect* dialectNamed(const QByteArray& dbmsName) {
    // A product the program knows: its dialect and one line here.
    for (const Dialect* dialect : {&oracleDialect(), &sqlAnywhereDialect(), &postgresDialect(),
                                   &sqliteDialect(), &mariaDbDialect(), &mySqlDialect()}) {
        if (dialect->isNamed(dbmsName)) return dialect;
    }
    return nullptr;
}

}  // namespace tw
