#pragma once

#include <sql.h>

#include <QString>
#include <string>

namespace tw::odbc {

// The one place that decides how text crosses into ODBC. We use the narrow (ANSI) calls with
// UTF-8 text under a UTF-8 locale: Debian's SQLite driver has no wide entry points, and the
// driver manager's wide-to-narrow conversion goes through UCS-2, which breaks characters
// outside the Basic Multilingual Plane. psqlODBC takes UTF-8 on its narrow calls as well.
using SqlString = std::string;

inline SqlString toSql(const QString& text) { return text.toStdString(); }

inline QString fromSql(const SQLCHAR* text, qsizetype length) {
    return QString::fromUtf8(reinterpret_cast<const char*>(text), length);
}

inline SQLCHAR* sqlChars(SqlString& text) { return reinterpret_cast<SQLCHAR*>(text.data()); }

}  // namespace tw::odbc
