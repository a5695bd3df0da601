#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <memory>
#include <utility>
#include <vector>

#include "db/BackgroundSend.h"
#include "db/Connection.h"
#include "db/postgres/LibpqConnInfo.h"

struct pg_conn;

namespace tw::postgres {

// A session setting of the ODBC connection, by name, that the COPY connection takes too.
using SessionSetting = std::pair<QByteArray, QByteArray>;

// Rows of one table into PostgreSQL through the server's COPY, on a libpq connection of the
// writer's own to the server, database and login of the program's ODBC connection. A batch is
// one COPY in auto-commit: the server takes all its rows or none. It costs two round trips
// whatever its rows, where bound INSERTs through psqlODBC cost some five a thousand rows. The
// rows go on a thread of their own while the next are read.
class CopyWriter : public BatchWriter {
public:
    // A writer on its own connection; none where libpq cannot reach the database with what it
    // is given or cannot take the settings, and the rows then go as they did before.
    // intoTable: quoted (and qualified) already. A batch gives up after the command time-out,
    // also on a server that no longer answers at all; connecting after the login time-out.
    static std::unique_ptr<BatchWriter> open(const LibpqParameters& parameters, const QString& intoTable,
                                             std::vector<bool> bytes, const QList<SessionSetting>& settings,
                                             int commandTimeoutSeconds, int loginTimeoutSeconds = 15);
    ~CopyWriter() override;

    void add(const std::vector<BoundValue>& row) override;
    int pending() const override { return m_rows; }
    qint64 bytesWith(const std::vector<BoundValue>& row) const override;
    void flush() override;
    void startFlush() override;
    void finishFlush(const std::function<void()>& whileWaiting) override;
    QByteArray rowsStatement() const override { return m_copyStatement; }

private:
    CopyWriter(pg_conn* connection, const QString& intoTable, std::vector<bool> bytes, int commandTimeout);
    void send();
    void sendRows(const QByteArray& rows);

    pg_conn* m_connection;
    int m_commandTimeout;
    QByteArray m_copyStatement;  // COPY "t" FROM STDIN
    std::vector<bool> m_bytes;
    QByteArray m_kept;  // the rows kept for the next batch, in COPY's text
    int m_rows = 0;
    QByteArray m_sending;
    BackgroundSend m_sent;
};

}  // namespace tw::postgres
