#pragma once

#include <QString>

namespace tw {

// How a SQL Anywhere ODBC data source is set up and named.
QString sybaseHelpText();

// What an Oracle SID is, with an example TNSNAMES.ORA entry.
QString oracleSidHelpText();

// The Oracle data types the program cannot copy.
QString oracleDataTypeNote();

}  // namespace tw
