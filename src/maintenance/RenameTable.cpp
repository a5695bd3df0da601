#include "maintenance/RenameTable.h"

#include "db/Dialect.h"
#include "db/Side.h"
#include "maintenance/OpenForWork.h"
#include "shell/FrontEnd.h"
#include "shell/TableList.h"

namespace tw {

void RenameTable(const DatabaseSide& side, TableList& list, const TableWork& work) {
    Procedure proc(work.frontEnd, side.renameProcedure);
    const std::unique_ptr<Connection> connection = openForWork(proc, side, work);

    if (proc.test(side.line(108), [&] { return list.currentIndex() == -1; })) {
        proc.step(side.line(134), [&] { work.frontEnd.nothingSelected(MissingSelection::TableToRename); });
    } else if (proc.test(side.line(110), [&] { return list.selectedCount() != 1; })) {
        proc.step(side.line(132),
                  [&] { work.frontEnd.nothingSelected(MissingSelection::JustOneTableToRename); });
    } else {
        for (int i = list.count() - 1; i >= 0; --i) {
            if (proc.test(side.line(114), [&] { return !list.isSelected(i); })) continue;
            QString oldName;
            QString newName;
            proc.step(side.line(116), [&] { oldName = list.text(i); });
            proc.setTable(oldName);
            proc.step(side.line(118), [&] { newName = work.frontEnd.newNameFor(oldName); });
            if (proc.test(side.line(120), [&] { return newName.isEmpty(); })) continue;
            bool renamed = false;
            proc.step(side.line(122), [&] {
                Connection& open = required(connection);
                open.execute(side.database->ownDialect(&open).renameSql(oldName, newName));
                renamed = true;
            });
            if (!renamed) continue;  // the table still has its old name
            work.frontEnd.tableRenamed(oldName, newName);
            proc.step(side.line(124), [&] { list.removeItem(i); });
            proc.step(side.line(126), [&] { list.addItem(newName); });
            proc.step(side.line(128), [&] { list.setCurrentIndex(0); });
        }
    }
    proc.step(side.line(136), [&] { work.frontEnd.busy(false); });
}

}  // namespace tw
