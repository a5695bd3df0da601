#pragma once

#include <QString>

namespace tw {

// A table or column name as SQL reads it: between double quotes, exactly as given, with every
// double quote inside it doubled so that it can never end the name early. Every statement
// that names a table or column goes through here.
QString quotedName(const QString& name);

// A table's name in a statement: in its schema (or owner) where one is given, "S"."T", else as
// the session finds it, "T".
QString qualifiedName(const QString& schema, const QString& table);

// A text as an SQL string literal: between single quotes, every single quote inside doubled.
QString sqlLiteral(const QString& text);

// "DROP TABLE" and the quoted name, in the schema where one is given.
QString DropTableSql(const QString& table, const QString& schema = {});

}  // namespace tw
