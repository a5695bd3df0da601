#pragma once

#include "db/ConnectionValues.h"
#include "transfer/TransferProfile.h"

namespace tw {

class ConnectionFactory;
class FrontEnd;
class Recordset;
class TableList;

// Sees what a copy reads, as it reads it: a verification digests the rows on the way.
class CopyObserver {
public:
    virtual ~CopyObserver() = default;
    // The table was created in the target; the source's fields are known.
    virtual void tableCreated(const QString& table, const Recordset& rows) = 0;
    // The source positioned on a row whose statement has just been composed.
    virtual void rowRead(const Recordset& row) = 0;
};

// What one transfer works with: the front end that answers and is told, the connections, the
// connection values as they are now, and the two table lists.
struct TransferJob {
    FrontEnd& frontEnd;
    ConnectionFactory& connections;
    ConnectionValues values;
    TableList& sourceList;
    TableList& targetList;
    CopyObserver* observer = nullptr;
    // Rows to a batch: 1 sends each row as its own literal INSERT; more binds that many rows to
    // one prepared INSERT and commits them together, where the target connection can.
    int batchRows = 1;
};

// Copies every selected table of the source list, from the bottom of the list up, into the
// target database: asks before replacing a listed table, recreates the table from the source
// fields, sends one INSERT per row while progress is reported, and lists the new table. A
// failing step is reported and the copy goes on; a failing row costs only that row. Rows go
// only into a table this transfer has just created. An old table is dropped only once its
// replacement's rows can be read; a target connection that is lost ends the table's rows with
// one report. Ended early by the user, the transfer finishes the table it is in as far as it
// got, as it would after its last table.
void TransferTables(const TransferProfile& profile, const TransferJob& job);

}  // namespace tw
