#pragma once

#include <QString>

#include "shell/FrontEnd.h"

namespace tw::cli {

// The step of a table's copy a failure came in, as a user of the command line knows the steps:
// "CREATE TABLE", "INSERT", "the swap", "the load", "DROP TABLE", "SELECT". Read from the
// statement the failure quotes or was composing; empty where it names none.
QString failureStep(const Failure& failure);

// A failure on one line for the terminal: the table, the row and the step, the SQLSTATE, the
// database's message and the start of the statement. The windows' procedure and line number
// are the error box's and the log's, not the terminal's.
QString failureMessage(const Failure& failure, int statementChars);

}  // namespace tw::cli
