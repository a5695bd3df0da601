#pragma once

#include <set>

#include "db/odbc/Handle.h"

namespace tw::odbc {

class OdbcRecordset;

// The environment and connection handles that a connection and its recordsets share. Closing
// the connection first closes its recordsets, so no statement outlives its connection, in
// whatever order the owners let go.
struct OdbcSession {
    OdbcSession();
    ~OdbcSession();

    void disconnect() noexcept;

    Handle env;
    Handle dbc;
    bool connected = false;
    std::set<OdbcRecordset*> recordsets;
};

}  // namespace tw::odbc
