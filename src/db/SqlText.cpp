#include "db/SqlText.h"

namespace tw {

QString quotedName(const QString& name) {
    QString inner = name;
    inner.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + inner + QLatin1Char('"');
}

QString DropTableSql(const QString& table) { return QStringLiteral("DROP TABLE ") + quotedName(table); }

QString sqlLiteral(const QString& text) {
    QString doubled = text;
    doubled.replace(QLatin1Char('\''), QStringLiteral("''"));
    return QLatin1Char('\'') + doubled + QLatin1Char('\'');
}

}  // namespace tw
