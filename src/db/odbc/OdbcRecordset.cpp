#include "db/odbc/OdbcRecordset.h"

#include <sqlext.h>

#include "db/DbError.h"
#include "db/odbc/OdbcSession.h"
#include "db/odbc/OdbcText.h"
#include "db/odbc/TypeMapping.h"

namespace tw::odbc {

namespace {

constexpr size_t kFirstReadBytes = 256;
constexpr size_t kChunkBytes = 64 * 1024;

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
                                                    const QString& source, bool countFirst) {
    std::unique_ptr<OdbcRecordset> recordset(new OdbcRecordset(std::move(session), source));
    // Counting while the rows are being read would make some drivers (SQLite's) read all the
    // rest of them into memory first; counted beforehand, the rows stream.
    if (countFirst) recordset->count();
    SqlString text = toSql(source);
    check(SQLExecDirect(recordset->m_stmt.get(), sqlChars(text), SQL_NTS), recordset->m_stmt,
          "SQLExecDirect");
    recordset->describeColumns();
    recordset->fetch();
    return recordset;
}

std::unique_ptr<OdbcRecordset> OdbcRecordset::tables(std::shared_ptr<OdbcSession> session) {
    std::unique_ptr<OdbcRecordset> recordset(new OdbcRecordset(std::move(session), QString()));
    SQLCHAR any[] = "%";
    check(SQLTables(recordset->m_stmt.get(), nullptr, 0, any, SQL_NTS, any, SQL_NTS, nullptr, 0),
          recordset->m_stmt, "SQLTables");
    recordset->describeColumns();
    recordset->fetch();
    return recordset;
}

void OdbcRecordset::describeColumns() {
    SQLSMALLINT columns = 0;
    check(SQLNumResultCols(m_stmt.get(), &columns), m_stmt, "SQLNumResultCols");
    m_fields.resize(columns);
    for (SQLUSMALLINT column = 1; column <= columns; ++column) {
        SQLCHAR name[1024] = {};
        SQLSMALLINT nameLength = 0, sqlType = 0, digits = 0, nullable = 0;
        SQLULEN size = 0;
        check(SQLDescribeCol(m_stmt.get(), column, name, sizeof name, &nameLength, &sqlType, &size, &digits,
                             &nullable),
              m_stmt, "SQLDescribeCol");
        SQLLEN isUnsigned = SQL_FALSE;
        SQLColAttribute(m_stmt.get(), column, SQL_DESC_UNSIGNED, nullptr, 0, nullptr, &isUnsigned);
        Field& field = m_fields[column - 1];
        field.name = fromSql(name, qMin<qsizetype>(nameLength, sizeof name - 1));
        // Integer types are signed unless the driver says otherwise; other types ignore it.
        field.type = adoTypeOf(sqlType, isUnsigned == SQL_TRUE);
    }
}

void OdbcRecordset::fetch() {
    // Until a row has been read whole, the recordset stands at its end: a row that cannot be
    // read must never leave the previous row's values behind to be read again.
    m_eof = true;
    try {
        const SQLRETURN rc = SQLFetch(m_stmt.get());
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

void OdbcRecordset::clearValues() {
    for (Field& field : m_fields) field.value = Variant();
}

// Only the user's own base tables are typed "TABLE" in the tables schema.
void OdbcRecordset::typeSystemTables() {
    if (!m_session->namesSqliteTablesAsSystem) return;
    Field& type = m_fields[3];
    if (type.value.toString() == QLatin1String("TABLE") &&
        m_fields[2].value.toString().startsWith(QLatin1String("sqlite_"), Qt::CaseInsensitive)) {
        type.value = Variant(QStringLiteral("SYSTEM TABLE"));
    }
}

// Reads one value whole: text as the driver's own UTF-8 form, binary as bytes. The first read
// goes into a small buffer, since some drivers fill the whole buffer they are given; a longer
// value is then read in one more call when the driver tells its length, else in chunks.
void OdbcRecordset::readColumn(int index, Variant& into) {
    const bool binary = isBinaryAdoType(m_fields[index].type);
    const SQLSMALLINT target = binary ? SQL_C_BINARY : SQL_C_CHAR;
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
    check(SQLExecDirect(counter.get(), sqlChars(text), SQL_NTS), counter, "SQLExecDirect");
    check(SQLFetch(counter.get()), counter, "SQLFetch");
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
