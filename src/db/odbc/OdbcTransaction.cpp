#include "db/odbc/OdbcTransaction.h"

#include <sqlext.h>

#include "db/AnswerDeadline.h"
#include "db/DbError.h"
#include "db/odbc/OdbcSession.h"

namespace tw::odbc {

namespace {

// Turning auto-commit on or off and a rollback wait on the server too (MariaDB's driver sends a
// statement for each): a server that no longer answers ends them as it ends a change.
AnswerDeadline answerWithin(const OdbcSession& session) {
    return AnswerDeadline(session.sockets, session.commandTimeout, AnswerDeadline::Measure::Whole);
}

void setAutoCommit(OdbcSession& session, bool on) {
    const AnswerDeadline deadline = answerWithin(session);
    try {
        check(SQLSetConnectAttr(session.dbc.get(), SQL_ATTR_AUTOCOMMIT,
                                reinterpret_cast<SQLPOINTER>(
                                    static_cast<SQLULEN>(on ? SQL_AUTOCOMMIT_ON : SQL_AUTOCOMMIT_OFF)),
                                SQL_IS_UINTEGER),
              session.dbc, "SQLSetConnectAttr");
    } catch (const DbError&) {
        if (deadline.passed()) throw deadline.failure();
        throw;
    }
}

}  // namespace

OdbcTransaction::OdbcTransaction(std::shared_ptr<OdbcSession> session) : m_session(std::move(session)) {
    setAutoCommit(*m_session, false);
}

OdbcTransaction::~OdbcTransaction() {
    rollback();
    if (!m_session->connected) return;
    try {
        setAutoCommit(*m_session, true);
    } catch (const DbError&) {
        // Lost with the connection, which has no auto-commit to give back.
    }
}

void OdbcTransaction::commit() {
    const AnswerDeadline deadline = answerWithin(*m_session);
    try {
        try {
            check(SQLEndTran(SQL_HANDLE_DBC, m_session->dbc.get(), SQL_COMMIT), m_session->dbc, "SQLEndTran");
        } catch (const DbError&) {
            if (deadline.passed()) throw deadline.failure();
            throw;
        }
    } catch (...) {
        rollback();
        throw;
    }
}

void OdbcTransaction::rollback() noexcept {
    if (!m_session->connected) return;
    const AnswerDeadline deadline = answerWithin(*m_session);
    SQLEndTran(SQL_HANDLE_DBC, m_session->dbc.get(), SQL_ROLLBACK);
}

}  // namespace tw::odbc
