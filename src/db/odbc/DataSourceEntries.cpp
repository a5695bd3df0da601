#include "db/odbc/DataSourceEntries.h"

#include <odbcinst.h>

#include "db/ConnectionString.h"

namespace tw::odbc {

namespace {

// The first of the entries the data source has, as unixODBC finds it in the user's or the
// system's odbc.ini.
QString entry(const QByteArray& dataSource, std::initializer_list<const char*> names) {
    for (const char* name : names) {
        char value[1024] = {};
        const int length = SQLGetPrivateProfileString(dataSource.constData(), name, "", value,
                                                      static_cast<int>(sizeof value), "odbc.ini");
        if (length > 0 && length < static_cast<int>(sizeof value) - 1)
            return QString::fromUtf8(value, length);
    }
    return QString();
}

}  // namespace

QString postgresDataSourceString(const QString& dataSource) {
    const QByteArray name = dataSource.toUtf8();
    const QString server = entry(name, {"Servername", "Server"});
    if (server.isEmpty()) return QString();
    // The password as the driver keeps it: its own writing, which libpqParameters reads back.
    const struct {
        const char* key;
        QString value;
    } parts[] = {
        {"SERVER", server},
        {"PORT", entry(name, {"Port"})},
        {"DATABASE", entry(name, {"Database"})},
        {"UID", entry(name, {"Username", "UID", "User"})},
        {"PWD", entry(name, {"Password", "PWD"})},
        {"SSLmode", entry(name, {"SSLmode", "SSLMode", "sslmode"})},
        {"pqopt", entry(name, {"pqopt"})},
    };
    QString text;
    for (const auto& part : parts) {
        if (!part.value.isEmpty())
            text += QLatin1String(part.key) + '=' + connectionStringValue(part.value) + ';';
    }
    return text;
}

}  // namespace tw::odbc
