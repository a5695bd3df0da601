#pragma once

#include <QList>
#include <QMap>
#include <QStringList>
#include <functional>
#include <mutex>

#include "db/Connection.h"

namespace tw::test {

// The rows a fake recordset hands out.
struct FakeTable {
    QList<Field> fields;         // names and types; values unused
    QList<QList<Variant>> rows;  // one value per field
    qint64 reportedCount = -1;   // what recordCount answers; the number of rows when negative
};

// A connection factory that makes no database connection at all: it writes down every call
// ("create", "provider MSDASQL", "cursor 3", "open <text>", "execute <text>",
// "recordset <text>", "shape <table>", "begin", "commit", "rollback", "schema 20", "close", "release", "batch
// <rows>") and answers from what the test set up.
class FakeConnectionFactory : public ConnectionFactory {
public:
    std::unique_ptr<Connection> create() override;

    // Writes the call down; connections used by several threads at once take turns.
    void note(const QString& call) {
        const std::lock_guard<std::mutex> lock(m_logLock);
        log << call;
    }

    QStringList log;
    // The statements executed, in order, without those that set a session up (its dialect's
    // set-up and read-only set-up) or the "begin" of a read-only transaction's.
    QStringList statementsSent() const;
    bool failCreate = false;
    // Called on open (with the target as "Data Source=NAME" or the driver string) and on
    // execute with the statement; throw to make the call fail.
    std::function<void(const QString&)> onOpen;
    std::function<void(const QString&)> onExecute;
    std::function<void()> onClose;
    // What a statement changed, as rowsChanged() answers after it; -1 (unknown) when not set.
    std::function<qint64(const QString&)> rowsChanged;
    // Connections offer batch writers, which write down each flushed batch as
    // "batch T: v1|v2; v1|v2" (NULL for a null) and hand the same text to onExecute.
    bool offersBatches = false;
    // What the batch writers say their rows go by (a COPY); none by default.
    QByteArray batchStatement;
    // The longest names the fake database takes; none by default.
    NameLimits nameLimits;
    // The product the fake driver names; none by default.
    const Dialect* dialect = nullptr;
    // Table shapes by table name ("shape <table>"); none by default.
    QMap<QString, TableShape> shapes;
    // Recordsets by their source text; an unknown source fails like a rejected query.
    QMap<QString, FakeTable> tables;
    FakeTable schemaTables;

private:
    std::mutex m_logLock;
};

}  // namespace tw::test
