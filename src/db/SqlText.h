#pragma once

#include <QString>

namespace tw {

// A table or column name as SQL reads it: between double quotes, exactly as given, with every
// double quote inside it doubled so that it can never end the name early. Every statement
// that names a table or column goes through here.
QString quotedName(const QString& name);

// A text as an SQL string literal: between single quotes, every single quote inside doubled.
QString sqlLiteral(const QString& text);

// "DROP TABLE" and the quoted name.
QString DropTableSql(const QString& table);

}  // namespace tw
