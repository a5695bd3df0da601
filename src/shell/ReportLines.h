#pragma once

#include <QString>

#include "shell/FrontEnd.h"

namespace tw {

// A failure on one line: table, row, procedure and line, SQLSTATE, the message, and the first
// statementChars characters of the statement.
QString failureLine(const Failure& failure, int statementChars = 200);

// "EMP: 14 rows read, 13 written, 1 failed, 0.02 s".
QString outcomeLine(const TableOutcome& outcome);

}  // namespace tw
