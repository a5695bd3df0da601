#pragma once

#include <sql.h>

#include <exception>
#include <map>
#include <memory>
#include <optional>
#include <vector>

#include "db/BackgroundSend.h"
#include "db/Connection.h"
#include "db/odbc/Handle.h"
#include "db/odbc/OdbcTransaction.h"

namespace tw::odbc {

struct OdbcSession;

// Rows of one table through one prepared INSERT with a parameter marker per column. Each
// column's values go to the driver as one array (column-wise binding, SQL_ATTR_PARAMSET_SIZE),
// text as SQL_C_CHAR and bytes as SQL_C_BINARY, so the database converts the very texts
// the literal INSERT would have quoted. A driver whose arrays cannot be trusted for some column
// gets the same prepared statement once per row, in the same transaction. Where the database
// takes several rows to one INSERT, a batch goes as statements of that many rows instead.
class OdbcBatchWriter : public BatchWriter {
public:
    // intoTable: the table as the INSERT names it, quoted (and qualified) already.
    OdbcBatchWriter(std::shared_ptr<OdbcSession> session, const QString& intoTable, std::vector<bool> bytes);
    ~OdbcBatchWriter() override;

    void add(const std::vector<BoundValue>& row) override;
    int pending() const override { return m_rows; }
    qint64 bytesWith(const std::vector<BoundValue>& row) const override;
    void flush() override;
    // The rows go on a thread of their own, which alone uses the connection until they are
    // written; into a database that runs inside the program they go at once.
    void startFlush() override;
    void finishFlush(const std::function<void()>& whileWaiting) override;

    // The connection ends: the statement goes first.
    void release() noexcept;

private:
    void abandonBatch() noexcept;
    // The room a value takes in its column's array: text with its terminating zero.
    SQLLEN widthOf(size_t column, const BoundValue& value) const;
    void send();
    void sent() noexcept;  // the sent rows' room, emptied for the next batch
    void waitForSent() noexcept;
    void fillBuffers();
    void useParameterSets(const Handle& stmt, SQLULEN sets);
    void bindValue(const Handle& stmt, int parameter, size_t column, int row);
    void bindRow(int row, SQLULEN rows);  // binds from this row on, rows of them
    // The statement of this many rows, prepared the first time, with the rows from this one
    // on bound to it.
    const Handle& boundRowsOfOneStatement(int row, int rows);
    Handle prepared(const QString& text) const;
    void execute(const Handle& stmt, SQLULEN rows = 1);
    void clear() noexcept;

    std::shared_ptr<OdbcSession> m_session;
    Handle m_stmt;
    std::vector<bool> m_bytes;  // per column: its values are bytes
    bool m_oneRowAtATime = false;
    QString m_insertInto;  // "INSERT INTO "t" VALUES"
    QString m_rowMarkers;  // "(?, ?, ?)"
    // The most rows to one statement, and the statements of several rows by their rows: a
    // batch goes in statements of one length and a last shorter one, each prepared once.
    int m_rowsPerInsert = 1;
    std::map<int, Handle> m_manyRows;
    // Per column, the rows' values end to end and each one's length (SQL_NULL_DATA for NULL):
    // kept without holding on to the caller's buffers, and without an allocation per value.
    struct ColumnValues {
        QByteArray bytes;
        std::vector<SQLLEN> lengths;
    };
    std::vector<ColumnValues> m_values;
    // The rows on their way, and the thread that sends them and tells how it went.
    std::vector<ColumnValues> m_sending;
    int m_sendingRows = 0;
    BackgroundSend m_sent;
    // Per column, the room its widest kept value takes: every row of the column's array gets
    // that much, so one long value among many short ones costs its width times the rows.
    std::vector<SQLLEN> m_widest;
    int m_rows = 0;
    // From the first batch until the writer ends or a batch fails: each batch is committed in it.
    std::optional<OdbcTransaction> m_transaction;
    // The arrays bound for the driver, one per column, reused from batch to batch, each as
    // wide as its column's widest sent value.
    std::vector<std::vector<char>> m_buffers;
    std::vector<SQLLEN> m_widths;
    std::vector<std::vector<SQLLEN>> m_indicators;
    std::vector<SQLUSMALLINT> m_status;
    SQLULEN m_processed = 0;
};

}  // namespace tw::odbc
