// The floor the program's transfer is measured against: a table copy over unixODBC alone, with
// exactly the statements the program sends (SELECT *, the generated CREATE TABLE, one literal
// INSERT per row in auto-commit) and nothing else. And the ceiling for its batched copy: the
// same rows bound as 1,000-row parameter arrays to one prepared INSERT, a transaction a batch.
//
//   bench_floor copy    <source> <target> <table> oracle|sqlany
//   bench_floor batch   <source> <target> <table> oracle|sqlany
//   bench_floor dump    <connection> <table>  every row as a line of text
//   bench_floor drop    <connection> <table>
//
// A connection is "Data Source=NAME" for an ODBC data source or a driver connection string.
// copy prints "rows=N seconds=S cpu=C rss_kb=K", C being this process's processor time.
#include <sql.h>
#include <sqlext.h>
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

struct Failure : std::runtime_error {
    using std::runtime_error::runtime_error;
};

void check(SQLRETURN rc, SQLSMALLINT type, SQLHANDLE handle, const char* what) {
    if (SQL_SUCCEEDED(rc) || rc == SQL_NO_DATA) return;
    std::string message = what;
    SQLCHAR state[6] = {}, text[1024] = {};
    SQLINTEGER native = 0;
    SQLSMALLINT length = 0;
    if (SQL_SUCCEEDED(SQLGetDiagRec(type, handle, 1, state, &native, text, sizeof text, &length))) {
        message += std::string(": [") + reinterpret_cast<char*>(state) + "] " + reinterpret_cast<char*>(text);
    }
    throw Failure(message);
}

class Database {
public:
    explicit Database(const std::string& connection) {
        SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &m_env);
        SQLSetEnvAttr(m_env, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
        SQLAllocHandle(SQL_HANDLE_DBC, m_env, &m_dbc);
        const std::string prefix = "Data Source=";
        SQLRETURN rc;
        if (connection.rfind(prefix, 0) == 0) {
            std::string name = connection.substr(prefix.size());
            rc = SQLConnect(m_dbc, reinterpret_cast<SQLCHAR*>(name.data()), SQL_NTS, nullptr, 0, nullptr, 0);
        } else {
            std::string text = connection;
            rc = SQLDriverConnect(m_dbc, nullptr, reinterpret_cast<SQLCHAR*>(text.data()), SQL_NTS, nullptr,
                                  0, nullptr, SQL_DRIVER_NOPROMPT);
        }
        check(rc, SQL_HANDLE_DBC, m_dbc, "connect");
        SQLAllocHandle(SQL_HANDLE_STMT, m_dbc, &m_exec);
    }
    ~Database() {
        SQLFreeHandle(SQL_HANDLE_STMT, m_exec);
        SQLDisconnect(m_dbc);
        SQLFreeHandle(SQL_HANDLE_DBC, m_dbc);
        SQLFreeHandle(SQL_HANDLE_ENV, m_env);
    }

    void execute(std::string& statement) {
        const SQLRETURN rc = SQLExecDirect(m_exec, reinterpret_cast<SQLCHAR*>(statement.data()),
                                           static_cast<SQLINTEGER>(statement.size()));
        SQLFreeStmt(m_exec, SQL_CLOSE);
        check(rc, SQL_HANDLE_STMT, m_exec, "execute");
    }

    SQLHDBC dbc() const { return m_dbc; }
    SQLHSTMT exec() const { return m_exec; }

private:
    SQLHENV m_env = SQL_NULL_HENV;
    SQLHDBC m_dbc = SQL_NULL_HDBC;
    SQLHSTMT m_exec = SQL_NULL_HSTMT;
};

