#pragma once

#include <QString>

#include "db/ConnectionTarget.h"
#include "db/ConnectionValues.h"

namespace tw {

class ConnectionFactory;
class Dialect;
class FrontEnd;

// What differs between the two databases' delete and rename buttons.
struct DatabaseSide {
    QString deleteProcedure;
    QString renameProcedure;
    bool setsOdbcProvider;
    ConnectionTarget (*connectionTarget)(const ConnectionValues&);
    const Dialect* dialect;  // the side's own product: its rename statement
    // Lines after the provider step are numbered this much lower where there is none.
    int lineShift;

    // The line number the user reads for a step, given in the SQL Anywhere side's numbering.
    int line(int sqlAnywhereLine) const {
        return sqlAnywhereLine < 106 ? sqlAnywhereLine : sqlAnywhereLine + lineShift;
    }
};

extern const DatabaseSide kSybaseSide;  // List1, PushButton1 and PushButton6
extern const DatabaseSide kOracleSide;  // List2, PushButton5 and PushButton7

// What a delete or rename works with: the front end that answers and is told, the
// connections, and the connection values as they are now.
struct TableWork {
    FrontEnd& frontEnd;
    ConnectionFactory& connections;
    ConnectionValues values;
};

}  // namespace tw
