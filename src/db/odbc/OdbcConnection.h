#pragma once

#include <functional>
#include <memory>
#include <optional>

#include "db/Connection.h"
#include "db/odbc/OdbcText.h"
#include "db/odbc/OdbcTransaction.h"

namespace tw::odbc {

struct OdbcSession;

// What a caller has done with each connection a factory makes: right after it opens, its
// session prepared, and once it closes. The program needs neither; a test prepares a session
// of its own (a pragma, a setting) or counts the connections, on the very connections the
// program uses.
struct ConnectionHooks {
    std::function<void(Connection& opened, const ConnectionTarget& target)> opened;
    std::function<void()> closed;
};

// A connection through the unixODBC driver manager.
class OdbcConnection : public Connection {
public:
    explicit OdbcConnection(ConnectionTimeouts timeouts = {}, ConnectionHooks hooks = {});
    ~OdbcConnection() override;

    void setProvider(const QString& provider) override;
    void setCursorLocation(CursorLocation location) override { m_cursorLocation = location; }
    void connect(const ConnectionTarget& target) override;
    void execute(const QString& statement) override;
    void executeUtf8(const QByteArray& statement) override;
    qint64 rowsChanged() const override { return m_rowsChanged; }
    void executeWithParameters(const QByteArray& statement,
                               const std::vector<BoundValue>& parameters) override;
    void beginTransaction() override;
    void commit() override;
    void rollback() noexcept override;
    std::unique_ptr<Recordset> openRecordset(const QString& source) override;
    std::unique_ptr<Recordset> openRecordsetAs(const QString& source,
                                               const QList<ColumnKind>& kinds) override;
    TableShape tableShape(const QString& table, const QString& schema = {}) override;
    std::unique_ptr<Recordset> openSchema(int schema, const QString& tableSchema = {}) override;
    void close() override;
    const Dialect* dialect() const override;
    QString productName() const override;
    NameLimits nameLimits() const override;
    std::unique_ptr<BatchWriter> batchWriter(const QString& table, const std::vector<bool>& bytes,
                                             const QString& schema = {}) override;

protected:
    void prepareSession() override;

private:
    void connectTo(const ConnectionTarget& target);
    void requireOpen() const;

    std::shared_ptr<OdbcSession> m_session;
    std::optional<OdbcTransaction> m_transaction;  // from beginTransaction() to commit() or rollback()
    ConnectionHooks m_hooks;
    std::optional<ConnectionTarget> m_target;  // the one connected to, for the hook
    qint64 m_rowsChanged = -1;                 // by the last statement, as the driver counts them
    SqlString m_statementText;                 // reused by every execute
    CursorLocation m_cursorLocation = CursorLocation::Default;
    ConnectionTimeouts m_timeouts;
};

class OdbcConnectionFactory : public ConnectionFactory {
public:
    explicit OdbcConnectionFactory(ConnectionTimeouts timeouts = {}) : m_timeouts(timeouts) {}
    std::unique_ptr<Connection> create() override;

    ConnectionHooks hooks;  // given to each connection made from now on

private:
    ConnectionTimeouts m_timeouts;
};

}  // namespace tw::odbc
