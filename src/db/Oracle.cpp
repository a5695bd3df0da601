#include "db/Oracle.h"

#include "db/Connection.h"
#include "db/ConnectionString.h"

namespace tw {

QString OracleConnectionString(const ConnectionValues& values) {
    return QStringLiteral("Driver={Microsoft ODBC for Oracle};Server=") +
           connectionStringValue(values.oracleServer) + QStringLiteral(";Uid=") +
           connectionStringValue(values.oracleUser) + QStringLiteral(";Pwd=") +
           connectionStringValue(values.oraclePassword) + QLatin1Char(';');
}

bool OracleCanConnect(ConnectionFactory& factory, const ConnectionValues& values) {
    const std::unique_ptr<Connection> connection = factory.create();
    try {
        connection->open(OracleConnectionString(values));
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

}  // namespace tw
