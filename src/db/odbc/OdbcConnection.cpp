#include "db/odbc/OdbcConnection.h"

#include <sqlext.h>

#include <atomic>
#include <map>
#include <mutex>

#include "db/AnswerDeadline.h"
#include "db/DbError.h"
#include "db/odbc/OdbcBatchWriter.h"
#include "db/odbc/OdbcRecordset.h"
#include "db/odbc/OdbcSession.h"
#include "db/odbc/OdbcTableShape.h"
#include "db/odbc/OdbcText.h"
#include "db/odbc/OdbcTransaction.h"

namespace tw::odbc {

namespace {

// One connection is made at a time in the whole program. PostgreSQL's driver sets the C
// library's locale while it connects and reads back the name it set, which another thread's
// connection may free meanwhile; connecting is rare next to copying, so jobs lose nothing.
// Except where a server never answers: so a connection that waited its turn behind a failed one
// to the same place fails as that one did instead of trying again, and the jobs of a copy wait
// out one login time-out, not one each.
class ConnectingTurns {
public:
    static ConnectingTurns& program() {
        static ConnectingTurns turns;
        return turns;
    }

    // Connects in turn; place: what the connection opens, as it is written.
    template <typename Connect>
    void take(const QString& place, Connect&& connect) {
        const quint64 endedBefore = m_ended.load();
        const std::lock_guard<std::mutex> turn(m_lock);
        const auto failed = m_failures.find(place);
        if (failed != m_failures.end() && failed->second.first > endedBefore) throw failed->second.second;
        try {
            connect();
            m_failures.erase(place);
            ++m_ended;
        } catch (const DbError& failure) {
            m_failures.insert_or_assign(place, std::make_pair(++m_ended, failure));
            throw;
        } catch (...) {
            ++m_ended;
            throw;
        }
    }

private:
    std::mutex m_lock;
    std::atomic<quint64> m_ended{0};  // connections tried so far
    // The last failure of each place, with the number of the connection that met it.
    std::map<QString, std::pair<quint64, DbError>> m_failures;
};

}  // namespace

OdbcConnection::OdbcConnection(ConnectionTimeouts timeouts, ConnectionHooks hooks)
    : m_session(std::make_shared<OdbcSession>()), m_hooks(std::move(hooks)), m_timeouts(timeouts) {
    m_session->commandTimeout = timeouts.command;
    m_session->readSilence = timeouts.silence;
}

OdbcConnection::~OdbcConnection() {
    m_transaction.reset();  // a transaction still open is undone before the connection ends
    m_session->disconnect();
}

void OdbcConnection::setProvider(const QString& provider) {
    // ODBC is the only way we reach a database, so its provider is the only one there is.
    if (provider.compare(kOdbcProvider, Qt::CaseInsensitive) != 0) {
        throw DbError(QStringLiteral("Provider cannot be found. It may not be properly installed."));
    }
}

void OdbcConnection::connect(const ConnectionTarget& target) {
    if (m_session->connected) {
        throw DbError(QStringLiteral("Operation is not allowed when the object is open."));
    }
    const Handle& dbc = m_session->dbc;
    // A server that accepts and never answers must not hold the program for ever. A driver
    // that cannot time out still connects.
    SQLSetConnectAttr(dbc.get(), SQL_ATTR_LOGIN_TIMEOUT,
                      reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(m_timeouts.login)), 0);
    ConnectingTurns::program().take(target.display(), [&] {
        // Connections are made one at a time: the sockets made meanwhile are this one's.
        const OpenSockets before = OpenSockets::now();
        struct FindSockets {
            OdbcSession& session;
            const OpenSockets& before;
            ~FindSockets() { session.sockets = OpenSockets::now().madeSince(before); }
        } findSockets{*m_session, before};
        // Past its login time-out, a driver still waiting on the server's greeting (MariaDB's
        // does) is cut off.
        const AnswerDeadline deadline(before, m_timeouts.login);
        try {
            connectTo(target);
        } catch (const DbError&) {
            if (deadline.passed()) throw deadline.failure();
            throw;
        }
    });
    m_session->connected = true;
    m_session->learnDatabase();
    m_target = target;
}

