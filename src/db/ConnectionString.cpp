#include "db/ConnectionString.h"

namespace tw {

QString connectionStringValue(const QString& value) {
    const bool needsBraces = value.contains(QLatin1Char(';')) || value.startsWith(QLatin1Char('{'));
    if (!needsBraces) return value;
    QString quoted = value;
    quoted.replace(QStringLiteral("}"), QStringLiteral("}}"));
    return QLatin1Char('{') + quoted + QLatin1Char('}');
}

}  // namespace tw
