#pragma once

namespace tw {

// The C library locale that database text needs, set after the Qt application (which takes the
// user's locale): UTF-8 characters, so that text crosses the narrow ODBC calls as UTF-8, and
// the C conventions for numbers, so that no driver writes a decimal comma into a value.
void useDatabaseLocale();

}  // namespace tw
