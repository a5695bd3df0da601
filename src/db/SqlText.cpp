#include "db/SqlText.h"

#include "db/Dialect.h"
#include "db/SqlComposer.h"

namespace tw {

QString quotedName(const QString& name) {
    QString inner = name;
    inner.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + inner + QLatin1Char('"');
}

QString qualifiedName(const QString& schema, const QString& table) {
    return schema.isEmpty() ? quotedName(table) : quotedName(schema) + QLatin1Char('.') + quotedName(table);
}

QString DropTableSql(const Dialect& dialect, const QString& table, const QString& schema) {
    return SqlComposer(dialect).drop({schema, table});
}

QString DropTableSql(const QString& table, const QString& schema) {
    return SqlComposer().drop({schema, table});
}

QString sqlLiteral(const QString& text) {
    QString doubled = text;
    doubled.replace(QLatin1Char('\''), QStringLiteral("''"));
    return QLatin1Char('\'') + doubled + QLatin1Char('\'');
}

}  // namespace tw
