#include "db/odbc/OdbcSession.h"

#include <sqlext.h>

#include "db/odbc/OdbcRecordset.h"

namespace tw::odbc {

OdbcSession::OdbcSession() : env(SQL_HANDLE_ENV, SQL_NULL_HANDLE) {
    check(SQLSetEnvAttr(env.get(), SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0),
          env, "SQLSetEnvAttr");
    dbc = Handle(SQL_HANDLE_DBC, env.get());
}

OdbcSession::~OdbcSession() { disconnect(); }

void OdbcSession::disconnect() noexcept {
    // Copy first: closing a recordset takes it out of the set.
    const std::set<OdbcRecordset*> open = recordsets;
    for (OdbcRecordset* recordset : open) recordset->close();
    if (connected) SQLDisconnect(dbc.get());
    connected = false;
}

}  // namespace tw::odbc
