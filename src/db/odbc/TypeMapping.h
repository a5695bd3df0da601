#pragma once

#include <sql.h>

namespace tw::odbc {

// The ADO data type code for an ODBC SQL type. Types without an ADO counterpart read as text.
int adoTypeOf(SQLSMALLINT sqlType, bool isUnsigned);

// The ADO type of a result's column of this SQL type: integer types are signed unless the
// driver says otherwise (SQL_DESC_UNSIGNED); other types ignore it.
int adoTypeOfColumn(SQLHSTMT stmt, SQLUSMALLINT column, SQLSMALLINT sqlType);

// Whether values of the ADO type are fetched as bytes rather than text.
bool isBinaryAdoType(int adoType);

}  // namespace tw::odbc
