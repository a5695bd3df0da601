#include "db/ConnectionString.h"

namespace tw {

namespace {
const QString kDataSource = QStringLiteral("Data Source=");
}

QString connectionStringValue(const QString& value) {
    const bool needsBraces = value.contains(QLatin1Char(';')) ||
                             value.startsWith(QLatin1Char('{'));
    if (!needsBraces) return value;
    QString quoted = value;
    quoted.replace(QStringLiteral("}"), QStringLiteral("}}"));
    return QLatin1Char('{') + quoted + QLatin1Char('}');
}

std::optional<QString> dataSourceOf(const QString& connectionString) {
    if (!connectionString.startsWith(kDataSource, Qt::CaseInsensitive)) return std::nullopt;
    const QString value = connectionString.mid(kDataSource.size());
    if (!value.startsWith(QLatin1Char('{'))) return value.section(QLatin1Char(';'), 0, 0);

    // Braced: up to the first "}" that is not doubled.
    QString name;
    for (qsizetype i = 1; i < value.size(); ++i) {
        if (value[i] != QLatin1Char('}')) {
            name += value[i];
        } else if (i + 1 < value.size() && value[i + 1] == QLatin1Char('}')) {
            name += QLatin1Char('}');
            ++i;
        } else {
            return name;
        }
    }
    return name;  // an unclosed brace runs to the end
}

}  // namespace tw
