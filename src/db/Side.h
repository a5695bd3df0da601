#pragma once

#include <QString>
#include <functional>

#include "db/ConnectionTarget.h"
#include "db/ConnectionValues.h"

namespace tw {

class Connection;
class ConnectionFactory;
class Dialect;
class TableList;

// A database the program works with: one of the two configured sides, or any other the command
// line names. Its product, how it is reached and listed, and how the command line and the
// messages name it.
struct Side {
    // A configured side's own product: its title, column types and rename. Any other database's
    // product is the one its driver names, and this the dialect where the driver names none.
    const Dialect& dialect;
    QString name;  // as the command line names it: "oracle", "sqlanywhere", "dsn:NAME"
    std::function<ConnectionTarget(const ConnectionValues&)> target;
    bool namesOdbcProvider;  // its connections name the ODBC provider before they open
    // The tables of the side's own schema, or of the schema (or owner) given.
    std::function<void(TableList&, ConnectionFactory&, const ConnectionValues&, const std::function<void()>&,
                       const QString& schema)>
        loadTables;
    // Where the side is, for a message; never the password.
    std::function<QString(const ConnectionValues&)> describe;
    // One of the two sides the windows show, which speak their own product's statements.
    bool isConfigured = true;

    // The dialect of the side's own statements (the plain copy's types, the rename) on this
    // connection: a configured side's own product, else the one the driver names.
    const Dialect& ownDialect(const Connection* connection) const;
    // How messages name it: its product, or the database as the command line names it.
    QString title() const;
};

const Side& oracleSide();
const Side& sqlAnywhereSide();
const Side& otherSide(const Side& side);
// The side the command line names, or none.
const Side* sideNamed(const QString& name);

}  // namespace tw
