#pragma once

#include <QString>

#include "db/ConnectionTarget.h"
#include "db/ConnectionValues.h"

namespace tw {

class ConnectionFactory;
struct Side;
class FrontEnd;

// What differs between the two databases' delete and rename buttons.
struct DatabaseSide {
    QString deleteProcedure;
    QString renameProcedure;
    const Side* database;  // how it is reached, and its own product's rename statement
    // Lines after the provider step are numbered this much lower where there is none.
    int lineShift;

    // The line number the user reads for a step, given in the SQL Anywhere side's numbering.
    int line(int sqlAnywhereLine) const {
        return sqlAnywhereLine < 106 ? sqlAnywhereLine : sqlAnywhereLine + lineShift;
    }
};

extern const DatabaseSide kSybaseSide;  // List1, PushButton1 and PushButton6
extern const DatabaseSide kOracleSide;  // List2, PushButton5 and PushButton7

// The buttons of the side's list; any other database's work is numbered as the SQL Anywhere
// side's, a data source as it is.
DatabaseSide ButtonsOf(const Side& side);

// What a delete or rename works with: the front end that answers and is told, the
// connections, and the connection values as they are now.
struct TableWork {
    FrontEnd& frontEnd;
    ConnectionFactory& connections;
    ConnectionValues values;
};

}  // namespace tw
