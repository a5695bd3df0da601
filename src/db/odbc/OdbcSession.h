#pragma once

#include <memory>
#include <set>
#include <vector>

#include "db/Connection.h"
#include "db/odbc/Handle.h"

namespace tw::odbc {

class OdbcBatchWriter;
class OdbcRecordset;

// The environment and connection handles that a connection and its recordsets share. Closing
// the connection first closes its recordsets and batch writers, so no statement outlives its connection, in
// whatever order the owners let go.
struct OdbcSession {
    OdbcSession();
    ~OdbcSession();

    void disconnect() noexcept;

    // Reads what the driver says about the database it reached, once connected.
    void learnDatabase();

    // The statement handle that runs statements without results, made once and reused; it
    // gives up after the command timeout.
    Handle& executor();

    // Whether the driver knows the connection to be gone.
    bool isDead() const;

    // Where the driver names schemas as catalogs, the catalog a catalogue function is to look
    // in for a table of the schema given (none: the session's current one); empty elsewhere.
    QByteArray catalogOfSchema(const QByteArray& schema) const;

    std::shared_ptr<Handle> env;  // shared by every connection of the program
    Handle dbc;
    Handle executorHandle;
    bool connected = false;
    int commandTimeout = 0;
    int readSilence = 0;  // see ConnectionTimeouts
    // The sockets the driver talks to the server through, where it has any: a call that waits on
    // a server that no longer answers is ended by shutting them (AnswerDeadline).
    std::vector<int> sockets;
    const Dialect* dialect = nullptr;  // of the product the driver names, if the program knows it
    QString productName;               // as the driver names it
    NameLimits nameLimits;
    // The connection string the driver completed, where the program gave it one: the way to the
    // same database by another road. It holds the password, so it is never shown.
    QString completedConnection;
    // The driver reads any value of a row of a block once positioned on it, whatever is bound
    // (SQL_GD_BLOCK, SQL_GD_ANY_COLUMN, SQL_GD_ANY_ORDER, SQL_GD_BOUND): results may be read in
    // blocks.
    bool readsBlocks = false;
    std::set<OdbcRecordset*> recordsets;
    std::set<OdbcBatchWriter*> batchWriters;
};

}  // namespace tw::odbc
