#pragma once

#include <sql.h>

#include <QString>

namespace tw::odbc {

// Sole owner of one ODBC handle; frees it on destruction and never throws doing so.
class Handle {
public:
    Handle() = default;
    // Allocates a handle of the type under the parent (SQL_NULL_HANDLE for an environment).
    Handle(SQLSMALLINT type, SQLHANDLE parent);
    ~Handle();

    Handle(Handle&& other) noexcept;
    Handle& operator=(Handle&& other) noexcept;
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;

    SQLHANDLE get() const { return m_handle; }
    SQLSMALLINT type() const { return m_type; }
    explicit operator bool() const { return m_handle != SQL_NULL_HANDLE; }
    void reset() noexcept;

private:
    SQLSMALLINT m_type = 0;
    SQLHANDLE m_handle = SQL_NULL_HANDLE;
};

// Throws DbError with the handle's diagnostic records when rc is a failure.
void check(SQLRETURN rc, const Handle& handle, const char* call);
void check(SQLRETURN rc, SQLSMALLINT type, SQLHANDLE handle, const char* call);

// A result column as SQLDescribeCol gives it; throws DbError when the driver cannot say.
struct DescribedColumn {
    QString name;
    SQLSMALLINT sqlType = 0;
    SQLULEN size = 0;
    SQLSMALLINT digits = 0;
    SQLSMALLINT nullable = SQL_NULLABLE_UNKNOWN;
};
DescribedColumn describeColumn(const Handle& stmt, SQLUSMALLINT column);

}  // namespace tw::odbc