// The driver's own call, with its login time-out.
void OdbcConnection::connectTo(const ConnectionTarget& target) {
    const Handle& dbc = m_session->dbc;
    if (target.isDataSource()) {
        SqlString name = toSql(target.text());
        check(SQLConnect(dbc.get(), sqlChars(name), static_cast<SQLSMALLINT>(name.size()), nullptr, 0,
                         nullptr, 0),
              dbc, "SQLConnect");
        return;
    }
    SqlString text = toSql(target.text());
    SQLCHAR completed[4096];
    SQLSMALLINT completedLength = 0;
    check(SQLDriverConnect(dbc.get(), nullptr, sqlChars(text), SQL_NTS, completed, sizeof completed,
                           &completedLength, SQL_DRIVER_NOPROMPT),
          dbc, "SQLDriverConnect");
    // One cut short is not the way to the database.
    if (completedLength > 0 && completedLength < static_cast<SQLSMALLINT>(sizeof completed)) {
        m_session->completedConnection =
            QString::fromUtf8(reinterpret_cast<const char*>(completed), completedLength);
    }
}

void OdbcConnection::execute(const QString& statement) {
    toSql(statement, m_statementText);
    executeUtf8(m_statementText);
}

void OdbcConnection::executeUtf8(const QByteArray& statement) { executeWithParameters(statement, {}); }

// Text goes as SQL_C_CHAR in the UTF-8 the statements use, bytes as SQL_C_BINARY; a
// statement without parameters runs directly.
void OdbcConnection::executeWithParameters(const QByteArray& statement,
                                           const std::vector<BoundValue>& parameters) {
    requireOpen();
    Handle& stmt = m_session->executor();
    // Whatever happens, drop any result and the bound values afterwards so the handle is ready
    // for the next one; the diagnostics are read before that.
    struct CloseAfter {
        SQLHSTMT stmt;
        ~CloseAfter() {
            SQLFreeStmt(stmt, SQL_CLOSE);
            SQLFreeStmt(stmt, SQL_RESET_PARAMS);
        }
    } closeAfter{stmt.get()};
    auto* text = reinterpret_cast<SQLCHAR*>(const_cast<char*>(statement.constData()));
    const auto length = static_cast<SQLINTEGER>(statement.size());
    std::vector<SQLLEN> lengths(parameters.size());
    const AnswerDeadline deadline(m_session->sockets, m_session->commandTimeout,
                                  AnswerDeadline::Measure::Whole);
    m_rowsChanged = -1;
    const auto countChanged = [&] {
        SQLLEN rows = -1;
        if (SQL_SUCCEEDED(SQLRowCount(stmt.get(), &rows))) m_rowsChanged = rows;
    };
    try {
        if (parameters.empty()) {
            check(SQLExecDirect(stmt.get(), text, length), stmt, "SQLExecDirect");
            countChanged();
            return;
        }
        check(SQLPrepare(stmt.get(), text, length), stmt, "SQLPrepare");
        for (size_t i = 0; i < parameters.size(); ++i) {
            const BoundValue& value = parameters[i];
            const bool bytes = value.kind == BoundValue::Kind::Bytes;
            lengths[i] = value.kind == BoundValue::Kind::Null ? SQL_NULL_DATA : value.data.size();
            check(SQLBindParameter(stmt.get(), static_cast<SQLUSMALLINT>(i + 1), SQL_PARAM_INPUT,
                                   bytes ? SQL_C_BINARY : SQL_C_CHAR,
                                   bytes ? SQL_LONGVARBINARY : SQL_LONGVARCHAR,
                                   static_cast<SQLULEN>(std::max<qsizetype>(value.data.size(), 1)), 0,
                                   const_cast<char*>(value.data.constData()), value.data.size(), &lengths[i]),
                  stmt, "SQLBindParameter");
        }
        check(SQLExecute(stmt.get()), stmt, "SQLExecute");
        countChanged();
    } catch (DbError& failure) {
        if (deadline.passed()) throw deadline.failure();
        // The first failure on a lost connection may still carry the server's last word (a
        // session ended by the administrator, say); the driver knows the connection is gone.
        if (!failure.connectionLost() && m_session->isDead()) failure.markConnectionLost();
        throw;
    }
}

