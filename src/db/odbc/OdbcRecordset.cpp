#include "db/odbc/OdbcRecordset.h"

#include <sqlext.h>

#include <cstring>

#include "db/DbError.h"
#include "db/Dialect.h"
#include "db/odbc/AwaitedCall.h"
#include "db/odbc/FloatText.h"
#include "db/odbc/OdbcSession.h"
#include "db/odbc/OdbcTableShape.h"
#include "db/odbc/OdbcText.h"
#include "db/odbc/TypeMapping.h"

namespace tw::odbc {

namespace {

constexpr size_t kFirstReadBytes = 256;
constexpr size_t kChunkBytes = 64 * 1024;
constexpr SQLULEN kBlockRows = 128;
constexpr SQLLEN kMostBoundBytes = 1 << 20;  // a column's array, at most; wider columns go per row

// The bytes a value of the column takes as the program reads it (text in UTF-8 with its
// terminating zero, binary as it is), or 0 where the size is unbounded or unknown: such a
// column is read per row. A value longer than this is still read whole, from its row.
SQLLEN boundWidth(SQLSMALLINT sqlType, SQLULEN size) {
    switch (sqlType) {
        case SQL_CHAR:
        case SQL_VARCHAR:
        case SQL_WCHAR:
        case SQL_WVARCHAR:
            return size > 0 && size <= 4000 ? static_cast<SQLLEN>(size) * 4 + 1 : 0;
        case SQL_DECIMAL:
        case SQL_NUMERIC:
            return size > 0 && size <= 1000 ? static_cast<SQLLEN>(size) + 3 : 0;
        case SQL_BIT:
        case SQL_TINYINT:
        case SQL_SMALLINT:
        case SQL_INTEGER:
        case SQL_BIGINT:
            return 24;
        case SQL_REAL:
        case SQL_FLOAT:
        case SQL_DOUBLE:
        case SQL_GUID:
            return 40;
        case SQL_TYPE_DATE:
        case SQL_TYPE_TIME:
        case SQL_TYPE_TIMESTAMP:
        case SQL_DATE:
        case SQL_TIME:
        case SQL_TIMESTAMP:
            return 48;
        case SQL_BINARY:
        case SQL_VARBINARY:
            return size > 0 && size <= 8000 ? static_cast<SQLLEN>(size) : 0;
        default:
            return 0;  // long text, long binary, and what the program does not know
    }
}

// A value of the column as the C type it was read as.
void setValue(Variant& value, SQLSMALLINT target, const char* data, SQLLEN length) {
    if (target == SQL_C_BINARY) {
        value = Variant::binary(QByteArray(data, length));
    } else if (target == SQL_C_DOUBLE) {
        double number = 0;
        std::memcpy(&number, data, sizeof number);
        value.setUtf8Text(floatText(number));
    } else {
        value.setUtf8Text(QByteArrayView(data, length));
    }
}

[[noreturn]] void noSuchField(const QString& which) {
    throw DbError(QStringLiteral("Item cannot be found in the collection corresponding to the "
                                 "requested name or ordinal (%1).")
                      .arg(which));
}

}  // namespace

OdbcRecordset::OdbcRecordset(std::shared_ptr<OdbcSession> session, QString source)
    : m_session(std::move(session)),
      m_stmt(SQL_HANDLE_STMT, m_session->dbc.get()),
      m_source(std::move(source)),
      m_buffer(kFirstReadBytes) {
    m_session->recordsets.insert(this);
}

OdbcRecordset::~OdbcRecordset() { close(); }

std::unique_ptr<OdbcRecordset> OdbcRecordset::query(std::shared_ptr<OdbcSession> session,
                                                    const QString& source, bool countFirst,
                                                    const QList<ColumnKind>& kinds) {
    std::unique_ptr<OdbcRecordset> recordset(new OdbcRecordset(std::move(session), source));
    // Counting while the rows are being read would make some drivers (SQLite's) read all the
    // rest of them into memory first; counted beforehand, the rows stream.
    if (countFirst) recordset->count();
    SqlString text = toSql(source);
    check(awaitingAnswer(*recordset->m_session,
                         [&] { return SQLExecDirect(recordset->m_stmt.get(), sqlChars(text), SQL_NTS); }),
          recordset->m_stmt, "SQLExecDirect");
    recordset->describeColumns();
    recordset->readAs(kinds);
    recordset->startBlocks();
    recordset->fetch();
    return recordset;
}

std::unique_ptr<OdbcRecordset> OdbcRecordset::tables(std::shared_ptr<OdbcSession> session,
                                                     const QString& schema) {
    std::unique_ptr<OdbcRecordset> recordset(new OdbcRecordset(std::move(session), QString()));
    SQLCHAR any[] = "%";
    // The schema as a pattern matches itself only: its _ and % are escaped where the driver says how.
    QByteArray pattern = schema.isEmpty() ? QByteArray() : namePattern(*recordset->m_session, toSql(schema));
    // A driver that names schemas as catalogs lists one catalog's tables when told which.
    QByteArray catalog = recordset->m_session->catalogOfSchema(toSql(schema));
    const bool byCatalog = !catalog.isEmpty();
    SQLCHAR* const catalogName = byCatalog ? sqlChars(catalog) : nullptr;
    const auto catalogLength = static_cast<SQLSMALLINT>(catalog.size());
    SQLCHAR* const schemaName = byCatalog ? nullptr : schema.isEmpty() ? any : sqlChars(pattern);
    const SQLSMALLINT schemaLength = byCatalog          ? 0
                                     : schema.isEmpty() ? SQL_NTS
                                                        : static_cast<SQLSMALLINT>(pattern.size());
    check(awaitingAnswer(*recordset->m_session,
                         [&] {
                             return SQLTables(recordset->m_stmt.get(), catalogName, catalogLength, schemaName,
                                              schemaLength, any, SQL_NTS, nullptr, 0);
                         }),
          recordset->m_stmt, "SQLTables");
    recordset->describeColumns();
    recordset->fetch();
    return recordset;
}

void OdbcRecordset::describeColumns() {
    SQLSMALLINT columns = 0;
    check(SQLNumResultCols(m_stmt.get(), &columns), m_stmt, "SQLNumResultCols");
    m_fields.resize(columns);
    m_sqlTypes.resize(columns);
    m_sizes.resize(columns);
    m_targets.resize(columns);
    for (SQLUSMALLINT column = 1; column <= columns; ++column) {
        const DescribedColumn described = describeColumn(m_stmt, column);
        Field& field = m_fields[column - 1];
        field.name = described.name;
        field.type = adoTypeOfColumn(m_stmt.get(), column, described.sqlType);
        m_sqlTypes[column - 1] = described.sqlType;
        m_sizes[column - 1] = described.size;
        m_targets[column - 1] = isBinaryAdoType(field.type) ? SQL_C_BINARY : SQL_C_CHAR;
    }
}

// The driver converts: a float to the very double, whatever text it would write for it, and a
// column it describes as text (SQLite's BINARY(n), say) to its bytes.
void OdbcRecordset::readAs(const QList<ColumnKind>& kinds) {
    for (qsizetype column = 0; column < kinds.size() && column < fieldCount(); ++column) {
        if (kinds[column] == ColumnKind::Float) m_targets[column] = SQL_C_DOUBLE;
        if (kinds[column] == ColumnKind::Bytes) m_targets[column] = SQL_C_BINARY;
    }
}

// Where the driver can read any value of a block's row once positioned on it, the columns of
// bounded size are bound to arrays and rows arrive a block at a time; nothing is ever cut, as
// longer values are read from their row.
void OdbcRecordset::startBlocks() {
    if (!m_session->readsBlocks || m_fields.empty()) return;
    std::vector<BoundColumn> bound(m_fields.size());
    bool any = false;
    for (size_t column = 0; column < bound.size(); ++column) {
        const SQLLEN width = m_targets[column] == SQL_C_DOUBLE
                                 ? static_cast<SQLLEN>(sizeof(double))
                                 : boundWidth(m_sqlTypes[column], m_sizes[column]);
        if (width > 0 && width * static_cast<SQLLEN>(kBlockRows) <= kMostBoundBytes) {
            bound[column].wanted = width;
            any = true;
        }
    }
    if (!any) return;
    SQLHSTMT stmt = m_stmt.get();
    if (!SQL_SUCCEEDED(SQLSetStmtAttr(stmt, SQL_ATTR_ROW_BIND_TYPE,
                                      reinterpret_cast<SQLPOINTER>(SQL_BIND_BY_COLUMN), 0)) ||
        !SQL_SUCCEEDED(
            SQLSetStmtAttr(stmt, SQL_ATTR_ROW_ARRAY_SIZE, reinterpret_cast<SQLPOINTER>(kBlockRows), 0))) {
        SQLSetStmtAttr(stmt, SQL_ATTR_ROW_ARRAY_SIZE, reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(1)),
                       0);
        return;
    }
    m_rowStatus.assign(kBlockRows, SQL_ROW_NOROW);
    check(SQLSetStmtAttr(stmt, SQL_ATTR_ROWS_FETCHED_PTR, &m_blockFetched, 0), m_stmt, "SQLSetStmtAttr");
    check(SQLSetStmtAttr(stmt, SQL_ATTR_ROW_STATUS_PTR, m_rowStatus.data(), 0), m_stmt, "SQLSetStmtAttr");
    m_bound = std::move(bound);
    growBuffers();
}

