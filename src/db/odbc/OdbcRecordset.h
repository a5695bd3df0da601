#pragma once

#include <memory>
#include <vector>

#include "db/Connection.h"
#include "db/odbc/Handle.h"

namespace tw::odbc {

struct OdbcSession;

// A forward-only result read row by row: only the current row is held in memory.
class OdbcRecordset : public Recordset {
public:
    // Runs the query. Its row count comes from a count over the same query: made before the
    // rows are read when countFirst, else when first asked for.
    static std::unique_ptr<OdbcRecordset> query(std::shared_ptr<OdbcSession> session, const QString& source,
                                                bool countFirst);
    // Lists every table and view of the data source.
    static std::unique_ptr<OdbcRecordset> tables(std::shared_ptr<OdbcSession> session);
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
    void fetch();
    void typeSystemTables();
    void readColumn(int index, Variant& into);
    void clearValues();
    void requireOpen() const;

    std::shared_ptr<OdbcSession> m_session;
    Handle m_stmt;
    QString m_source;  // empty for the tables schema
    std::vector<Field> m_fields;
    std::vector<char> m_buffer;
    qint64 m_recordCount = -1;
    bool m_eof = true;
};

}  // namespace tw::odbc
