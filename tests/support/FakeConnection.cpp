#include "support/FakeConnection.h"

#include "db/DbError.h"
#include "db/Dialect.h"

namespace tw::test {

namespace {

class FakeRecordset : public Recordset {
public:
    explicit FakeRecordset(FakeTable table) : m_table(std::move(table)) { load(); }

    qint64 recordCount() override {
        return m_table.reportedCount >= 0 ? m_table.reportedCount : m_table.rows.size();
    }
    bool eof() const override { return m_row >= m_table.rows.size(); }
    void moveNext() override {
        if (eof()) throw DbError(QStringLiteral("Either BOF or EOF is True."));
        ++m_row;
        load();
    }
    int fieldCount() const override { return m_table.fields.size(); }
    const Field& field(int index) const override {
        if (index < 0 || index >= fieldCount()) throw DbError(QStringLiteral("Item cannot be found."));
        return m_table.fields[index];
    }
    const Field& field(const QString& name) const override {
        for (const Field& candidate : m_table.fields) {
            if (candidate.name.compare(name, Qt::CaseInsensitive) == 0) return candidate;
        }
        throw DbError(QStringLiteral("Item cannot be found: ") + name);
    }
    void close() override {}

private:
    void load() {
        for (int i = 0; i < m_table.fields.size(); ++i) {
            m_table.fields[i].value = eof() ? Variant() : m_table.rows[m_row].value(i);
        }
    }

    FakeTable m_table;
    qsizetype m_row = 0;
};

class FakeBatchWriter : public BatchWriter {
public:
    FakeBatchWriter(FakeConnectionFactory& factory, QString table)
        : m_factory(factory), m_table(std::move(table)) {}
    void add(const std::vector<BoundValue>& row) override {
        QStringList values;
        for (const BoundValue& value : row) {
            values << (value.kind == BoundValue::Kind::Null ? QStringLiteral("NULL")
                                                            : QString::fromUtf8(value.data));
        }
        m_rows << values.join('|');
        m_bytes = bytesWith(row);
    }
    int pending() const override { return static_cast<int>(m_rows.size()); }
    QByteArray rowsStatement() const override { return m_factory.batchStatement; }
    // The values' bytes, as if kept end to end.
    qint64 bytesWith(const std::vector<BoundValue>& row) const override {
        qint64 bytes = m_bytes;
        for (const BoundValue& value : row) bytes += value.data.size();
        return bytes;
    }
    void flush() override {
        const QString batch =
            QStringLiteral("batch ") + m_table + QStringLiteral(": ") + m_rows.join(QStringLiteral("; "));
        m_rows.clear();
        m_bytes = 0;
        m_factory.note(batch);
        if (m_factory.onExecute) m_factory.onExecute(batch);
    }

private:
    FakeConnectionFactory& m_factory;
    QString m_table;
    QStringList m_rows;
    qint64 m_bytes = 0;
};

class FakeConnection : public Connection {
public:
    explicit FakeConnection(FakeConnectionFactory& factory) : m_factory(factory) {}
    ~FakeConnection() override { m_factory.note(QStringLiteral("release")); }

    void setProvider(const QString& provider) override {
        m_factory.note(QStringLiteral("provider ") + provider);
    }
    void setCursorLocation(CursorLocation location) override {
        m_factory.note(QStringLiteral("cursor %1").arg(static_cast<int>(location)));
    }
    void connect(const ConnectionTarget& target) override {
        m_factory.note(QStringLiteral("open ") + target.display());
        if (m_factory.onOpen) m_factory.onOpen(target.display());
        m_open = true;
    }
    void execute(const QString& statement) override {
        m_factory.note(QStringLiteral("execute ") + statement);
        requireOpen();
        m_rowsChanged = -1;
        if (m_factory.onExecute) m_factory.onExecute(statement);
        if (m_factory.rowsChanged) m_rowsChanged = m_factory.rowsChanged(statement);
    }
    qint64 rowsChanged() const override { return m_rowsChanged; }
    // Written down with each value after the statement: "execute <text> [v1|NULL]".
    void executeWithParameters(const QByteArray& statement,
                               const std::vector<BoundValue>& parameters) override {
        QStringList values;
        for (const BoundValue& value : parameters) {
            values << (value.kind == BoundValue::Kind::Null ? QStringLiteral("NULL")
                                                            : QString::fromUtf8(value.data));
        }
        execute(QString::fromUtf8(statement) +
                (parameters.empty() ? QString() : " [" + values.join('|') + ']'));
    }
    std::unique_ptr<Recordset> openRecordset(const QString& source) override {
        m_factory.note(QStringLiteral("recordset ") + source);
        requireOpen();
        if (!m_factory.tables.contains(source)) throw DbError(QStringLiteral("no such table"));
        return std::make_unique<FakeRecordset>(m_factory.tables.value(source));
    }
    std::unique_ptr<Recordset> openSchema(int schema, const QString& = {}) override {
        m_factory.note(QStringLiteral("schema %1").arg(schema));
        requireOpen();
        return std::make_unique<FakeRecordset>(m_factory.schemaTables);
    }
    std::unique_ptr<BatchWriter> batchWriter(const QString& table, const std::vector<bool>&,
                                             const QString& = {}) override {
        requireOpen();
        if (!m_factory.offersBatches) return nullptr;
        return std::make_unique<FakeBatchWriter>(m_factory, table);
    }
    void beginTransaction() override {
        m_factory.note(QStringLiteral("begin"));
        requireOpen();
    }
    void commit() override {
        m_factory.note(QStringLiteral("commit"));
        requireOpen();
        if (m_factory.onExecute) m_factory.onExecute(QStringLiteral("COMMIT"));
    }
    void rollback() noexcept override { m_factory.note(QStringLiteral("rollback")); }
    TableShape tableShape(const QString& table, const QString& = {}) override {
        m_factory.note(QStringLiteral("shape ") + table);
        requireOpen();
        return m_factory.shapes.value(table);
    }
    NameLimits nameLimits() const override { return m_factory.nameLimits; }
    const Dialect* dialect() const override { return m_factory.dialect; }
    void close() override {
        m_factory.note(QStringLiteral("close"));
        if (m_factory.onClose) m_factory.onClose();
        requireOpen();
        m_open = false;
    }

private:
    qint64 m_rowsChanged = -1;
    // What is asked of a connection that is not open fails, as on a real one.
    void requireOpen() const {
        if (!m_open) throw DbError(QStringLiteral("Operation is not allowed when the object is closed."));
    }

    FakeConnectionFactory& m_factory;
    bool m_open = false;
};

}  // namespace

QStringList FakeConnectionFactory::statementsSent() const {
    QStringList setUp;
    if (dialect) setUp << dialect->sessionSetUp() << dialect->readOnlySetUp();
    QStringList statements;
    for (const QString& entry : log) {
        if (!entry.startsWith(QStringLiteral("execute "))) continue;
        const QString statement = entry.mid(8);
        if (!setUp.contains(statement)) statements << statement;
    }
    return statements;
}

std::unique_ptr<Connection> FakeConnectionFactory::create() {
    note(QStringLiteral("create"));
    if (failCreate) throw DbError(QStringLiteral("ActiveX component can't create object"));
    return std::make_unique<FakeConnection>(*this);
}

}  // namespace tw::test