// A forward-only query with each value read whole as text; binary as upper-case hex.
class Rows {
public:
    Rows(Database& db, const std::string& query) {
        SQLAllocHandle(SQL_HANDLE_STMT, db.dbc(), &m_stmt);
        std::string text = query;
        check(SQLExecDirect(m_stmt, reinterpret_cast<SQLCHAR*>(text.data()), SQL_NTS), SQL_HANDLE_STMT,
              m_stmt, "select");
        SQLSMALLINT count = 0;
        SQLNumResultCols(m_stmt, &count);
        for (SQLUSMALLINT c = 1; c <= count; ++c) {
            SQLCHAR name[512] = {};
            SQLSMALLINT nameLength = 0, type = 0, digits = 0, nullable = 0;
            SQLULEN size = 0;
            SQLDescribeCol(m_stmt, c, name, sizeof name, &nameLength, &type, &size, &digits, &nullable);
            m_names.emplace_back(reinterpret_cast<char*>(name));
            m_types.push_back(type);
        }
        m_values.resize(count);
        m_null.resize(count);
    }
    ~Rows() { SQLFreeHandle(SQL_HANDLE_STMT, m_stmt); }

    bool next() {
        const SQLRETURN rc = SQLFetch(m_stmt);
        if (rc == SQL_NO_DATA) return false;
        check(rc, SQL_HANDLE_STMT, m_stmt, "fetch");
        for (size_t c = 0; c < m_values.size(); ++c) read(c);
        return true;
    }

    size_t columns() const { return m_values.size(); }
    const std::string& name(size_t c) const { return m_names[c]; }
    SQLSMALLINT type(size_t c) const { return m_types[c]; }
    const std::string& value(size_t c) const { return m_values[c]; }
    bool isNull(size_t c) const { return m_null[c]; }

private:
    static bool isBinary(SQLSMALLINT type) {
        return type == SQL_BINARY || type == SQL_VARBINARY || type == SQL_LONGVARBINARY;
    }

    // A small first read (drivers may fill all of the buffer they are given), then the rest.
    void read(size_t c) {
        std::string& out = m_values[c];
        out.clear();
        m_null[c] = false;
        const bool binary = isBinary(m_types[c]);
        SQLLEN size = 256;
        for (;;) {
            SQLLEN indicator = 0;
            const SQLRETURN rc = SQLGetData(m_stmt, static_cast<SQLUSMALLINT>(c + 1),
                                            binary ? SQL_C_BINARY : SQL_C_CHAR, m_buffer, size, &indicator);
            if (rc == SQL_NO_DATA) return;
            check(rc, SQL_HANDLE_STMT, m_stmt, "get data");
            if (indicator == SQL_NULL_DATA) {
                m_null[c] = true;
                return;
            }
            const size_t capacity = static_cast<size_t>(size) - (binary ? 0 : 1);
            const bool more = rc == SQL_SUCCESS_WITH_INFO &&
                              (indicator == SQL_NO_TOTAL || static_cast<size_t>(indicator) > capacity);
            const size_t got = more ? capacity : static_cast<size_t>(indicator);
            if (binary) {
                static const char digits[] = "0123456789ABCDEF";
                for (size_t i = 0; i < got; ++i) {
                    const auto byte = static_cast<unsigned char>(m_buffer[i]);
                    out += digits[byte >> 4];
                    out += digits[byte & 15];
                }
            } else {
                out.append(m_buffer, got);
            }
            if (!more) return;
            size = sizeof m_buffer;
        }
    }

    SQLHSTMT m_stmt = SQL_NULL_HSTMT;
    std::vector<std::string> m_names;
    std::vector<SQLSMALLINT> m_types;
    std::vector<std::string> m_values;
    std::vector<bool> m_null;
    char m_buffer[64 * 1024];
};

std::string quoted(const std::string& name) {
    std::string out = "\"";
    for (char ch : name) {
        out += ch;
        if (ch == '"') out += '"';
    }
    return out + '"';
}

// The column types the program gives each source type.
const char* columnType(SQLSMALLINT type, bool toOracle) {
    switch (type) {
        case SQL_CHAR:
        case SQL_VARCHAR:
        case SQL_LONGVARCHAR:
        case SQL_WCHAR:
        case SQL_WVARCHAR:
        case SQL_WLONGVARCHAR:
            return toOracle ? " VARCHAR(2000)," : " TEXT,";
        case SQL_DECIMAL:
        case SQL_NUMERIC:
        case SQL_TINYINT:
        case SQL_SMALLINT:
        case SQL_INTEGER:
        case SQL_BIGINT:
            return " NUMERIC,";
        case SQL_LONGVARBINARY:
            return toOracle ? " BLOB," : " OLEOBJECT,";
        default:
            return toOracle ? " VARCHAR(2000)," : " TEXT,";
    }
}

