#pragma once

#include <QString>
#include <functional>

#include "db/ConnectionTarget.h"
#include "db/ConnectionValues.h"

namespace tw {

class ConnectionFactory;
class TableList;

// The user's ODBC data source, by the name in the connection window: it holds everything else.
ConnectionTarget SybaseConnectionTarget(const ConnectionValues& values);

// Whether the SQL Anywhere data source opens. Shows nothing; only making the connection object
// can throw.
bool SybaseCanConnect(ConnectionFactory& factory, const ConnectionValues& values);

// Replaces the list with the data source's base tables, leaving out every name that holds
// "SYS" in any case; no item is made current. Lets the window process its events before each
// base table. Given a schema (an owner), that schema's tables only.
void LoadSybaseTables(TableList& list, ConnectionFactory& factory, const ConnectionValues& values,
                      const std::function<void()>& processEvents, const QString& schema = {});

}  // namespace tw
