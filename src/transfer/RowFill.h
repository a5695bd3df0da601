#pragma once

#include <QString>
#include <functional>
#include <memory>

#include "db/Connection.h"
#include "shell/Procedure.h"
#include "transfer/ComposedStatement.h"
#include "transfer/CopyEngine.h"
#include "transfer/CopySteps.h"
#include "transfer/TableInProgress.h"

namespace tw {

class FrontEnd;

// What filling a table's rows works with, from the copy it belongs to.
struct FillContext {
    Procedure& proc;
    FrontEnd& front;
    const TransferRequest& request;
    CopyObserver* observer;
    const std::unique_ptr<Connection>& target;
    const Dialect& written;  // the product the target connection speaks
    StepLines lines;         // the copy's line numbers, which the user reads when a step fails
    std::function<bool()> stopping;
    ComposedStatement& composed;
};

// Reads the source's rows and writes each into the table made for them (table.filled): one
// INSERT a row, or batches bound to one prepared INSERT where the request asks for them and the
// target can, the next batch read while the target writes the one before. A refused batch goes
// again row by row; a row whose values cannot go as they are is refused for itself; a failure
// that is not a row's own ends the table's rows with one report. Counts go to table.outcome
// (the rows, and the empty values of the rows written that go as NULL), and table.complete
// says whether every row read was written or refused for itself.
void fillRows(const FillContext& context, TableInProgress& table, const QString& tableName, Recordset& rows);

// Whether the copy writes an empty text or empty bytes as itself into a column of text or bytes:
// the typed copy does, where the target keeps them; the plain copy writes NULL, as the windows'
// copy always has.
bool keepsEmptyValues(const TransferRequest& request, const Dialect& target);

// The report of a failure that ended a table's copy, naming the table.
QString endedTableText(const std::exception& failure, const QString& table);

}  // namespace tw
