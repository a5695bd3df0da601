#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>
#include <utility>

namespace tw::postgres {

// libpq's connection parameters, keyword then value, in order: a later one of a keyword
// overrides an earlier one. They go to libpq as they are, so a password needs no quoting.
using LibpqParameter = std::pair<QByteArray, QByteArray>;
using LibpqParameters = QList<LibpqParameter>;

// libpq's connection parameters for the server, database and login that psqlODBC reached,
// read from the connection string the driver completed (its SERVER, PORT, DATABASE, UID, PWD,
// SSLmode and pqopt; the password as the driver writes it, each byte but letters and digits
// as %xx and a space as +), or from a data source's own entries. They hold the password, so
// they are never shown. None where there is no string, or libpq cannot read the driver's pqopt.
std::optional<LibpqParameters> libpqParameters(const QString& completedConnectionString);

// The same as libpq's "key=value" text, the driver's pqopt as it wrote it.
std::optional<QByteArray> libpqConnInfo(const QString& completedConnectionString);

// A value as libpq reads it in its "key=value" text: in single quotes, with a backslash before
// each single quote and backslash.
QByteArray libpqValue(const QByteArray& value);

// A value as psqlODBC writes it in a completed connection string, read back.
QByteArray psqlOdbcDecoded(const QString& value);

}  // namespace tw::postgres
