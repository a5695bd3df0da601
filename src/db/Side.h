#pragma once

#include <QString>
#include <functional>

#include "db/ConnectionTarget.h"
#include "db/ConnectionValues.h"

namespace tw {

class ConnectionFactory;
class Dialect;
class TableList;

// One of the two databases the program works between: its own product, how it is reached and
// listed, and how the command line and the messages name it.
struct Side {
    const Dialect& dialect;  // the side's own product: its title, column types and rename
    QString name;            // as the command line names it: "oracle", "sqlanywhere"
    ConnectionTarget (*target)(const ConnectionValues&);
    bool namesOdbcProvider;  // its connections name the ODBC provider before they open
    // The tables of the side's own schema, or of the schema (or owner) given.
    void (*loadTables)(TableList&, ConnectionFactory&, const ConnectionValues&, const std::function<void()>&,
                       const QString& schema);
    // Where the side is, for a message; never the password.
    QString (*describe)(const ConnectionValues&);
};

const Side& oracleSide();
const Side& sqlAnywhereSide();
const Side& otherSide(const Side& side);
// The side the command line names, or none.
const Side* sideNamed(const QString& name);

}  // namespace tw
