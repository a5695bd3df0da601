#pragma once

#include <QString>

#include "shell/FrontEnd.h"

namespace tw {

// What became of one table of a copy, in one word for every front end: the windows' summary, the
// terminal, --json and the transfer log all say it from this, so that a heading never counts a
// table its own line calls otherwise.
enum class TableVerdict {
    Copied,        // every row read is in the table
    RowsRefused,   // in the table, but for rows the database refused
    RowsNotAdded,  // every row staged, but the table took a different number (a trigger, say)
    InPart,        // in the table as far as the copy got: a row unread, a connection lost
    Stopped,       // the run was asked to end before the table's last row (a replace's old table stands)
    NotReplaced,   // the old table stands as it was, the run not stopped
    NotCopied,     // no row went in
};

// The one place a table's verdict is decided; each front end has its own word for it.
TableVerdict verdictOf(const TableOutcome& outcome);

// Only a whole copy counts as a copied table; every other verdict says what it lacks.
inline bool isCopied(TableVerdict verdict) { return verdict == TableVerdict::Copied; }

// The verdict as a person reads it: "copied", "copied in part: 3 rows refused", "not copied",
// "not replaced: not every row was copied", ...
QString verdictText(const TableOutcome& outcome);

// Why a replace kept the old table.
QString whyOldTableKept(const TableOutcome& outcome);

}  // namespace tw
