#pragma once

#include <QString>
#include <exception>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

#include "db/ConnectionTarget.h"
#include "db/Dialect.h"
#include "db/TableShape.h"
#include "shell/Variant.h"

namespace tw {

// Where a connection keeps the cursors of its recordsets: a client-side cursor knows its row
// count before the first row is read.
enum class CursorLocation { Default = 0, Server = 2, Client = 3 };

// The one schema the program asks for: every table and view, with TABLE_NAME and TABLE_TYPE.
inline constexpr int kSchemaTables = 20;

// The provider that reaches ODBC data sources; the default one too.
inline const QString kOdbcProvider = QStringLiteral("MSDASQL");

// How long a connection waits, in seconds; 0 waits without end. The defaults are those users
// of the platform's connection library know: 15 seconds to connect, 30 for a statement.
struct ConnectionTimeouts {
    int login = 15;
    int command = 30;  // statements that change the database, a commit and a batch
    // A read takes as long as it takes while the server sends; a server silent this long
    // while a read waits on it is given up.
    int silence = 120;
};

struct Field {
    QString name;
    int type = 0;  // ADO data type code
    Variant value;
};

// The rows of one query, read forward, positioned on the first row after opening.
class Recordset {
public:
    virtual ~Recordset() = default;

    // The number of rows, known before the first row is read.
    virtual qint64 recordCount() = 0;
    virtual bool eof() const = 0;
    virtual void moveNext() = 0;

    virtual int fieldCount() const = 0;
    virtual const Field& field(int index) const = 0;
    // By name, ignoring case; throws when the recordset has no such field.
    virtual const Field& field(const QString& name) const = 0;

    virtual void close() = 0;
};

// One value of a row written through a batch: NULL, the text the statement would quote, or the
// bytes of a column of bytes.
struct BoundValue {
    enum class Kind { Null, Text, Bytes };
    Kind kind = Kind::Null;
    QByteArray data;
};

// Writes the rows of one table through one prepared INSERT, many rows to a call and one
// transaction to a batch. Auto-commit stays off from the first batch until the writer ends.
class BatchWriter {
public:
    virtual ~BatchWriter() = default;
    // Keeps a row, one value per column, for the next flush.
    virtual void add(const std::vector<BoundValue>& row) = 0;
    virtual int pending() const = 0;
    // The memory the kept rows take on their way to the driver, with the given row added too:
    // a batch is bounded by bytes as well as by rows.
    virtual qint64 bytesWith(const std::vector<BoundValue>& row) const = 0;
    // Sends the kept rows and commits them. When that fails, none of them stays written (the
    // batch is rolled back), the connection is back in auto-commit, and the error is thrown;
    // either way the writer is empty afterwards.
    virtual void flush() = 0;
    // The statement the rows go by where it is not each row's INSERT (PostgreSQL's COPY), for a
    // failure to quote; empty otherwise.
    virtual QByteArray rowsStatement() const { return {}; }

    // The same in two halves, so that the next rows can be read and kept while the database
    // writes these: startFlush() takes the kept rows on their way and leaves the writer empty;
    // finishFlush() waits for them, calling whileWaiting now and then, and throws what flush()
    // would have. Nothing else may use the connection between the two. A writer that cannot
    // send in the background sends at startFlush().
    virtual void startFlush() {
        try {
            flush();
        } catch (...) {
            m_flushFailure = std::current_exception();
        }
    }
    virtual void finishFlush(const std::function<void()>& /*whileWaiting*/) {
        if (std::exception_ptr failure = std::exchange(m_flushFailure, nullptr))
            std::rethrow_exception(failure);
    }

private:
    std::exception_ptr m_flushFailure;
};

// The longest names a database takes, in bytes of UTF-8 (the unit of the databases the
// program meets); 0 where the driver does not say.
struct NameLimits {
    int table = 0;
    int column = 0;
};

// One connection to one database, owned by the handler that made it; it ends when released.
// Every failure is thrown as DbError carrying the driver's message.
class Connection {
public:
    virtual ~Connection() = default;

