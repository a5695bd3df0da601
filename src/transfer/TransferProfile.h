#pragma once

#include <array>

#include "db/ConnectionTarget.h"
#include "db/ConnectionValues.h"
#include "db/Side.h"
#include "shell/FrontEnd.h"
#include "transfer/CopyStatements.h"
#include "transfer/CopySteps.h"

namespace tw {

class Dialect;

// The steps around the copy that the two directions take in different orders.
enum class TransferStep {
    CreateSource,  // make the source connection object
    CreateTarget,
    OpenSource,  // its cursor location, then open it (two lines)
    OpenTarget,
    CloseSource,
    CloseTarget,
    PointerBack,  // the default pointer again
};

struct NumberedStep {
    TransferStep step;
    int line;  // the line the user reads when the step fails; an opening uses this one and the next
};

// Everything that differs between copying to Oracle and copying to SQL Anywhere. Each handler's
// steps stand here in the order it runs them, with their line numbers.
struct TransferProfile {
    QString procedure;
    const Side* source;
    const Side* destination;              // its own product gives the created tables' column types
    bool existenceIgnoresCase;            // the target list is searched without regard to case
    bool eventsPerListItem;               // events are let through for every list item too
    bool failuresQuoteStatement;          // a failure quotes the statement composed last
    MissingSelection nothingCurrent;      // the message when the source list has no current item
    std::array<NumberedStep, 2> making;   // first of all
    int busyLine;                         // then the hourglass
    std::array<NumberedStep, 2> opening;  // then the two connections
    std::array<NumberedStep, 3> ending;   // after the last table
    int nothingCurrentLine;
    int tailShift;    // added to the shared numbers from the CREATE TABLE statement (218) on
    StepLines lines;  // each step of the copy's tables, numbered as this handler numbers it
};

// "Send Table/s To Oracle": the SQL Anywhere list's selected tables into Oracle.
extern const TransferProfile kToOracle;
// "Send Table/s To Sybase iAny": the Oracle list's selected tables into SQL Anywhere.
extern const TransferProfile kToSqlAnywhere;

// The copy into the side.
const TransferProfile& TransferInto(const Side& side);
// The copy from one database into another. Between the configured sides it is the send
// button's; into any other database it is numbered as the copy into the SQL Anywhere side, and
// finds the target's tables with or without regard to case as its product (the target
// connection's dialect) tells table names apart.
TransferProfile TransferBetween(const Side& from, const Side& to, const Dialect& target);

}  // namespace tw
