#pragma once

#include <QString>

#include "db/TableRef.h"

namespace tw {

class Connection;
class Dialect;

// How many rows the table holds (those that meet the condition, where one is given), as the
// database counts them.
qint64 countRows(Connection& connection, const Dialect& dialect, const TableRef& table,
                 const QString& condition = {});

}  // namespace tw