    virtual void setProvider(const QString& provider) = 0;
    virtual void setCursorLocation(CursorLocation location) = 0;

    // Opens the connection, then prepares the session as the product the driver names needs it
    // (an Oracle session is told to read numbers with a decimal point). A preparation that
    // fails fails the opening, and the connection is closed again. A driver that quotes the
    // target's secret in its message (a password given where the host goes) has it masked.
    void open(const ConnectionTarget& target);

    // From now on the session only reads, where its product can be told so (the dialect's
    // read-only set-up): for a connection that only reads a source, so that no statement sent
    // through it, nor a function a user's row condition calls, changes the database. A failing
    // set-up fails the call.
    void makeReadOnly();

    // Runs one statement at once, in auto-commit; no result is read. A statement that runs
    // longer than the command timeout fails.
    virtual void execute(const QString& statement) = 0;
    // The same for a statement already in UTF-8, as the copy composes its rows.
    virtual void executeUtf8(const QByteArray& statement) { execute(QString::fromUtf8(statement)); }
    // The rows the last statement run through execute changed, as the database counts them (an
    // INSERT … SELECT the rows it added: a trigger may have dropped some); -1 where it does not say.
    virtual qint64 rowsChanged() const { return -1; }
    // The same with a value bound to each parameter marker, in order: for values too long to be
    // written as literals.
    virtual void executeWithParameters(const QByteArray& statement,
                                       const std::vector<BoundValue>& parameters) = 0;

    // Statements from beginTransaction() to commit() or rollback() are one transaction; outside,
    // each statement is its own. A failing commit leaves the work undone and the connection
    // back in auto-commit.
    virtual void beginTransaction() = 0;
    virtual void commit() = 0;
    virtual void rollback() noexcept = 0;

    // The rows of a query, read forward.
    virtual std::unique_ptr<Recordset> openRecordset(const QString& source) = 0;
    // The same, each column read as its kind wants it: floating point as the number itself,
    // written with the digits that read back as the same number, and bytes as bytes, whatever
    // the driver describes the column as. Columns beyond the kinds are read as above.
    virtual std::unique_ptr<Recordset> openRecordsetAs(const QString& source,
                                                       const QList<ColumnKind>& /*kinds*/) {
        return openRecordset(source);
    }
    // The table's columns in the order SELECT * gives them, with their types, lengths and
    // nullability, and its primary key, as the database describes them. Empty where nothing
    // can be known. The table in the schema (or owner) given, else where the session finds it.
    virtual TableShape tableShape(const QString& /*table*/, const QString& /*schema*/ = {}) { return {}; }

    // tableSchema: the tables of that schema (or owner) only; every table the driver lists
    // without one.
    virtual std::unique_ptr<Recordset> openSchema(int schema, const QString& tableSchema = {}) = 0;

    // Ends an open connection; fails on one that is not open. Releasing the object also ends it.
    virtual void close() = 0;

    // The dialect of the product the driver named, once the connection is open; none before,
    // and none for a product the program does not know.
    virtual const Dialect* dialect() const { return nullptr; }
    // The product as the driver names it (SQL_DBMS_NAME), once the connection is open.
    virtual QString productName() const { return QString(); }
    // Known once the connection is open.
    virtual NameLimits nameLimits() const { return {}; }

    // A writer of the table's rows in batches, or none where this connection cannot write
    // them so; bytes says per column whether its values are bytes. The table in the schema
    // given, else where the session finds it.
    virtual std::unique_ptr<BatchWriter> batchWriter(const QString& /*table*/,
                                                     const std::vector<bool>& /*bytes*/,
                                                     const QString& /*schema*/ = {}) {
        return nullptr;
    }

protected:
    virtual void connect(const ConnectionTarget& target) = 0;
    // Runs the dialect's session set-up; a connection that wraps another one, which has prepared
    // its own session, has nothing to do.
    virtual void prepareSession();
};

// Makes the connection objects; making one can fail like any other step.
class ConnectionFactory {
public:
    virtual ~ConnectionFactory() = default;
    virtual std::unique_ptr<Connection> create() = 0;
};

}  // namespace tw
