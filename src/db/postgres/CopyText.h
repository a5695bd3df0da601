#pragma once

#include <QByteArray>

#include "db/Connection.h"

namespace tw::postgres {

// A value as PostgreSQL's COPY reads it in its text format: NULL as \N; text with its
// backslashes, tabs, line breaks and carriage returns escaped, so that the column's input
// reads the very text a literal would have quoted; bytes as a bytea in hex.
void appendCopyValue(QByteArray& line, const BoundValue& value);

}  // namespace tw::postgres
