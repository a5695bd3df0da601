#pragma once

#include <QString>

#include "db/Connection.h"
#include "db/ConnectionValues.h"
#include "transfer/CopyStatements.h"

namespace tw {

// The line numbers one direction's handler reports. Steps that the two directions take in a
// different order (making, opening and closing the connections, the final pointer) run in the
// order of their line numbers. The steps from the column types on are numbered alike in both
// directions, apart from a shift.
struct TransferLines {
    int createSource;
    int createTarget;
    int busy;
    int sourceCursor;
    int sourceOpen;
    int targetCursor;
    int targetOpen;
    int nothingCurrentMessage;
    int closeSource;
    int closeTarget;
    int finalPointer;
    int tailShift;  // added to the shared numbers of the column types and rows (164 on)
};

// Everything that differs between copying to Oracle and copying to SQL Anywhere.
struct TransferProfile {
    QString procedure;
    TargetDatabase target;
    QString (*sourceConnectionString)(const ConnectionValues&);
    QString (*targetConnectionString)(const ConnectionValues&);
    bool existenceIgnoresCase;         // the target list is searched without regard to case
    CursorType cursorType;
    LockType lockType;
    bool eventsPerListItem;            // events are let through for every list item too
    bool errorBoxShowsStatement;       // the error box ends with the statement composed last
    QString nothingCurrentMessage;
    TransferLines lines;
};

// "Send Table/s To Oracle": the SQL Anywhere list's selected tables into Oracle.
extern const TransferProfile kToOracle;
// "Send Table/s To Sybase iAny": the Oracle list's selected tables into SQL Anywhere.
extern const TransferProfile kToSqlAnywhere;

}  // namespace tw
