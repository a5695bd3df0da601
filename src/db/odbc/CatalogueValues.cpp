#include "db/odbc/CatalogueValues.h"

#include <sqlext.h>

#include "shell/Utf8Text.h"

namespace tw::odbc {

std::optional<QByteArray> textAt(const Handle& stmt, SQLUSMALLINT column) {
    QByteArray text;
    char chunk[512];
    for (;;) {
        SQLLEN indicator = 0;
        const SQLRETURN rc = SQLGetData(stmt.get(), column, SQL_C_CHAR, chunk, sizeof chunk, &indicator);
        if (rc == SQL_NO_DATA) return text;
        check(rc, stmt, "SQLGetData");
        if (indicator == SQL_NULL_DATA) return std::nullopt;
        const bool whole = indicator != SQL_NO_TOTAL && indicator < static_cast<SQLLEN>(sizeof chunk);
        text.append(chunk, whole ? indicator : static_cast<SQLLEN>(sizeof chunk) - 1);
        if (whole) return text;
    }
}

std::optional<qint64> numberAt(const Handle& stmt, SQLUSMALLINT column) {
    SQLBIGINT number = 0;
    SQLLEN indicator = 0;
    check(SQLGetData(stmt.get(), column, SQL_C_SBIGINT, &number, 0, &indicator), stmt, "SQLGetData");
    if (indicator == SQL_NULL_DATA) return std::nullopt;
    return number;
}

QString nameText(const std::optional<QByteArray>& utf8) { return utf8 ? textFromUtf8(*utf8) : QString(); }

}  // namespace tw::odbc
