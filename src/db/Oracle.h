#pragma once

#include <QString>
#include <QStringList>
#include <functional>

#include "db/ConnectionTarget.h"
#include "db/ConnectionValues.h"

namespace tw {

class ConnectionFactory;
class TableList;

// "Driver={Microsoft ODBC for Oracle};Server=SID;Uid=USER;Pwd=PASSWORD;", each value as typed
// unless the connection-string rules need it in braces. With a template, the template with
// {SID}, {User} and {Password} replaced by the values, braced by the same rules.
QString OracleConnectionString(const ConnectionValues& values);
ConnectionTarget OracleConnectionTarget(const ConnectionValues& values);
// The placeholders of "{SID}", "{User}" and "{Password}" that a template leaves out, so that the
// value typed for it goes nowhere; none for the program's own string (an empty template).
QStringList missingPlaceholders(const QString& oracleTemplate);

// Whether the Oracle login opens. Shows nothing; only making the connection object can throw.
bool OracleCanConnect(ConnectionFactory& factory, const ConnectionValues& values);

// Replaces the list with the tables the Oracle user owns (or, given an owner, those of that
// owner the user may see), and makes the first one current. Lets the window process its events
// before each row.
void LoadOracleTables(TableList& list, ConnectionFactory& factory, const ConnectionValues& values,
                      const std::function<void()>& processEvents, const QString& owner = {});

}  // namespace tw
