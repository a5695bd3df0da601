#pragma once

#include <QByteArray>
#include <QString>

#include "db/TableShape.h"

namespace tw::odbc {

struct OdbcSession;

// The table's shape: its columns in the order SELECT * gives them, with the types, lengths and
// nullability the driver's catalogue holds for them, and its primary key. Where the catalogue
// has no table of those columns, the columns as the driver describes a query's result, without
// a key. Throws DbError when the table cannot be queried.
// The table in the schema given, else where the session finds it.
TableShape readTableShape(const OdbcSession& session, const QString& table, const QString& schema = {});

// A name as a catalogue function's pattern that matches it alone.
QByteArray namePattern(const OdbcSession& session, const QByteArray& name);

}  // namespace tw::odbc
