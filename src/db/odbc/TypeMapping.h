#pragma once

#include <sql.h>

namespace tw::odbc {

// The ADO data type code for an ODBC SQL type. Types without an ADO counterpart read as text.
int adoTypeOf(SQLSMALLINT sqlType, bool isUnsigned);

// Whether values of the ADO type are fetched as bytes rather than text.
bool isBinaryAdoType(int adoType);

}  // namespace tw::odbc
