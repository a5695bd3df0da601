#include "db/odbc/OdbcSession.h"

#include <sqlext.h>

#include <QByteArray>

#include "db/odbc/OdbcRecordset.h"

namespace tw::odbc {

OdbcSession::OdbcSession() : env(SQL_HANDLE_ENV, SQL_NULL_HANDLE) {
    check(SQLSetEnvAttr(env.get(), SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0),
          env, "SQLSetEnvAttr");
    dbc = Handle(SQL_HANDLE_DBC, env.get());
}

OdbcSession::~OdbcSession() { disconnect(); }

void OdbcSession::learnDatabase() {
    SQLCHAR name[256] = {};
    SQLSMALLINT length = 0;
    if (SQL_SUCCEEDED(SQLGetInfo(dbc.get(), SQL_DBMS_NAME, name, sizeof name, &length))) {
        namesSqliteTablesAsSystem = QByteArray(reinterpret_cast<const char*>(name)).startsWith("SQLite");
    }
}

Handle& OdbcSession::executor() {
    if (!executorHandle) executorHandle = Handle(SQL_HANDLE_STMT, dbc.get());
    return executorHandle;
}

void OdbcSession::disconnect() noexcept {
    // Copy first: closing a recordset takes it out of the set.
    const std::set<OdbcRecordset*> open = recordsets;
    for (OdbcRecordset* recordset : open) recordset->close();
    executorHandle.reset();
    if (connected) SQLDisconnect(dbc.get());
    connected = false;
}

}  // namespace tw::odbc
