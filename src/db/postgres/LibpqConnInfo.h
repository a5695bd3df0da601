#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

namespace tw::postgres {

// libpq's connection parameters for the server, database and login that psqlODBC reached,
// read from the connection string the driver completed (its SERVER, PORT, DATABASE, UID, PWD,
// SSLmode and pqopt; the password as the driver writes it, each byte but letters and digits
// as %xx and a space as +), or from a data source's own entries. The text goes to libpq as it
// is and holds the password, so it is never shown. None where there is no string.
std::optional<QByteArray> libpqConnInfo(const QString& completedConnectionString);

// A value as libpq reads it in its "key=value" text: in single quotes, with a backslash before
// each single quote and backslash.
QByteArray libpqValue(const QByteArray& value);

// A value as psqlODBC writes it in a completed connection string, read back.
QByteArray psqlOdbcDecoded(const QString& value);

}  // namespace tw::postgres
