#include "db/odbc/TypeMapping.h"

#include <sqlext.h>
#include <sqlucode.h>

#include "db/AdoType.h"

namespace tw::odbc {

int adoTypeOf(SQLSMALLINT sqlType, bool isUnsigned) {
    switch (sqlType) {
        case SQL_CHAR:
            return AdoType::Char;
        case SQL_VARCHAR:
            return AdoType::VarChar;
        case SQL_LONGVARCHAR:
            return AdoType::LongVarChar;
        case SQL_WCHAR:
            return AdoType::WChar;
        case SQL_WVARCHAR:
            return AdoType::VarWChar;
        case SQL_WLONGVARCHAR:
            return AdoType::LongVarWChar;
        case SQL_DECIMAL:
        case SQL_NUMERIC:
            return AdoType::Numeric;
        case SQL_TINYINT:
            return isUnsigned ? AdoType::UnsignedTinyInt : AdoType::TinyInt;
        case SQL_SMALLINT:
            return isUnsigned ? AdoType::UnsignedSmallInt : AdoType::SmallInt;
        case SQL_INTEGER:
            return isUnsigned ? AdoType::UnsignedInt : AdoType::Integer;
        case SQL_BIGINT:
            return isUnsigned ? AdoType::UnsignedBigInt : AdoType::BigInt;
        case SQL_REAL:
            return AdoType::Single;
        case SQL_FLOAT:
        case SQL_DOUBLE:
            return AdoType::Double;
        case SQL_BIT:
            return AdoType::Boolean;
        case SQL_BINARY:
            return AdoType::Binary;
        case SQL_VARBINARY:
            return AdoType::VarBinary;
        case SQL_LONGVARBINARY:
            return AdoType::LongVarBinary;
        case SQL_TYPE_DATE:
        case SQL_DATE:
            return AdoType::DBDate;
        case SQL_TYPE_TIME:
        case SQL_TIME:
            return AdoType::DBTime;
        case SQL_TYPE_TIMESTAMP:
        case SQL_TIMESTAMP:
            return AdoType::DBTimeStamp;
        case SQL_GUID:
            return AdoType::Guid;
        default:
            return AdoType::VarChar;
    }
}

int adoTypeOfColumn(SQLHSTMT stmt, SQLUSMALLINT column, SQLSMALLINT sqlType) {
    SQLLEN isUnsigned = SQL_FALSE;
    SQLColAttribute(stmt, column, SQL_DESC_UNSIGNED, nullptr, 0, nullptr, &isUnsigned);
    return adoTypeOf(sqlType, isUnsigned == SQL_TRUE);
}

bool isBinaryAdoType(int adoType) {
    return adoType == AdoType::Binary || adoType == AdoType::VarBinary || adoType == AdoType::LongVarBinary;
}

}  // namespace tw::odbc