// Binds each column whose values want room to arrays of that width; between blocks only.
void OdbcRecordset::growBuffers() {
    for (size_t column = 0; column < m_bound.size(); ++column) {
        BoundColumn& bound = m_bound[column];
        if (bound.wanted <= bound.width) continue;
        bound.width = bound.wanted;
        bound.data.assign(static_cast<size_t>(bound.width) * kBlockRows, '\0');
        bound.indicators.assign(kBlockRows, 0);
        check(SQLBindCol(m_stmt.get(), static_cast<SQLUSMALLINT>(column + 1), m_targets[column],
                         bound.data.data(), bound.width, bound.indicators.data()),
              m_stmt, "SQLBindCol");
    }
}

void OdbcRecordset::fetch() {
    // Until a row has been read whole, the recordset stands at its end: a row that cannot be
    // read must never leave the previous row's values behind to be read again.
    m_eof = true;
    if (!m_bound.empty()) {
        try {
            m_eof = !fetchFromBlock();
        } catch (...) {
            clearValues();
            throw;
        }
        if (m_eof) clearValues();
        return;
    }
    try {
        const SQLRETURN rc = awaitingAnswer(*m_session, [&] { return SQLFetch(m_stmt.get()); });
        if (rc != SQL_NO_DATA) {
            check(rc, m_stmt, "SQLFetch");
            for (int index = 0; index < fieldCount(); ++index) readColumn(index, m_fields[index].value);
            if (m_source.isEmpty()) typeSystemTables();
            m_eof = false;
            return;
        }
    } catch (...) {
        clearValues();
        throw;
    }
    clearValues();
}

