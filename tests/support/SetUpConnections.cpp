#include "support/SetUpConnections.h"

namespace tw::test {

namespace {

class SetUpConnection : public Connection {
public:
    SetUpConnection(std::unique_ptr<Connection> inner, SetUpConnectionFactory& factory)
        : m_inner(std::move(inner)), m_factory(factory) {}

    void setProvider(const QString& provider) override { m_inner->setProvider(provider); }
    void setCursorLocation(CursorLocation location) override { m_inner->setCursorLocation(location); }
    void connect(const ConnectionTarget& target) override {
        m_inner->open(target);
        ++m_factory.opened;
        if (m_factory.setUp) m_factory.setUp(*m_inner, target);
    }
    void execute(const QString& statement) override { m_inner->execute(statement); }
    void executeUtf8(const QByteArray& statement) override { m_inner->executeUtf8(statement); }
    void executeWithParameters(const QByteArray& statement,
                               const std::vector<BoundValue>& parameters) override {
        m_inner->executeWithParameters(statement, parameters);
    }
    void beginTransaction() override { m_inner->beginTransaction(); }
    void commit() override { m_inner->commit(); }
    void rollback() noexcept override { m_inner->rollback(); }
    std::unique_ptr<Recordset> openRecordset(const QString& source) override {
        return m_inner->openRecordset(source);
    }
    std::unique_ptr<Recordset> openRecordsetAs(const QString& source,
                                               const QList<ColumnKind>& kinds) override {
        return m_inner->openRecordsetAs(source, kinds);
    }
    TableShape tableShape(const QString& table) override { return m_inner->tableShape(table); }
    std::unique_ptr<Recordset> openSchema(int schema) override { return m_inner->openSchema(schema); }
    void close() override {
        m_inner->close();
        ++m_factory.closed;
    }
    const Dialect* dialect() const override { return m_inner->dialect(); }
    NameLimits nameLimits() const override { return m_inner->nameLimits(); }
    std::unique_ptr<BatchWriter> batchWriter(const QString& table, const std::vector<bool>& bytes) override {
        return m_inner->batchWriter(table, bytes);
    }

protected:
    void prepareSession() override {}  // the inner connection prepared its own

private:
    std::unique_ptr<Connection> m_inner;
    SetUpConnectionFactory& m_factory;
};

}  // namespace

std::unique_ptr<Connection> SetUpConnectionFactory::create() {
    return std::make_unique<SetUpConnection>(m_inner.create(), *this);
}

}  // namespace tw::test
