#pragma once

#include <QString>

#include "db/ConnectionValues.h"

namespace tw {

class ConnectionFactory;

// "Driver={Microsoft ODBC for Oracle};Server=SID;Uid=USER;Pwd=PASSWORD;", each value as typed
// unless the connection-string rules need it in braces.
QString OracleConnectionString(const ConnectionValues& values);

// Whether the Oracle login opens. Shows nothing; only making the connection object can throw.
bool OracleCanConnect(ConnectionFactory& factory, const ConnectionValues& values);

}  // namespace tw
