#pragma once

#include <QString>
#include <functional>

#include "db/ConnectionTarget.h"

namespace tw {

class ConnectionFactory;
class TableList;

// Replaces the list with the base tables the driver's catalogue gives for the target, those of
// the schema (or owner) given or else the login's own; no item is made current. A copy's
// staging table is left out, and where hideSysNames is set every name that holds "SYS" in any
// case. Lets the window process its events before each base table. Where onlyFoundByName is
// set and no schema is given, a database whose catalogue lists every schema's tables (PostgreSQL)
// gives only those a statement finds by the bare name listed, which are the ones a copy can read.
void LoadCatalogueTables(TableList& list, ConnectionFactory& factory, const ConnectionTarget& target,
                         const std::function<void()>& processEvents, const QString& schema, bool hideSysNames,
                         bool onlyFoundByName = false);

}  // namespace tw
