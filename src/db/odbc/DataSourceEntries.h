#pragma once

#include <QString>

namespace tw::odbc {

// A psqlODBC data source's way to its database as a connection string (SERVER, PORT, DATABASE,
// UID, PWD, SSLmode, pqopt), read from the data source's entries as the driver reads them;
// empty where it names no server. It holds the password, so it is never shown.
QString postgresDataSourceString(const QString& dataSource);

}  // namespace tw::odbc
