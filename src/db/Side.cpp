#include "db/Side.h"

#include "db/Dialect.h"
#include "db/Oracle.h"
#include "db/Sybase.h"

namespace tw {

const Side& oracleSide() {
    static const Side side{oracleDialect(),
                           QStringLiteral("oracle"),
                           &OracleConnectionTarget,
                           false,
                           &LoadOracleTables,
                           [](const ConnectionValues& values) {
                               return QStringLiteral("Oracle server \"%1\" as \"%2\"")
                                   .arg(values.oracleServer, values.oracleUser);
                           }};
    return side;
}

const Side& sqlAnywhereSide() {
    static const Side side{
        sqlAnywhereDialect(),
        QStringLiteral("sqlanywhere"),
        &SybaseConnectionTarget,
        true,
        &LoadSybaseTables,
        [](const ConnectionValues& values) {
            return QStringLiteral("the SQL Anywhere data source \"%1\"").arg(values.dataSourceName);
        }};
    return side;
}

const Dialect& Side::ownDialect(const Connection* connection) const {
    return isConfigured ? dialect : DialectFor(connection, dialect);
}

QString Side::title() const { return isConfigured ? dialect.title() : name; }

const Side& otherSide(const Side& side) { return &side == &oracleSide() ? sqlAnywhereSide() : oracleSide(); }

const Side* sideNamed(const QString& name) {
    for (const Side* side : {&oracleSide(), &sqlAnywhereSide()}) {
        if (side->name == name) return side;
    }
    return nullptr;
}

}  // namespace tw
