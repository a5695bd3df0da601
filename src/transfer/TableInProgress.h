#pragma once

#include <QString>
#include <optional>

#include "db/TableShape.h"
#include "shell/FrontEnd.h"
#include "transfer/ColumnMatch.h"
#include "transfer/TableCopyPlan.h"
#include "transfer/TablePlan.h"

namespace tw {

// What the copy of one table has found and done so far.
struct TableInProgress {
    WriteAction action = WriteAction::Create;
    // Whether the rows fill a staging table of the copy's own, which takes the name at the end.
    bool staged() const { return action != WriteAction::ReplaceInPlace; }
    // Whether the rows go into the table the target has, which keeps its definition.
    bool intoExisting() const { return action == WriteAction::Append || action == WriteAction::Truncate; }

    TableOutcome outcome;
    TablePlan plan;        // the table being made
    TableCopyPlan copy;    // its statements, once its names are known
    TableShape existing;   // the target's table the rows go into, where they go into one
    ColumnMatch match;     // how the source's columns meet the existing table's
    QString filled;        // the table the rows go into: the table's own name, or a staging name
    bool complete = true;  // every row read was written or refused for itself
    // The staging table keeps the rows: the old table went, or is aside, and the staging table
    // could not take its place.
    bool stagingKept = false;
    // The CREATE TABLE met a lost connection or a time-out: the table may have been made.
    bool createOutcomeUnknown = false;
    // The storage engine of a table that cannot undo a failed load; empty where the load is
    // undone with its transaction. The rows such a load left, where they could be counted.
    QString engineWithoutUndo;
    std::optional<qint64> rowsLeftByFailedLoad;
};

}  // namespace tw
