#include "db/odbc/OdbcSession.h"

#include <sqlext.h>

#include <QByteArray>
#include <algorithm>
#include <memory>
#include <mutex>

#include "db/Dialect.h"
#include "db/odbc/OdbcBatchWriter.h"
#include "db/odbc/OdbcRecordset.h"

namespace tw::odbc {

namespace {

// One ODBC environment for all the connections of the program, made with the first and let go
// with the last; connections of copies running side by side share it, as ODBC means them to.
std::shared_ptr<Handle> sharedEnvironment() {
    static std::mutex lock;
    static std::weak_ptr<Handle> shared;
    const std::lock_guard<std::mutex> held(lock);
    std::shared_ptr<Handle> env = shared.lock();
    if (!env) {
        env = std::make_shared<Handle>(SQL_HANDLE_ENV, static_cast<SQLHANDLE>(SQL_NULL_HANDLE));
        check(SQLSetEnvAttr(env->get(), SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0),
              *env, "SQLSetEnvAttr");
        shared = env;
    }
    return env;
}

}  // namespace

OdbcSession::OdbcSession() : env(sharedEnvironment()), dbc(SQL_HANDLE_DBC, env->get()) {}

OdbcSession::~OdbcSession() { disconnect(); }

void OdbcSession::learnDatabase() {
    SQLCHAR name[256] = {};
    SQLSMALLINT length = 0;
    if (SQL_SUCCEEDED(SQLGetInfo(dbc.get(), SQL_DBMS_NAME, name, sizeof name, &length))) {
        const QByteArray named(reinterpret_cast<const char*>(name));
        dialect = dialectNamed(named);
        productName = QString::fromUtf8(named);
    }
    // A name longer than these would be cut short by some databases, without a word.
    SQLUSMALLINT longest = 0;
    if (SQL_SUCCEEDED(SQLGetInfo(dbc.get(), SQL_MAX_TABLE_NAME_LEN, &longest, sizeof longest, nullptr)))
        nameLimits.table = longest;
    longest = 0;
    if (SQL_SUCCEEDED(SQLGetInfo(dbc.get(), SQL_MAX_COLUMN_NAME_LEN, &longest, sizeof longest, nullptr)))
        nameLimits.column = longest;
    if (const int most = dialect ? dialect->longestNameBytes() : 0; most > 0) {
        nameLimits.table = nameLimits.table > 0 ? std::min(nameLimits.table, most) : most;
        nameLimits.column = nameLimits.column > 0 ? std::min(nameLimits.column, most) : most;
    }
    SQLUINTEGER extensions = 0;
    // Bound columns of a block, and a value too long for its buffer read again from its row.
    const SQLUINTEGER needed = SQL_GD_BLOCK | SQL_GD_ANY_COLUMN | SQL_GD_ANY_ORDER | SQL_GD_BOUND;
    readsBlocks = SQL_SUCCEEDED(SQLGetInfo(dbc.get(), SQL_GETDATA_EXTENSIONS, &extensions, sizeof extensions,
                                           nullptr)) &&
                  (extensions & needed) == needed && !(dialect && dialect->misreadsBlockRows());
}

Handle& OdbcSession::executor() {
    if (!executorHandle) {
        executorHandle = Handle(SQL_HANDLE_STMT, dbc.get());
        // A driver that cannot time statements out still runs them.
        SQLSetStmtAttr(executorHandle.get(), SQL_ATTR_QUERY_TIMEOUT,
                       reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(commandTimeout)), 0);
    }
    return executorHandle;
}

bool OdbcSession::isDead() const {
    SQLUINTEGER dead = SQL_CD_FALSE;
    return SQL_SUCCEEDED(SQLGetConnectAttr(dbc.get(), SQL_ATTR_CONNECTION_DEAD, &dead, 0, nullptr)) &&
           dead == SQL_CD_TRUE;
}

QByteArray OdbcSession::catalogOfSchema(const QByteArray& schema) const {
    if (!dialect || !dialect->schemasAreCatalogs()) return QByteArray();
    if (!schema.isEmpty()) return schema;
    SQLCHAR current[256] = {};
    SQLINTEGER length = 0;
    if (!SQL_SUCCEEDED(
            SQLGetConnectAttr(dbc.get(), SQL_ATTR_CURRENT_CATALOG, current, sizeof current, &length)))
        return QByteArray();
    return QByteArray(reinterpret_cast<const char*>(current),
                      qBound<SQLINTEGER>(0, length, sizeof current - 1));
}

void OdbcSession::disconnect() noexcept {
    // Copy first: closing a recordset takes it out of the set.
    const std::set<OdbcRecordset*> open = recordsets;
    for (OdbcRecordset* recordset : open) recordset->close();
    const std::set<OdbcBatchWriter*> writers = batchWriters;
    for (OdbcBatchWriter* writer : writers) writer->release();
    executorHandle.reset();
    if (connected) SQLDisconnect(dbc.get());
    connected = false;
    sockets.clear();  // closed with the connection: their numbers may be another's next
}

}  // namespace tw::odbc
