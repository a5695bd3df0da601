#pragma once

#include <QString>
#include <functional>

#include "db/ConnectionValues.h"

namespace tw {

class ConnectionFactory;
class TableList;

// "Data Source=NAME": the user's ODBC data source holds everything else.
QString SybaseConnectionString(const ConnectionValues& values);

// Whether the SQL Anywhere data source opens. Shows nothing; only making the connection object
// can throw.
bool SybaseCanConnect(ConnectionFactory& factory, const ConnectionValues& values);

// Replaces the list with the data source's base tables, leaving out every name that holds
// "SYS" in any case; no item is made current. Lets the window process its events before each
// base table.
void LoadSybaseTables(TableList& list, ConnectionFactory& factory, const ConnectionValues& values,
                      const std::function<void()>& processEvents);

}  // namespace tw
