#pragma once

#include <QString>
#include <memory>
#include <optional>

namespace tw {

struct Side;

// The login the command line gives one end of its work, where that end is no configured side;
// unset, the data source or the connection string holds it.
struct EndpointLogin {
    std::optional<QString> user;
    std::optional<QString> password;
};

// What is wrong with a name for a database, or nothing: "oracle" and "sqlanywhere" are the
// configured sides, "dsn:NAME" any data source the driver manager knows, "odbc:STRING" any
// driver connection string, in which {User} and {Password} stand for the login's values.
QString endpointNameProblem(const QString& name);

// The database the name names, reached with the login; a configured side is the very side.
// Throws where the connection string needs a value of the login it was not given.
std::shared_ptr<const Side> endpointNamed(const QString& name, const EndpointLogin& login = {});

}  // namespace tw
