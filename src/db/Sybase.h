#pragma once

#include <QString>

#include "db/ConnectionValues.h"

namespace tw {

class ConnectionFactory;

// "Data Source=NAME": the user's ODBC data source holds everything else.
QString SybaseConnectionString(const ConnectionValues& values);

// Whether the SQL Anywhere data source opens. Shows nothing; only making the connection object
// can throw.
bool SybaseCanConnect(ConnectionFactory& factory, const ConnectionValues& values);

}  // namespace tw
