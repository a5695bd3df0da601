#include "db/postgres/CopyWriter.h"

#include <libpq-fe.h>

#include <algorithm>

#include "db/AnswerDeadline.h"
#include "db/DbError.h"
#include "db/postgres/CopyText.h"

namespace tw::postgres {

namespace {

// The server's words and SQLSTATE, as a DbError; a connection libpq knows to be gone is lost.
DbError failureOf(PGconn* connection, const PGresult* result) {
    const char* state = result ? PQresultErrorField(result, PG_DIAG_SQLSTATE) : nullptr;
    QString message = QString::fromUtf8(result ? PQresultErrorMessage(result) : PQerrorMessage(connection));
    if (message.isEmpty()) message = QString::fromUtf8(PQerrorMessage(connection));
    DbError failure(message.trimmed(), state ? QString::fromLatin1(state) : QString());
    if (PQstatus(connection) == CONNECTION_BAD) failure.markConnectionLost();
    return failure;
}

struct ResultGuard {
    PGresult* result;
    ~ResultGuard() { PQclear(result); }
};

// Runs a statement that returns nothing the writer needs; false where the server refused it.
bool ran(PGconn* connection, const char* statement, int parameters = 0, const char* const* values = nullptr) {
    ResultGuard result{PQexecParams(connection, statement, parameters, nullptr, values, nullptr, nullptr, 0)};
    const ExecStatusType status = PQresultStatus(result.result);
    return status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK;
}

// A connection of libpq's by the given parameters, each value as it is; one that failed to
// connect says so by its status.
PGconn* connected(const LibpqParameters& parameters, int loginTimeoutSeconds) {
    std::vector<const char*> keywords;
    std::vector<const char*> values;
    for (const LibpqParameter& parameter : parameters) {
        keywords.push_back(parameter.first.constData());
        values.push_back(parameter.second.constData());
    }
    // A server that accepts and stays silent must not hold the copy: libpq's own time-out.
    const QByteArray loginTimeout = QByteArray::number(loginTimeoutSeconds);
    if (loginTimeoutSeconds > 0) {
        keywords.push_back("connect_timeout");
        values.push_back(loginTimeout.constData());
    }
    keywords.push_back(nullptr);
    values.push_back(nullptr);
    return PQconnectdbParams(keywords.data(), values.data(), 0);
}

}  // namespace

std::unique_ptr<BatchWriter> CopyWriter::open(const LibpqParameters& parameters, const QString& intoTable,
                                              std::vector<bool> bytes, const QList<SessionSetting>& settings,
                                              int commandTimeoutSeconds, int loginTimeoutSeconds) {
    PGconn* connection = connected(parameters, loginTimeoutSeconds);
    if (!connection) return nullptr;
    if (PQstatus(connection) != CONNECTION_OK) {
        PQfinish(connection);
        return nullptr;
    }
    // The server's notices are no concern of the user's: libpq would print them on stderr,
    // through a terminal's progress line.
    PQsetNoticeProcessor(
        connection, [](void*, const char*) {}, nullptr);
    // The connection reads the rows' texts as the ODBC session would have: its dates, its time
    // zone and the schemas an unqualified name is looked for in; all in one round trip.
    QList<SessionSetting> all = settings;
    all << SessionSetting("statement_timeout", QByteArray::number(commandTimeoutSeconds * 1000));
    QByteArray statement = "SELECT ";
    std::vector<const char*> values;
    for (const SessionSetting& setting : all) {
        const auto first = QByteArray::number(static_cast<qsizetype>(values.size()) + 1);
        const auto second = QByteArray::number(static_cast<qsizetype>(values.size()) + 2);
        if (!values.empty()) statement += ", ";
        statement += "set_config($" + first + ", $" + second + ", false)";
        values.push_back(setting.first.constData());
        values.push_back(setting.second.constData());
    }
    if (!ran(connection, statement.constData(), static_cast<int>(values.size()), values.data())) {
        PQfinish(connection);
        return nullptr;
    }
    return std::unique_ptr<BatchWriter>(
        new CopyWriter(connection, intoTable, std::move(bytes), commandTimeoutSeconds));
}

CopyWriter::CopyWriter(pg_conn* connection, const QString& intoTable, std::vector<bool> bytes,
                       int commandTimeout)
    : m_connection(connection),
      m_commandTimeout(commandTimeout),
      m_copyStatement(QStringLiteral("COPY %1 FROM STDIN").arg(intoTable).toUtf8()),
      m_bytes(std::move(bytes)) {}

CopyWriter::~CopyWriter() {
    m_sent.wait();
    PQfinish(m_connection);
}

void CopyWriter::add(const std::vector<BoundValue>& row) {
    for (size_t column = 0; column < m_bytes.size(); ++column) {
        if (column > 0) m_kept += '\t';
        appendCopyValue(m_kept, column < row.size() ? row[column] : BoundValue{});
    }
    m_kept += '\n';
    ++m_rows;
}

// A text grows by its escapes and bytes double as hex: the row is counted at its widest.
qint64 CopyWriter::bytesWith(const std::vector<BoundValue>& row) const {
    qint64 bytes = m_kept.size();
    for (const BoundValue& value : row) bytes += 2 * value.data.size() + 4;
    return bytes;
}

void CopyWriter::flush() {
    startFlush();
    finishFlush([] {});
}

void CopyWriter::startFlush() {
    if (m_rows == 0) return;
    std::swap(m_kept, m_sending);
    m_kept.resize(0);  // keeps its room for the next batch
    m_rows = 0;
    m_sent.start([this] { send(); });
}

void CopyWriter::finishFlush(const std::function<void()>& whileWaiting) { m_sent.finish(whileWaiting); }

// On the sending thread: one COPY of the rows of m_sending. The server answers once when it
// is ready for them and once when it has them all.
void CopyWriter::send() {
    struct EmptiedAfter {
        QByteArray& rows;
        ~EmptiedAfter() { rows.resize(0); }  // keeps its room for the batch after next
    } emptiedAfter{m_sending};
    const QByteArray& rows = m_sending;
    // The server's statement_timeout ends a COPY that takes too long; a server that no longer
    // answers at all (its process stopped) is given up by the program.
    const AnswerDeadline deadline({PQsocket(m_connection)}, m_commandTimeout, AnswerDeadline::Measure::Whole);
    try {
        sendRows(rows);
    } catch (const DbError&) {
        if (deadline.passed()) throw deadline.failure();
        throw;
    }
}

void CopyWriter::sendRows(const QByteArray& rows) {
    {
        ResultGuard started{PQexec(m_connection, m_copyStatement.constData())};
        if (PQresultStatus(started.result) != PGRES_COPY_IN) throw failureOf(m_connection, started.result);
    }
    constexpr qsizetype kPiece = 1 << 20;  // PQputCopyData takes an int's worth at a time
    bool put = true;
    for (qsizetype at = 0; put && at < rows.size(); at += kPiece) {
        const int length = static_cast<int>(std::min(kPiece, rows.size() - at));
        put = PQputCopyData(m_connection, rows.constData() + at, length) == 1;
    }
    // A COPY that could not take every row is ended as failed, so that none of them stays.
    PQputCopyEnd(m_connection, put ? nullptr : "the rows could not all be sent");
    std::exception_ptr failure;
    while (PGresult* result = PQgetResult(m_connection)) {
        ResultGuard ended{result};
        if (!failure && PQresultStatus(result) != PGRES_COMMAND_OK)
            failure = std::make_exception_ptr(failureOf(m_connection, result));
    }
    if (!failure && !put) failure = std::make_exception_ptr(failureOf(m_connection, nullptr));
    if (failure) std::rethrow_exception(failure);
}

}  // namespace tw::postgres