long peakRssKb() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// Processor time spent by this process so far, user and system, in seconds.
double cpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

void createTable(Database& to, const Rows& rows, const std::string& table, bool toOracle) {
    std::string create = "CREATE TABLE " + quoted(table) + "(";
    for (size_t c = 0; c < rows.columns(); ++c)
        create += quoted(rows.name(c)) + columnType(rows.type(c), toOracle);
    create.pop_back();
    create += toOracle ? ")" : ");";
    to.execute(create);
}

void report(long copied, std::chrono::steady_clock::time_point start, double cpuAtStart) {
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("rows=%ld seconds=%.6f cpu=%.6f rss_kb=%ld\n", copied, seconds, cpuSeconds() - cpuAtStart,
                peakRssKb());
}

int copy(const std::string& source, const std::string& target, const std::string& table, bool toOracle) {
    const auto start = std::chrono::steady_clock::now();
    const double cpuAtStart = cpuSeconds();
    Database from(source);
    Database to(target);
    Rows rows(from, "SELECT * FROM " + quoted(table));
    createTable(to, rows, table, toOracle);

    const std::string head = "INSERT INTO " + quoted(table) + " VALUES(";
    std::string insert;
    long copied = 0;
    while (rows.next()) {
        insert = head;
        for (size_t c = 0; c < rows.columns(); ++c) {
            if (c) insert += ", ";
            const std::string& value = rows.value(c);
            if (rows.isNull(c) || value.empty()) {
                insert += "NULL";
                continue;
            }
            insert += '\'';
            for (char ch : value) {
                insert += ch;
                if (ch == '\'') insert += '\'';
            }
            insert += '\'';
        }
        insert += ')';
        to.execute(insert);
        ++copied;
    }
    report(copied, start, cpuAtStart);
    return 0;
}

