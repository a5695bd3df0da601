#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <cstdint>

namespace tw {

// One column as its database describes it.
struct ColumnShape {
    QString name;
    std::int16_t sqlType = 0;  // the ODBC SQL type: SQL_NUMERIC, SQL_VARCHAR, …
    QString typeName;          // the database's own name for the type, as the driver gives it
    qint64 size = 0;           // characters, bytes or precision; 0 where none is declared or known
    int digits = -1;           // scale, or digits of a second's fraction; -1 where not known
    bool nullable = true;
    bool withTimeZone = false;  // a time or timestamp that keeps its offset from UTC
    bool generated = false;     // the database computes its values from the row's others
    bool hasDefault = false;    // a row that gives it no value gets one
    int fieldType = 0;          // the ADO type a query's field of the column has; 0 where not known
    // A 4-byte float the driver reads as a double (MariaDB's FLOAT): it keeps no more.
    bool fourByteFloat = false;
};

// A table as its database describes it: the columns in order, and the primary key's columns
// in key order (none without a key).
struct TableShape {
    QList<ColumnShape> columns;
    QStringList primaryKey;

    QStringList columnNames() const;
};

// What a column holds, told apart as finely as a created column's type needs it.
enum class ColumnSort {
    TinyInt,
    SmallInt,
    Integer,
    BigInt,
    Decimal,           // exact, with the precision and scale declared
    UnboundedDecimal,  // exact, of any precision
    Real,
    Double,
    Logical,
    Char,     // fixed length
    VarChar,  // up to a length
    LongText,
    Binary,
    VarBinary,
    LongBinary,
    Date,
    Time,
    Timestamp,
    TimestampWithZone,  // an instant with its offset from UTC
    Guid,
    Other,
};

ColumnSort sortOf(const ColumnShape& column);

}  // namespace tw
