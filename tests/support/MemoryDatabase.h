#pragma once

#include <sqlite3.h>

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

#include "shell/Utf8Text.h"

namespace tw::test {

// An in-memory SQLite database, for reading composed statements back with SQLite's own parser.
// SQL text ends at a NUL for SQLite, so statements given to it must not hold one.
class MemoryDatabase {
public:
    using Row = std::vector<std::optional<QByteArray>>;  // a NULL as nothing

    MemoryDatabase() { sqlite3_open(":memory:", &m_db); }
    ~MemoryDatabase() { sqlite3_close(m_db); }
    MemoryDatabase(const MemoryDatabase&) = delete;
    MemoryDatabase& operator=(const MemoryDatabase&) = delete;

    // Runs exactly one statement and gives its rows, each value's bytes as SQLite holds them,
    // and the names of its columns; nothing when SQLite rejects the text, or when the text
    // holds more than one statement.
    std::optional<std::vector<Row>> run(const QString& sql, QStringList* columnNames = nullptr) {
        return run(QByteArrayView(sql.toUtf8()), columnNames);
    }
    std::optional<std::vector<Row>> run(QByteArrayView utf8, QStringList* columnNames = nullptr) {
        sqlite3_stmt* statement = nullptr;
        const char* tail = nullptr;
        if (sqlite3_prepare_v2(m_db, utf8.constData(), static_cast<int>(utf8.size()), &statement, &tail) !=
                SQLITE_OK ||
            !statement || tail != utf8.constData() + utf8.size()) {
            sqlite3_finalize(statement);
            return std::nullopt;
        }
        const int columns = sqlite3_column_count(statement);
        for (int i = 0; columnNames && i < columns; ++i) {
            *columnNames << textFromUtf8(sqlite3_column_name(statement, i));
        }
        std::vector<Row> rows;
        int step;
        while ((step = sqlite3_step(statement)) == SQLITE_ROW) {
            Row& row = rows.emplace_back();
            for (int i = 0; i < columns; ++i) {
                const auto* bytes = static_cast<const char*>(sqlite3_column_blob(statement, i));
                if (sqlite3_column_type(statement, i) == SQLITE_NULL) {
                    row.emplace_back();
                } else {
                    row.emplace_back(QByteArray(bytes, sqlite3_column_bytes(statement, i)));
                }
            }
        }
        sqlite3_finalize(statement);
        if (step != SQLITE_DONE) return std::nullopt;
        return rows;
    }

private:
    sqlite3* m_db = nullptr;
};

}  // namespace tw::test
