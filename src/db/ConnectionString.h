#pragma once

#include <QString>

namespace tw {

// A value as it may stand in an ODBC connection string. A value that would otherwise be read
// as more than itself (it holds a ";" or begins with "{") is enclosed in braces with every "}"
// doubled; every other value is returned exactly as given.
QString connectionStringValue(const QString& value);

// The connection string without its PWD and Password parts, for a record or a message.
QString connectionStringWithoutPassword(const QString& text);

}  // namespace tw
