#pragma once

#include <sql.h>

#include "db/AnswerDeadline.h"
#include "db/DbError.h"
#include "db/odbc/OdbcSession.h"

namespace tw::odbc {

// A call that waits on the server for an answer (rows, a catalogue's lists): a server silent too
// long is given up, and the call fails as on a lost connection.
template <typename Call>
SQLRETURN awaitingAnswer(const OdbcSession& session, Call&& call) {
    const AnswerDeadline deadline(session.sockets, session.readSilence, AnswerDeadline::Measure::Silence);
    const SQLRETURN rc = call();
    if (!SQL_SUCCEEDED(rc) && rc != SQL_NO_DATA && deadline.passed()) throw deadline.failure();
    return rc;
}

}  // namespace tw::odbc