// Rows are always read forward from the driver. Client-side cursors know their row count
// before the first row, as their users rely on.
std::unique_ptr<Recordset> OdbcConnection::openRecordset(const QString& source) {
    requireOpen();
    return OdbcRecordset::query(m_session, source, m_cursorLocation == CursorLocation::Client);
}

std::unique_ptr<Recordset> OdbcConnection::openRecordsetAs(const QString& source,
                                                           const QList<ColumnKind>& kinds) {
    requireOpen();
    return OdbcRecordset::query(m_session, source, m_cursorLocation == CursorLocation::Client, kinds);
}

TableShape OdbcConnection::tableShape(const QString& table, const QString& schema) {
    requireOpen();
    return readTableShape(*m_session, table, schema);
}

std::unique_ptr<Recordset> OdbcConnection::openSchema(int schema, const QString& tableSchema) {
    requireOpen();
    if (schema != kSchemaTables) {
        throw DbError(QStringLiteral("Object or provider is not capable of performing requested "
                                     "operation (schema %1).")
                          .arg(schema));
    }
    return OdbcRecordset::tables(m_session, tableSchema);
}

void OdbcConnection::beginTransaction() {
    requireOpen();
    m_transaction.emplace(m_session);
}

void OdbcConnection::commit() {
    requireOpen();
    if (!m_transaction) return;  // each statement was committed as it ran
    try {
        m_transaction->commit();
    } catch (...) {
        m_transaction.reset();
        throw;
    }
    m_transaction.reset();
}

void OdbcConnection::rollback() noexcept { m_transaction.reset(); }

// As with the platform's connections, closing one that is not open is an error of its own: a
// handler whose connection never opened hears of it once more at the end.
void OdbcConnection::close() {
    requireOpen();
    m_transaction.reset();
    m_session->disconnect();
    if (m_hooks.closed) m_hooks.closed();
}

void OdbcConnection::prepareSession() {
    Connection::prepareSession();
    if (m_hooks.opened && m_target) m_hooks.opened(*this, *m_target);
}

const Dialect* OdbcConnection::dialect() const { return m_session->connected ? m_session->dialect : nullptr; }

QString OdbcConnection::productName() const {
    return m_session->connected ? m_session->productName : QString();
}

NameLimits OdbcConnection::nameLimits() const {
    return m_session->connected ? m_session->nameLimits : NameLimits{};
}

std::unique_ptr<BatchWriter> OdbcConnection::batchWriter(const QString& table, const std::vector<bool>& bytes,
                                                         const QString& schema) {
    requireOpen();
    const Dialect& dialect = m_session->dialect ? *m_session->dialect : standardDialect();
    const QString intoTable = dialect.qualifiedName(schema, table);
    const BulkWriteRequest request{
        .connection = *this,
        .intoTable = intoTable,
        .bytes = bytes,
        .completedConnection = m_session->completedConnection,
        .dataSource = m_target && m_target->isDataSource() ? m_target->text() : QString(),
        .display = m_target ? m_target->display() : QString(),
        .commandTimeoutSeconds = m_session->commandTimeout,
        .loginTimeoutSeconds = m_timeouts.login,
        .connectInTurn =
            [](const QString& place, const std::function<void()>& connect) {
                ConnectingTurns::program().take(place, connect);
            },
    };
    if (std::unique_ptr<BatchWriter> bulk = dialect.bulkWriter(request)) return bulk;
    return std::make_unique<OdbcBatchWriter>(m_session, intoTable, bytes);
}

void OdbcConnection::requireOpen() const {
    if (!m_session->connected) {
        throw DbError(QStringLiteral("Operation is not allowed when the object is closed."));
    }
}

std::unique_ptr<Connection> OdbcConnectionFactory::create() {
    return std::make_unique<OdbcConnection>(m_timeouts, hooks);
}

}  // namespace tw::odbc
