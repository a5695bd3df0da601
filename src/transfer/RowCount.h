#pragma once

#include <QString>

namespace tw {

class Connection;
class Dialect;

// How many rows the table holds (those that meet the condition, where one is given), as the
// database counts them.
qint64 countRows(Connection& connection, const Dialect& dialect, const QString& table,
                 const QString& condition = {}, const QString& schema = {});

}  // namespace tw
