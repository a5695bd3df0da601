#pragma once

#include <memory>
#include <vector>

#include "db/Connection.h"
#include "db/odbc/Handle.h"

namespace tw::odbc {

struct OdbcSession;

// A forward-only result, read a block of rows at a time where the driver allows it and row by
// row otherwise; memory holds the current row, or the current block, whatever the result's size.
class OdbcRecordset : public Recordset {
public:
    // Runs the query. Its row count comes from a count over the same query: made before the
    // rows are read when countFirst, else when first asked for. Columns of the kinds given read
    // as those kinds want (floating point as the number, bytes as bytes); the rest, and all
    // columns without kinds, as the driver describes them.
    static std::unique_ptr<OdbcRecordset> query(std::shared_ptr<OdbcSession> session, const QString& source,
                                                bool countFirst, const QList<ColumnKind>& kinds = {});
    // Lists every table and view of the data source.
    // The tables of the schema given, or of every schema.
    static std::unique_ptr<OdbcRecordset> tables(std::shared_ptr<OdbcSession> session,
                                                 const QString& schema = {});
    ~OdbcRecordset() override;

    qint64 recordCount() override;
    bool eof() const override { return m_eof; }
    void moveNext() override;
    int fieldCount() const override { return static_cast<int>(m_fields.size()); }
    const Field& field(int index) const override;
    const Field& field(const QString& name) const override;
    void close() override;

private:
    OdbcRecordset(std::shared_ptr<OdbcSession> session, QString source);
    void count();
    void describeColumns();
    void readAs(const QList<ColumnKind>& kinds);
    void startBlocks();
    void fetch();
    bool fetchFromBlock();
    void growBuffers();
    void typeSystemTables();
    void readColumn(int index, Variant& into);
    void clearValues();
    void requireOpen() const;

    std::shared_ptr<OdbcSession> m_session;
    Handle m_stmt;
    QString m_source;  // empty for the tables schema
    std::vector<Field> m_fields;
    std::vector<SQLSMALLINT> m_sqlTypes;  // as the driver describes the columns
    std::vector<SQLULEN> m_sizes;
    // The C type each column is read as: SQL_C_CHAR (text in UTF-8), SQL_C_BINARY, or
    // SQL_C_DOUBLE (written as the shortest text of the number).
    std::vector<SQLSMALLINT> m_targets;
    std::vector<char> m_buffer;
    // Reading in blocks: the columns of bounded size are bound to arrays, one value per row of
    // the block; the others, and any value longer than its buffer, are read whole from the row
    // once positioned on it. Empty when reading row by row.
    struct BoundColumn {
        SQLLEN width = 0;   // bytes per value, a text's terminating zero included; 0: not bound
        SQLLEN wanted = 0;  // a value did not fit: the width from the next block on
        std::vector<char> data;
        std::vector<SQLLEN> indicators;
    };
    std::vector<BoundColumn> m_bound;
    std::vector<SQLUSMALLINT> m_rowStatus;
    SQLULEN m_blockFetched = 0;
    SQLULEN m_blockRow = 0;
    qint64 m_recordCount = -1;
    bool m_eof = true;
};

}  // namespace tw::odbc
