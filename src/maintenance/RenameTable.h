#pragma once

#include "maintenance/DatabaseSide.h"

namespace tw {

class TableList;

// Asks for a new name for the one selected table of the list and renames it in its database;
// the list then holds the new name in place of the old, with item 0 current. A rename the
// database refuses leaves the list as it was.
void RenameTable(const DatabaseSide& side, TableList& list, const TableWork& work);

}  // namespace tw
