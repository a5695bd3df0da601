#pragma once

#include <functional>

#include "db/ConnectionValues.h"
#include "transfer/TransferProfile.h"

namespace tw {

class ConnectionFactory;
class Dialogs;
class TableList;

// What a transfer works with on the tables window.
struct TransferWindow {
    Dialogs& dialogs;
    ConnectionFactory& connections;
    ConnectionValues values;
    TableList& sourceList;
    TableList& targetList;
    std::function<void()> processEvents;
    std::function<void(bool busy)> showBusy;
    std::function<void(double percent)> showProgress;
    std::function<void()> resetProgress;  // back to 0 and its resting text
    // Asked between rows: true once the user wants the transfer to end after this row.
    std::function<bool()> stopRequested;
    // The further button the error box offers while a transfer runs; it ends the transfer.
    QString stopButton;
};

// Copies every selected table of the source list, from the bottom of the list up, into the
// target database: asks before replacing a listed table, recreates the table from the source
// fields, sends one INSERT per row while the progress bar shows the share done, and lists the
// new table. A failing step shows the error box and the copy goes on; a failing row costs only
// that row. Rows go only into a table this transfer has just created. An old table is dropped
// only once its replacement's rows can be read; a target connection that is lost ends the
// table's rows with one box. Ended early by the user, the transfer finishes the table it is in
// as far as it got, as it would after its last table.
void TransferTables(const TransferProfile& profile, TransferWindow& window);

}  // namespace tw
