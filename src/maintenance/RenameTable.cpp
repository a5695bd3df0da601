#include "maintenance/RenameTable.h"

#include "maintenance/OpenForWork.h"
#include "shell/TableList.h"

namespace tw {

void RenameTable(const DatabaseSide& side, TableList& list, TableWork& work) {
    Procedure proc(work.dialogs, side.renameProcedure);
    const std::unique_ptr<Connection> connection = openForWork(proc, side, work);

    if (proc.test(side.line(108), [&] { return list.currentIndex() == -1; })) {
        proc.step(side.line(134), [&] {
            work.dialogs.msgBox(QStringLiteral("Please select a table to rename."));
        });
    } else if (proc.test(side.line(110), [&] { return list.selectedCount() != 1; })) {
        proc.step(side.line(132), [&] {
            work.dialogs.msgBox(QStringLiteral("Please select just one table to rename."));
        });
    } else {
        for (int i = list.count() - 1; i >= 0; --i) {
            if (proc.test(side.line(114), [&] { return !list.isSelected(i); })) continue;
            QString oldName;
            QString newName;
            proc.step(side.line(116), [&] { oldName = list.text(i); });
            proc.step(side.line(118), [&] {
                newName = work.dialogs.inputBox(QStringLiteral("Enter new name of ") + oldName +
                                                    QLatin1Char(':'),
                                                QString(), oldName);
            });
            if (proc.test(side.line(120), [&] { return newName.isEmpty(); })) continue;
            bool renamed = false;
            proc.step(side.line(122), [&] {
                required(connection).execute(side.renameSql(oldName, newName));
                renamed = true;
            });
            if (!renamed) continue;  // the table still has its old name
            proc.step(side.line(124), [&] { list.removeItem(i); });
            proc.step(side.line(126), [&] { list.addItem(newName); });
            proc.step(side.line(128), [&] { list.setCurrentIndex(0); });
        }
    }
    proc.step(side.line(136), [&] { work.showBusy(false); });
}

}  // namespace tw
