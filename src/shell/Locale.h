#pragma once

namespace tw {

// Database text crosses ODBC as UTF-8 on the narrow calls, which needs a UTF-8 locale: the
// user's own when it is one, C.UTF-8 otherwise.
void useUtf8Locale();

}  // namespace tw
