#pragma once

#include <memory>

namespace tw::odbc {

struct OdbcSession;

// Work on a session that is committed only when asked: auto-commit goes off when the
// transaction begins and comes back on when it ends, and work not committed by then is rolled
// back. A session's auto-commit is switched here and nowhere else. The work may be committed
// or rolled back several times while the transaction lasts (a batch at a time, say).
class OdbcTransaction {
public:
    explicit OdbcTransaction(std::shared_ptr<OdbcSession> session);
    ~OdbcTransaction();
    OdbcTransaction(const OdbcTransaction&) = delete;
    OdbcTransaction& operator=(const OdbcTransaction&) = delete;

    // Commits the work so far; a commit that fails rolls it back and throws.
    void commit();
    // Undoes the work so far; a connection that is gone has undone it already.
    void rollback() noexcept;

private:
    std::shared_ptr<OdbcSession> m_session;
};

}  // namespace tw::odbc
