#include "db/odbc/OdbcBatchWriter.h"

#include <sqlext.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <system_error>
#include <utility>

#include "db/AnswerDeadline.h"
#include "db/DbError.h"
#include "db/Dialect.h"
#include "db/SqlText.h"
#include "db/odbc/OdbcSession.h"
#include "db/odbc/OdbcText.h"

namespace tw::odbc {

namespace {

SQLPOINTER attribute(SQLULEN value) { return reinterpret_cast<SQLPOINTER>(value); }

}  // namespace

OdbcBatchWriter::OdbcBatchWriter(std::shared_ptr<OdbcSession> session, const QString& intoTable,
                                 std::vector<bool> bytes)
    : m_session(std::move(session)),
      m_bytes(std::move(bytes)),
      m_values(m_bytes.size()),
      m_sending(m_bytes.size()),
      m_widest(m_bytes.size(), 1) {
    m_insertInto = QStringLiteral("INSERT INTO ") + intoTable + QStringLiteral(" VALUES");
    m_rowMarkers = QStringLiteral("(");
    for (size_t column = 0; column < m_bytes.size(); ++column) {
        m_rowMarkers += column == 0 ? QStringLiteral("?") : QStringLiteral(", ?");
    }
    m_rowMarkers += QLatin1Char(')');
    m_stmt = prepared(m_insertInto + m_rowMarkers);
    // A driver without parameter arrays gets one row to a call.
    const bool arrays = SQL_SUCCEEDED(SQLSetStmtAttr(m_stmt.get(), SQL_ATTR_PARAMSET_SIZE, attribute(1), 0));
    if (m_session->dialect && arrays) {
        m_rowsPerInsert = m_session->dialect->rowsPerInsert(static_cast<int>(m_bytes.size()));
    }
    // So does a driver that reads every row of a binary array with the first row's length, where
    // a table has bytes, unless the rows go as statements of many rows: there each value is a
    // parameter of its own.
    const bool hasBytes = std::find(m_bytes.begin(), m_bytes.end(), true) != m_bytes.end();
    m_oneRowAtATime = !arrays || (m_rowsPerInsert <= 1 && hasBytes && m_session->dialect &&
                                  m_session->dialect->bindsBinaryArraysByFirstLength());
    m_session->batchWriters.insert(this);
}

Handle OdbcBatchWriter::prepared(const QString& text) const {
    Handle stmt(SQL_HANDLE_STMT, m_session->dbc.get());
    SQLSetStmtAttr(stmt.get(), SQL_ATTR_QUERY_TIMEOUT,
                   attribute(static_cast<SQLULEN>(m_session->commandTimeout)), 0);
    SqlString statement = toSql(text);
    check(SQLPrepare(stmt.get(), sqlChars(statement), static_cast<SQLINTEGER>(statement.size())), stmt,
          "SQLPrepare");
    check(SQLSetStmtAttr(stmt.get(), SQL_ATTR_PARAM_BIND_TYPE, attribute(SQL_PARAM_BIND_BY_COLUMN), 0), stmt,
          "SQLSetStmtAttr");
    return stmt;
}

OdbcBatchWriter::~OdbcBatchWriter() {
    waitForSent();
    try {
        if (m_rows > 0 || m_transaction) clear();
        m_transaction.reset();  // what was not committed is rolled back
    } catch (...) {
        // A connection that is gone has no auto-commit to give back.
    }
    release();
}

void OdbcBatchWriter::release() noexcept {
    waitForSent();
    m_manyRows.clear();
    m_stmt.reset();
    if (m_session) m_session->batchWriters.erase(this);
}

SQLLEN OdbcBatchWriter::widthOf(size_t column, const BoundValue& value) const {
    if (value.kind == BoundValue::Kind::Null) return 1;
    return static_cast<SQLLEN>(value.data.size()) + (m_bytes[column] ? 0 : 1);
}

void OdbcBatchWriter::add(const std::vector<BoundValue>& row) {
    for (size_t column = 0; column < m_values.size(); ++column) {
        ColumnValues& values = m_values[column];
        if (column >= row.size() || row[column].kind == BoundValue::Kind::Null) {
            values.lengths.push_back(SQL_NULL_DATA);
            continue;
        }
        values.bytes += row[column].data;
        values.lengths.push_back(row[column].data.size());
        m_widest[column] = std::max(m_widest[column], widthOf(column, row[column]));
    }
    ++m_rows;
}

// The kept values, and the arrays they are copied into for the driver.
qint64 OdbcBatchWriter::bytesWith(const std::vector<BoundValue>& row) const {
    qint64 bytes = 0;
    for (size_t column = 0; column < m_values.size(); ++column) {
        const SQLLEN width = column < row.size() ? widthOf(column, row[column]) : 1;
        bytes += m_values[column].bytes.size() + width;
        bytes += static_cast<qint64>(std::max(m_widest[column], width)) * (m_rows + 1);
    }
    return bytes;
}

void OdbcBatchWriter::flush() {
    startFlush();
    finishFlush([] {});
}

void OdbcBatchWriter::startFlush() {
    if (m_rows == 0) return;
    try {
        if (!m_stmt || !m_session->connected) {
            throw DbError(QStringLiteral("Operation is not allowed when the object is closed."));
        }
        if (!m_transaction) m_transaction.emplace(m_session);
    } catch (...) {
        m_sent.failed(std::current_exception());
        abandonBatch();
        clear();
        return;
    }
    // The kept rows change places with the sent ones' room, so the next rows are kept while
    // these are written.
    std::swap(m_values, m_sending);
    m_sendingRows = m_rows;
    m_widths = m_widest;
    clear();
    const bool inBackground = !(m_session->dialect && m_session->dialect->writesInThisProcess());
    m_sent.start([this] { send(); }, inBackground);
}

void OdbcBatchWriter::finishFlush(const std::function<void()>& whileWaiting) { m_sent.finish(whileWaiting); }

void OdbcBatchWriter::waitForSent() noexcept { m_sent.wait(); }

// On the sending thread: the rows of m_sending, in one transaction.
void OdbcBatchWriter::send() {
    try {
        fillBuffers();
        if (m_oneRowAtATime) {
            for (int row = 0; row < m_sendingRows; ++row) {
                bindRow(row, 1);
                execute(m_stmt);
            }
        } else if (m_rowsPerInsert > 1) {
            const int statements = (m_sendingRows + m_rowsPerInsert - 1) / m_rowsPerInsert;
            const int rowsEach = (m_sendingRows + statements - 1) / statements;
            for (int row = 0; row < m_sendingRows; row += rowsEach) {
                execute(boundRowsOfOneStatement(row, std::min(rowsEach, m_sendingRows - row)));
            }
        } else {
            bindRow(0, static_cast<SQLULEN>(m_sendingRows));
            execute(m_stmt, static_cast<SQLULEN>(m_sendingRows));
        }
        m_transaction->commit();
        sent();
    } catch (DbError& failure) {
        if (!failure.connectionLost() && m_session->isDead()) failure.markConnectionLost();
        abandonBatch();
        sent();
        throw;
    } catch (...) {
        // Out of memory for the arrays, say: nothing of the batch may stay half sent.
        abandonBatch();
        sent();
        throw;
    }
}

void OdbcBatchWriter::abandonBatch() noexcept {
    m_transaction.reset();  // rolled back, and auto-commit back on where the connection still is
}

// Each column's values side by side in one buffer, as wide as its longest value; text ends in
// a zero, as some drivers read text to its end whatever its length says.
void OdbcBatchWriter::fillBuffers() {
    const size_t columns = m_sending.size();
    m_buffers.resize(columns);
    m_indicators.resize(columns);
    for (size_t column = 0; column < columns; ++column) {
        const ColumnValues& values = m_sending[column];
        const SQLLEN width = m_widths[column];
        std::vector<char>& buffer = m_buffers[column];
        buffer.assign(static_cast<size_t>(width) * m_sendingRows, '\0');
        m_indicators[column] = values.lengths;
        const char* from = values.bytes.constData();
        for (int row = 0; row < m_sendingRows; ++row) {
            const SQLLEN length = values.lengths[row];
            if (length == SQL_NULL_DATA) continue;
            std::memcpy(buffer.data() + static_cast<size_t>(width) * row, from, static_cast<size_t>(length));
            from += length;
        }
    }
}

void OdbcBatchWriter::useParameterSets(const Handle& stmt, SQLULEN sets) {
    check(SQLSetStmtAttr(stmt.get(), SQL_ATTR_PARAMSET_SIZE, attribute(sets), 0), stmt, "SQLSetStmtAttr");
    m_status.assign(sets, SQL_PARAM_UNUSED);
    SQLSetStmtAttr(stmt.get(), SQL_ATTR_PARAM_STATUS_PTR, m_status.data(), 0);
    SQLSetStmtAttr(stmt.get(), SQL_ATTR_PARAMS_PROCESSED_PTR, &m_processed, 0);
}

// The column's value in this row as the statement's parameter; with several parameter sets,
// the rows after it follow in the column's array.
void OdbcBatchWriter::bindValue(const Handle& stmt, int parameter, size_t column, int row) {
    const bool bytes = m_bytes[column];
    const SQLLEN width = m_widths[column];
    check(SQLBindParameter(stmt.get(), static_cast<SQLUSMALLINT>(parameter), SQL_PARAM_INPUT,
                           bytes ? SQL_C_BINARY : SQL_C_CHAR, bytes ? SQL_LONGVARBINARY : SQL_VARCHAR,
                           static_cast<SQLULEN>(std::max<SQLLEN>(width - (bytes ? 0 : 1), 1)), 0,
                           m_buffers[column].data() + static_cast<size_t>(width) * row, width,
                           m_indicators[column].data() + row),
          stmt, "SQLBindParameter");
}

void OdbcBatchWriter::bindRow(int row, SQLULEN rows) {
    useParameterSets(m_stmt, rows);
    for (size_t column = 0; column < m_sending.size(); ++column) {
        bindValue(m_stmt, static_cast<int>(column + 1), column, row);
    }
}

// Each value its own parameter: the statement's rows are one set of parameters.
const Handle& OdbcBatchWriter::boundRowsOfOneStatement(int row, int rows) {
    auto found = m_manyRows.find(rows);
    if (found == m_manyRows.end()) {
        // Batches cut short by their size in bytes may each have a length of their own.
        if (m_manyRows.size() >= 4) m_manyRows.clear();
        QString text = m_insertInto + m_rowMarkers;
        for (int more = 1; more < rows; ++more) text += QStringLiteral(", ") + m_rowMarkers;
        found = m_manyRows.emplace(rows, prepared(text)).first;
    }
    const Handle& stmt = found->second;
    useParameterSets(stmt, 1);
    const size_t columns = m_sending.size();
    for (int r = 0; r < rows; ++r) {
        for (size_t column = 0; column < columns; ++column) {
            bindValue(stmt, static_cast<int>(r * columns + column + 1), column, row + r);
        }
    }
    return stmt;
}

// rows: the parameter sets bound, each a row of the table.
void OdbcBatchWriter::execute(const Handle& stmt, SQLULEN rows) {
    const AnswerDeadline deadline(m_session->sockets, m_session->commandTimeout,
                                  AnswerDeadline::Measure::Whole);
    try {
        check(SQLExecute(stmt.get()), stmt, "SQLExecute");
    } catch (const DbError&) {
        if (deadline.passed()) throw deadline.failure();
        throw;
    }
    // MariaDB's driver says nothing else of an array the server refused for one row: the
    // batch then goes again by halves, which finds the row.
    SQLLEN counted = -1;
    if (rows > 1 && m_session->dialect && m_session->dialect->tellsARefusedArrayOnlyByItsCount() &&
        SQL_SUCCEEDED(SQLRowCount(stmt.get(), &counted)) && counted >= 0 &&
        static_cast<SQLULEN>(counted) != rows) {
        SQLFreeStmt(stmt.get(), SQL_CLOSE);
        throw DbError(QStringLiteral("The database took %1 of the batch's %2 rows.").arg(counted).arg(rows));
    }
    SQLFreeStmt(stmt.get(), SQL_CLOSE);
    // A driver may say a row failed in its status only.
    for (const SQLUSMALLINT status : m_status) {
        if (status == SQL_PARAM_ERROR) throw DbError(QStringLiteral("A row of the batch was refused."));
    }
}

void OdbcBatchWriter::clear() noexcept {
    for (ColumnValues& column : m_values) {
        column.bytes.resize(0);  // keeps the room for the next batch
        column.lengths.clear();
    }
    std::fill(m_widest.begin(), m_widest.end(), 1);
    m_rows = 0;
}

void OdbcBatchWriter::sent() noexcept {
    for (ColumnValues& column : m_sending) {
        column.bytes.resize(0);
        column.lengths.clear();
    }
    m_sendingRows = 0;
}

}  // namespace tw::odbc
