#pragma once

#include <QString>

namespace tw {

// The four connection values as the connection window's boxes hold them at the moment of use,
// and the Oracle connection string's template where the settings give one.
struct ConnectionValues {
    QString oracleServer;
    QString oracleUser;
    QString oraclePassword;
    QString dataSourceName;
    // "{SID}", "{User}" and "{Password}" stand for the three Oracle values; empty, the
    // connection string is the program's own.
    QString oracleTemplate = {};
};

// The values as the transfer log names them: everything but the password.
inline QString describeWithoutPassword(const ConnectionValues& values) {
    return QStringLiteral("Oracle \"%1\" as \"%2\", SQL Anywhere data source \"%3\"")
        .arg(values.oracleServer, values.oracleUser, values.dataSourceName);
}

}  // namespace tw
