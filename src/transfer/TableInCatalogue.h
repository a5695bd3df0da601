#pragma once

#include <QString>

#include "db/TableRef.h"

namespace tw {

class Connection;

// Whether the target's catalogue says for sure that it has no table of this name, in any case,
// in the schema given (or the login's own). False where the catalogue cannot be read.
bool targetLacksTable(Connection& target, const TableRef& table) noexcept;

}  // namespace tw
