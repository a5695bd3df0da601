#pragma once

#include <memory>

#include "db/RequiredConnection.h"
#include "maintenance/DatabaseSide.h"
#include "shell/Procedure.h"

namespace tw {

// The first steps of every delete and rename: make the connection, put the hourglass up, and
// open the side's database. Each step that fails is reported and the next one still runs.
std::unique_ptr<Connection> openForWork(Procedure& proc, const DatabaseSide& side, const TableWork& work);

}  // namespace tw