// The next row of the block, fetching the next block when this one is read. False at the end.
bool OdbcRecordset::fetchFromBlock() {
    if (m_blockRow + 1 < m_blockFetched) {
        ++m_blockRow;
    } else {
        growBuffers();
        m_blockFetched = 0;
        const SQLRETURN rc = awaitingAnswer(*m_session, [&] { return SQLFetch(m_stmt.get()); });
        if (rc == SQL_NO_DATA) return false;
        check(rc, m_stmt, "SQLFetch");
        if (m_blockFetched == 0) return false;
        m_blockRow = 0;
    }
    if (m_rowStatus[m_blockRow] == SQL_ROW_ERROR) {
        throw DbError(QStringLiteral("The row could not be read (row %1 of its block).").arg(m_blockRow + 1));
    }
    bool positioned = false;
    for (int index = 0; index < fieldCount(); ++index) {
        BoundColumn& bound = m_bound[index];
        const SQLSMALLINT target = m_targets[index];
        Variant& value = m_fields[index].value;
        if (bound.width > 0) {
            const SQLLEN indicator = bound.indicators[m_blockRow];
            const SQLLEN capacity = bound.width - (target == SQL_C_CHAR ? 1 : 0);
            if (indicator == SQL_NULL_DATA) {
                value = Variant();
                continue;
            }
            if (indicator >= 0 && indicator <= capacity) {
                setValue(value, target, bound.data.data() + static_cast<size_t>(bound.width) * m_blockRow,
                         indicator);
                continue;
            }
            // Longer than its buffer: read whole below, and room for it from the next block on.
            bound.wanted = std::min<SQLLEN>(std::max<SQLLEN>(bound.width * 2, indicator + 1),
                                            kMostBoundBytes / static_cast<SQLLEN>(kBlockRows));
        }
        if (!positioned) {
            check(SQLSetPos(m_stmt.get(), static_cast<SQLSETPOSIROW>(m_blockRow + 1), SQL_POSITION,
                            SQL_LOCK_NO_CHANGE),
                  m_stmt, "SQLSetPos");
            positioned = true;
        }
        readColumn(index, value);
    }
    return true;
}

void OdbcRecordset::clearValues() {
    for (Field& field : m_fields) field.value = Variant();
}

// Only the user's own base tables are typed "TABLE" in the tables schema; some drivers list the
// product's own tables as ordinary ones.
void OdbcRecordset::typeSystemTables() {
    const QString prefix = m_session->dialect ? m_session->dialect->ownTablesPrefix() : QString();
    if (prefix.isEmpty()) return;
    Field& type = m_fields[3];
    if (type.value.toString() == QLatin1String("TABLE") &&
        m_fields[2].value.toString().startsWith(prefix, Qt::CaseInsensitive)) {
        type.value = Variant(QStringLiteral("SYSTEM TABLE"));
    }
}

