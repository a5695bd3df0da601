#pragma once

#include <QString>

namespace tw {

class Dialect;

// A table or column name as the SQL standard reads it: between double quotes, exactly as given,
// with every double quote inside it doubled so that it can never end the name early. A
// statement for a connection names its tables and columns through the connection's dialect.
QString quotedName(const QString& name);

// A table's name in a statement: in its schema (or owner) where one is given, "S"."T", else as
// the session finds it, "T".
QString qualifiedName(const QString& schema, const QString& table);

// A text as an SQL string literal: between single quotes, every single quote inside doubled.
QString sqlLiteral(const QString& text);

// "DROP TABLE" and the quoted name, in the schema where one is given: in the dialect's quotes,
// or the standard's.
QString DropTableSql(const Dialect& dialect, const QString& table, const QString& schema = {});
QString DropTableSql(const QString& table, const QString& schema = {});

}  // namespace tw
