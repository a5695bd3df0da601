#include "maintenance/DeleteTables.h"

#include "db/Dialect.h"
#include "db/Side.h"
#include "db/SqlText.h"
#include "maintenance/OpenForWork.h"
#include "shell/FrontEnd.h"
#include "shell/TableList.h"

namespace tw {

void DeleteTables(const DatabaseSide& side, TableList& list, const TableWork& work) {
    Procedure proc(work.frontEnd, side.deleteProcedure);
    const std::unique_ptr<Connection> connection = openForWork(proc, side, work);

    if (proc.test(side.line(108), [&] { return list.currentIndex() != -1; })) {
        // From the bottom up, so a removal never moves an item still to be visited.
        for (int i = list.count() - 1; i >= 0; --i) {
            if (!proc.test(side.line(112), [&] { return list.isSelected(i); })) continue;
            bool dropped = false;
            proc.setTable(list.text(i));
            proc.step(side.line(114), [&] {
                Connection& database = required(connection);
                database.execute(DropTableSql(DialectFor(&database, side.database->dialect), list.text(i)));
                dropped = true;
            });
            if (!dropped) continue;
            work.frontEnd.tableDropped(list.text(i));
            proc.step(side.line(116), [&] { list.removeItem(i); });
        }
    } else {
        proc.step(side.line(120), [&] { work.frontEnd.nothingSelected(MissingSelection::Table); });
    }
    proc.step(side.line(122), [&] { work.frontEnd.busy(false); });
}

}  // namespace tw
