#pragma once

#include <sql.h>

#include <QByteArray>
#include <QString>

#include "shell/Utf8Text.h"

namespace tw::odbc {

// The one place that decides how text crosses into ODBC. We use the narrow (ANSI) calls with
// UTF-8 text under a UTF-8 locale: Debian's SQLite driver has no wide entry points, and the
// driver manager's wide-to-narrow conversion goes through UCS-2, which breaks characters
// outside the Basic Multilingual Plane. psqlODBC takes UTF-8 on its narrow calls as well.
using SqlString = QByteArray;

inline SqlString toSql(const QString& text) { return text.toUtf8(); }

// The same into a buffer the caller keeps, so that a statement per row costs no allocation.
void toSql(const QString& text, SqlString& into);

inline QString fromSql(const SQLCHAR* text, qsizetype length) {
    return textFromUtf8(QByteArrayView(reinterpret_cast<const char*>(text), length));
}

inline SQLCHAR* sqlChars(SqlString& text) { return reinterpret_cast<SQLCHAR*>(text.data()); }

}  // namespace tw::odbc