// The same rows as copy, NULL where copy writes NULL and the same texts elsewhere, bound
// column-wise as arrays of 1,000 rows to one prepared INSERT; each batch one transaction.
int batch(const std::string& source, const std::string& target, const std::string& table, bool toOracle) {
    constexpr size_t kBatch = 1000;
    const auto start = std::chrono::steady_clock::now();
    const double cpuAtStart = cpuSeconds();
    Database from(source);
    Database to(target);
    Rows rows(from, "SELECT * FROM " + quoted(table));
    createTable(to, rows, table, toOracle);

    const size_t columns = rows.columns();
    std::string insert = "INSERT INTO " + quoted(table) + " VALUES(";
    for (size_t c = 0; c < columns; ++c) insert += c ? ", ?" : "?";
    insert += ")";
    SQLHSTMT stmt = SQL_NULL_HSTMT;
    SQLAllocHandle(SQL_HANDLE_STMT, to.dbc(), &stmt);
    check(SQLPrepare(stmt, reinterpret_cast<SQLCHAR*>(insert.data()), SQL_NTS), SQL_HANDLE_STMT, stmt,
          "prepare");
    SQLSetStmtAttr(stmt, SQL_ATTR_PARAM_BIND_TYPE, reinterpret_cast<SQLPOINTER>(SQL_PARAM_BIND_BY_COLUMN), 0);
    check(SQLSetConnectAttr(to.dbc(), SQL_ATTR_AUTOCOMMIT, reinterpret_cast<SQLPOINTER>(SQL_AUTOCOMMIT_OFF),
                            SQL_IS_UINTEGER),
          SQL_HANDLE_DBC, to.dbc(), "autocommit");

    std::vector<std::vector<std::string>> values(columns);
    std::vector<std::vector<bool>> nulls(columns);
    std::vector<std::vector<char>> buffers(columns);
    std::vector<std::vector<SQLLEN>> indicators(columns);
    long copied = 0;
    const auto flush = [&] {
        const size_t n = values[0].size();
        if (n == 0) return;
        SQLSetStmtAttr(stmt, SQL_ATTR_PARAMSET_SIZE, reinterpret_cast<SQLPOINTER>(n), 0);
        for (size_t c = 0; c < columns; ++c) {
            size_t width = 1;
            for (const std::string& value : values[c]) width = std::max(width, value.size() + 1);
            buffers[c].assign(width * n, '\0');
            indicators[c].assign(n, SQL_NULL_DATA);
            for (size_t r = 0; r < n; ++r) {
                if (nulls[c][r]) continue;
                std::memcpy(buffers[c].data() + width * r, values[c][r].data(), values[c][r].size());
                indicators[c][r] = static_cast<SQLLEN>(values[c][r].size());
            }
            check(SQLBindParameter(stmt, static_cast<SQLUSMALLINT>(c + 1), SQL_PARAM_INPUT, SQL_C_CHAR,
                                   SQL_VARCHAR, width - 1, 0, buffers[c].data(), static_cast<SQLLEN>(width),
                                   indicators[c].data()),
                  SQL_HANDLE_STMT, stmt, "bind");
            values[c].clear();
            nulls[c].clear();
        }
        check(SQLExecute(stmt), SQL_HANDLE_STMT, stmt, "execute");
        check(SQLEndTran(SQL_HANDLE_DBC, to.dbc(), SQL_COMMIT), SQL_HANDLE_DBC, to.dbc(), "commit");
        copied += static_cast<long>(n);
    };
    while (rows.next()) {
        for (size_t c = 0; c < columns; ++c) {
            const std::string& value = rows.value(c);
            nulls[c].push_back(rows.isNull(c) || value.empty());
            values[c].push_back(value);
        }
        if (values[0].size() == kBatch) flush();
    }
    flush();
    SQLFreeHandle(SQL_HANDLE_STMT, stmt);
    SQLSetConnectAttr(to.dbc(), SQL_ATTR_AUTOCOMMIT, reinterpret_cast<SQLPOINTER>(SQL_AUTOCOMMIT_ON),
                      SQL_IS_UINTEGER);
    report(copied, start, cpuAtStart);
    return 0;
}

// Every row of the table as one line of text, values separated by tabs, nulls as \N, so that
// two copies can be compared with cmp.
int dump(const std::string& connection, const std::string& table) {
    Database db(connection);
    Rows rows(db, "SELECT * FROM " + quoted(table));
    while (rows.next()) {
        for (size_t c = 0; c < rows.columns(); ++c) {
            if (c) std::fputc('\t', stdout);
            if (rows.isNull(c)) {
                std::fputs("\\N", stdout);
                continue;
            }
            for (char ch : rows.value(c)) {
                if (ch == '\n')
                    std::fputs("\\n", stdout);
                else if (ch == '\r')
                    std::fputs("\\r", stdout);
                else if (ch == '\t')
                    std::fputs("\\t", stdout);
                else if (ch == '\\')
                    std::fputs("\\\\", stdout);
                else
                    std::fputc(ch, stdout);
            }
        }
        std::fputc('\n', stdout);
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    try {
        const std::string command = argc > 1 ? argv[1] : "";
        if (command == "copy" && argc == 6)
            return copy(argv[2], argv[3], argv[4], std::strcmp(argv[5], "oracle") == 0);
        if (command == "batch" && argc == 6)
            return batch(argv[2], argv[3], argv[4], std::strcmp(argv[5], "oracle") == 0);
        if (command == "dump" && argc == 4) return dump(argv[2], argv[3]);
        if (command == "drop" && argc == 4) {
            Database db(argv[2]);
            std::string drop = "DROP TABLE " + quoted(argv[3]);
            try {
                db.execute(drop);
            } catch (const Failure&) {
            }
            return 0;
        }
        std::fprintf(stderr, "usage: see the top of bench/floor.cpp\n");
        return 2;
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "bench_floor: %s\n", failure.what());
        return 1;
    }
}
