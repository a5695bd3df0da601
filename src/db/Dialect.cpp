#include "db/Dialect.h"

#include "db/Connection.h"
#include "db/Datatype.h"
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

QString Dialect::renameSql(const QString& oldName, const QString& newName) const {
    return QStringLiteral("ALTER TABLE ") + quotedName(oldName) + QStringLiteral(" RENAME TO ") +
           quotedName(newName);
}

ColumnType Dialect::numberTextOrBinary(std::int16_t adoType, const QString& longBinaryType) {
    const ColumnType text{QStringLiteral("TEXT"), ColumnKind::Text};
    return typeByRules(adoType,
                       {{{"char"}, text},
                        {{"dec", "numeric", "int"}, {QStringLiteral("NUMERIC"), ColumnKind::Number}},
                        {{"adlongvarbinary"}, {longBinaryType, ColumnKind::LongBinary}}},
                       text);
}

const Dialect& DialectFor(const Connection* connection, const Dialect& side) {
    const Dialect* connected = connection ? connection->dialect() : nullptr;
    return connected ? *connected : side;
}

const Dialect* dialectNamed(const QByteArray& dbmsName) {
    // A product the program knows: its dialect and one line here.
    for (const Dialect* dialect :
         {&oracleDialect(), &sqlAnywhereDialect(), &postgresDialect(), &sqliteDialect()}) {
        if (dialect->isNamed(dbmsName)) return dialect;
    }
    return nullptr;
}

}  // namespace tw
