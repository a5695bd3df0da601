#pragma once

#include "maintenance/DatabaseSide.h"

namespace tw {

class TableList;

// Drops every selected table of the list from its database, from the last item up, and takes
// each dropped table out of the list. A table the database refuses to drop stays listed.
void DeleteTables(const DatabaseSide& side, TableList& list, const TableWork& work);

}  // namespace tw
