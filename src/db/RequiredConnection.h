#pragma once

#include <memory>

#include "db/Connection.h"
#include "db/DbError.h"

namespace tw {

// The connection a step works on. When making it failed earlier in the handler, the step
// fails too, with its own box, as a step on a missing object would.
inline Connection& required(const std::unique_ptr<Connection>& connection) {
    if (!connection) throw DbError(QStringLiteral("Object variable or With block variable not set"));
    return *connection;
}

}  // namespace tw
