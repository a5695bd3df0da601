#include "db/TableShape.h"

#include <sql.h>
#include <sqlext.h>
#include <sqlucode.h>

namespace tw {

QStringList TableShape::columnNames() const {
    QStringList names;
    for (const ColumnShape& column : columns) names << column.name;
    return names;
}

ColumnSort sortOf(const ColumnShape& column) {
    const bool sized = column.size > 0;
    switch (column.sqlType) {
        case SQL_TINYINT:
            return ColumnSort::TinyInt;
        case SQL_SMALLINT:
            return ColumnSort::SmallInt;
        case SQL_INTEGER:
            return ColumnSort::Integer;
        case SQL_BIGINT:
            return ColumnSort::BigInt;
        case SQL_DECIMAL:
        case SQL_NUMERIC:
            return sized ? ColumnSort::Decimal : ColumnSort::UnboundedDecimal;
        case SQL_REAL:
            return ColumnSort::Real;
        case SQL_FLOAT:  // drivers differ on whether its size counts bits or digits
        case SQL_DOUBLE:
            return ColumnSort::Double;
        case SQL_BIT:
            return ColumnSort::Logical;
        case SQL_CHAR:
        case SQL_WCHAR:
            return sized ? ColumnSort::Char : ColumnSort::LongText;
        case SQL_VARCHAR:
        case SQL_WVARCHAR:
            return sized ? ColumnSort::VarChar : ColumnSort::LongText;
        case SQL_LONGVARCHAR:
        case SQL_WLONGVARCHAR:
            return ColumnSort::LongText;
        case SQL_BINARY:
            return sized ? ColumnSort::Binary : ColumnSort::LongBinary;
        case SQL_VARBINARY:
            return sized ? ColumnSort::VarBinary : ColumnSort::LongBinary;
        case SQL_LONGVARBINARY:
            return ColumnSort::LongBinary;
        case SQL_TYPE_DATE:
        case SQL_DATE:
            return ColumnSort::Date;
        case SQL_TYPE_TIME:
        case SQL_TIME:
            return ColumnSort::Time;
        case SQL_TYPE_TIMESTAMP:
        case SQL_TIMESTAMP:
            return column.withTimeZone ? ColumnSort::TimestampWithZone : ColumnSort::Timestamp;
        case SQL_GUID:
            return ColumnSort::Guid;
        default:
            return ColumnSort::Other;
    }
}

}  // namespace tw
