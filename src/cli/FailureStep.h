#pragma once

#include <QString>

#include "shell/FrontEnd.h"

namespace tw::cli {

// The step of a table's copy a failure came in, as a user of the command line knows the steps:
// "CREATE TABLE", "INSERT", "the swap", "the load", "DROP TABLE", "SELECT". Read from the
// statement the failure quotes or was composing; empty where it names none.
QString failureStep(const Failure& failure);

}  // namespace tw::cli
