#pragma once

#include <QString>

namespace tw {

// A user's row condition is sent to the source as written, inside the program's own SELECT. It
// must stay one expression of that statement: a semicolon could end the statement and begin
// another (PostgreSQL's driver runs every statement of a text, prepared or not). Why the
// condition cannot be sent, or empty where it can. Conservative: a semicolon is taken only
// inside a plain quoted text ('a;b') of a condition with nothing whose reading differs between
// the products (a backslash, another quote, a dollar, a comment).
QString rowConditionRefusal(const QString& condition);

// " WHERE condition", or nothing for an empty condition; a condition that cannot be sent
// throws a DbError saying why, before anything is sent.
QString whereClause(const QString& condition);

}  // namespace tw
