#pragma once

#include <QList>
#include <QString>
#include <functional>

#include "db/ConnectionValues.h"

namespace tw {

class ConnectionFactory;
struct Side;

// What became of one kind of column's values, copied one way, plain or faithful.
struct CheckVerdict {
    enum class Outcome { Exact, Changes, Refused };
    QString kind;  // the column's type as the source made it: "VARCHAR(100)"
    QString from;  // the databases as the command line names them
    QString to;
    bool faithful = false;
    Outcome outcome = Outcome::Exact;
    QString detail;  // how a value changes, or the database's words for a refusal
};

// A check of two databases: what to check and how to tell the user along the way.
struct PairCheckRequest {
    ConnectionFactory& connections;
    ConnectionValues values;
    const Side& first;
    const Side& second;
    std::function<bool()> stopRequested;
    std::function<void(const QString&)> say;  // a line of progress
};

// Makes a scratch table of every kind of column the source's product knows, filled with the
// values that go wrong, in each database; copies each into the other, plain and faithful, with
// a verification; and judges each kind's values. Everything it made goes again, also when a
// step fails or the user stops it; what a check that was killed left is taken away first.
// Throws where a database cannot be reached or a scratch table cannot be made.
QList<CheckVerdict> checkPair(const PairCheckRequest& request);

}  // namespace tw
