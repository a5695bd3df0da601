#pragma once

#include <QString>
#include <optional>

namespace tw {

// A value as it may stand in an ODBC connection string. A value that would otherwise be read
// as more than itself (it holds a ";" or begins with "{") is enclosed in braces with every "}"
// doubled; every other value is returned exactly as given.
QString connectionStringValue(const QString& value);

// The data source named by a "Data Source=NAME" string, or nothing for a driver string.
std::optional<QString> dataSourceOf(const QString& connectionString);

}  // namespace tw
