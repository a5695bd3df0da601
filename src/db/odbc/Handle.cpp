#include "db/odbc/Handle.h"

#include <sqlext.h>

#include <QStringList>
#include <utility>

#include "db/DbError.h"
#include "db/odbc/OdbcText.h"

namespace tw::odbc {

Handle::Handle(SQLSMALLINT type, SQLHANDLE parent) : m_type(type) {
    const SQLRETURN rc = SQLAllocHandle(type, parent, &m_handle);
    if (!SQL_SUCCEEDED(rc)) {
        m_handle = SQL_NULL_HANDLE;
        // The parent holds the reason an allocation failed.
        const SQLSMALLINT parentType = type == SQL_HANDLE_DBC    ? SQL_HANDLE_ENV
                                       : type == SQL_HANDLE_STMT ? SQL_HANDLE_DBC
                                                                 : 0;
        if (parentType) check(rc, parentType, parent, "SQLAllocHandle");
        throw DbError(QStringLiteral("SQLAllocHandle failed"));
    }
}

Handle::~Handle() { reset(); }

Handle::Handle(Handle&& other) noexcept
    : m_type(other.m_type), m_handle(std::exchange(other.m_handle, SQLHANDLE{})) {}

Handle& Handle::operator=(Handle&& other) noexcept {
    if (this != &other) {
        reset();
        m_type = other.m_type;
        m_handle = std::exchange(other.m_handle, SQLHANDLE{});
    }
    return *this;
}

void Handle::reset() noexcept {
    if (m_handle != SQL_NULL_HANDLE) SQLFreeHandle(m_type, m_handle);
    m_handle = SQL_NULL_HANDLE;
}

void check(SQLRETURN rc, const Handle& handle, const char* call) {
    check(rc, handle.type(), handle.get(), call);
}

// Reads every diagnostic record once, in one pass: some drivers lose them when asked twice.
void check(SQLRETURN rc, SQLSMALLINT type, SQLHANDLE handle, const char* call) {
    if (SQL_SUCCEEDED(rc) || rc == SQL_NO_DATA) return;
    if (rc == SQL_INVALID_HANDLE) {
        throw DbError(QStringLiteral("%1: invalid handle").arg(QLatin1String(call)));
    }
    QStringList messages;
    QString firstState;
    int firstNative = 0;
    for (SQLSMALLINT record = 1;; ++record) {
        SQLCHAR state[6] = {};
        SQLINTEGER native = 0;
        SQLCHAR text[SQL_MAX_MESSAGE_LENGTH * 4] = {};
        SQLSMALLINT length = 0;
        const SQLRETURN got = SQLGetDiagRec(type, handle, record, state, &native, text, sizeof text, &length);
        if (!SQL_SUCCEEDED(got)) break;
        const qsizetype shown = qMin<qsizetype>(length, sizeof text - 1);
        const QString stateText = fromSql(state, 5);
        if (record == 1) {
            firstState = stateText;
            firstNative = native;
        }
        messages << QStringLiteral("[%1] %2").arg(stateText, fromSql(text, shown).trimmed());
    }
    if (messages.isEmpty()) messages << QStringLiteral("%1 failed").arg(QLatin1String(call));
    throw DbError(messages.join(QLatin1Char('\n')), firstState, firstNative);
}

DescribedColumn describeColumn(const Handle& stmt, SQLUSMALLINT column) {
    SQLCHAR name[1024] = {};
    SQLSMALLINT nameLength = 0;
    DescribedColumn described;
    check(SQLDescribeCol(stmt.get(), column, name, sizeof name, &nameLength, &described.sqlType,
                         &described.size, &described.digits, &described.nullable),
          stmt, "SQLDescribeCol");
    described.name = fromSql(name, qMin<qsizetype>(nameLength, sizeof name - 1));
    return described;
}

}  // namespace tw::odbc