// Reads one value whole: text as the driver's own UTF-8 form, binary as bytes, a double as its
// shortest text. The first read goes into a small buffer, since some drivers fill the whole
// buffer they are given; a longer value is then read in one more call when the driver tells
// its length, else in chunks.
void OdbcRecordset::readColumn(int index, Variant& into) {
    const SQLSMALLINT target = m_targets[index];
    if (target == SQL_C_DOUBLE) {
        double number = 0;
        SQLLEN indicator = 0;
        const SQLRETURN rc =
            SQLGetData(m_stmt.get(), static_cast<SQLUSMALLINT>(index + 1), target, &number, 0, &indicator);
        check(rc, m_stmt, "SQLGetData");
        if (rc == SQL_NO_DATA || indicator == SQL_NULL_DATA) {
            into = Variant();
        } else {
            into.setUtf8Text(floatText(number));
        }
        return;
    }
    const bool binary = target == SQL_C_BINARY;
    const size_t terminator = binary ? 0 : 1;
    QByteArray data;
    size_t chunk = kFirstReadBytes;
    for (;;) {
        if (m_buffer.size() < chunk) m_buffer.resize(chunk);
        SQLLEN indicator = 0;
        const SQLRETURN rc = SQLGetData(m_stmt.get(), static_cast<SQLUSMALLINT>(index + 1), target,
                                        m_buffer.data(), static_cast<SQLLEN>(chunk), &indicator);
        if (rc == SQL_NO_DATA) break;
        check(rc, m_stmt, "SQLGetData");
        if (indicator == SQL_NULL_DATA) {
            into = Variant();
            return;
        }
        const size_t capacity = chunk - terminator;
        const bool truncated = rc == SQL_SUCCESS_WITH_INFO &&
                               (indicator == SQL_NO_TOTAL || static_cast<size_t>(indicator) > capacity);
        if (!truncated) {
            if (data.isEmpty()) {
                if (binary) {
                    into = Variant::binary(QByteArray(m_buffer.data(), indicator));
                } else {
                    into.setUtf8Text(QByteArrayView(m_buffer.data(), indicator));
                }
                return;
            }
            data.append(m_buffer.data(), indicator);
            break;
        }
        data.append(m_buffer.data(), capacity);
        // What is left, in one read when its length is known.
        chunk =
            indicator == SQL_NO_TOTAL ? kChunkBytes : static_cast<size_t>(indicator) - capacity + terminator;
    }
    if (binary) {
        into = Variant::binary(std::move(data));
    } else {
        into.setUtf8Text(data);
    }
}

qint64 OdbcRecordset::recordCount() {
    requireOpen();
    if (m_recordCount < 0 && !m_source.isEmpty()) count();
    return m_recordCount;
}

void OdbcRecordset::count() {
    Handle counter(SQL_HANDLE_STMT, m_session->dbc.get());
    SqlString text = toSql(QStringLiteral("SELECT COUNT(*) FROM (%1) tw_counted").arg(m_source));
    check(awaitingAnswer(*m_session, [&] { return SQLExecDirect(counter.get(), sqlChars(text), SQL_NTS); }),
          counter, "SQLExecDirect");
    check(awaitingAnswer(*m_session, [&] { return SQLFetch(counter.get()); }), counter, "SQLFetch");
    SQLBIGINT rows = 0;
    SQLLEN indicator = 0;
    check(SQLGetData(counter.get(), 1, SQL_C_SBIGINT, &rows, 0, &indicator), counter, "SQLGetData");
    m_recordCount = rows;
}

void OdbcRecordset::moveNext() {
    requireOpen();
    if (m_eof) {
        throw DbError(
            QStringLiteral("Either BOF or EOF is True, or the current record has been "
                           "deleted. Requested operation requires a current record."));
    }
    fetch();
}

const Field& OdbcRecordset::field(int index) const {
    if (index < 0 || index >= fieldCount()) noSuchField(QString::number(index));
    return m_fields[index];
}

const Field& OdbcRecordset::field(const QString& name) const {
    for (const Field& candidate : m_fields) {
        if (candidate.name.compare(name, Qt::CaseInsensitive) == 0) return candidate;
    }
    noSuchField(name);
}

void OdbcRecordset::close() {
    if (!m_session) return;
    m_stmt.reset();
    m_session->recordsets.erase(this);
    m_session.reset();
    m_eof = true;
}

void OdbcRecordset::requireOpen() const {
    if (!m_session) throw DbError(QStringLiteral("Operation is not allowed when the object is closed."));
}

}  // namespace tw::odbc
