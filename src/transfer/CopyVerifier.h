#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

#include "db/ConnectionTarget.h"
#include "shell/TableVerification.h"
#include "transfer/CopyEngine.h"
#include "transfer/RowDigest.h"

namespace tw {

class ConnectionFactory;

// Digests the rows a copy reads as it reads them and, once a table is copied, reads the target
// table back and digests it the same way. Both are streaming passes; only when the digests
// differ are the two tables read once more, holding just the rows of a few differing buckets,
// to show which rows differ.
class CopyVerifier : public CopyObserver {
public:
    static constexpr int kMostDifferences = 5;

    CopyVerifier(ConnectionFactory& connections, ConnectionTarget source, ConnectionTarget destination);

    // The copy read only the source rows that meet this condition.
    void setSourceCondition(const QString& condition) { m_sourceCondition = condition; }
    // The tables are in these schemas (or owners), where the copy names them.
    void setSchemas(const QString& source, const QString& target) {
        m_sourceSchema = source;
        m_targetSchema = target;
    }

    void tableCreated(const QString& table, const QList<ColumnKind>& kinds) override;
    void rowsGoIntoExisting(const QString& table, const QStringList& columns, bool appending) override;
    void rowsStaged(const QString& stagingTable, const QStringList& columns) override;
    void rowsAdded(qint64 rows) override { m_rowsAdded = rows; }
    void emptyValuesKept(bool kept) override { m_emptyValuesKept = kept; }
    void rowRead(const Recordset& row) override;
    // Compares the target table with the rows the copy read from the source table.
    std::optional<Verification> tableCopied(
        const QString& sourceTable, const QString& targetTable,
        const std::function<void(qint64 rowsRead, qint64 rowsTotal)>& progress = {}) override;
    std::unique_ptr<CopyObserver> forAnotherJob() const override {
        // Another job's tables are read as this one's: the same rows, in the same schemas.
        auto another = std::make_unique<CopyVerifier>(m_connections, m_source, m_destination);
        another->setSourceCondition(m_sourceCondition);
        another->setSchemas(m_sourceSchema, m_targetSchema);
        return another;
    }

private:
    // How the source's empty values are written.
    EmptyTexts sourceEmptyValues() const {
        return m_emptyValuesKept ? EmptyTexts::KeptWhereHeld : EmptyTexts::AsWritten;
    }
    // columns: the names of the table's columns, as the source has them.
    QList<RowDifference> findDifferences(const TableDigest& target, const QString& sourceTable,
                                         const QString& targetTable, QStringList& columns);

    ConnectionFactory& m_connections;
    ConnectionTarget m_source;
    ConnectionTarget m_destination;
    QString m_sourceCondition;
    QString m_sourceSchema;
    QString m_targetSchema;
    QList<ColumnKind> m_kinds;
    TableDigest m_read;
    bool m_emptyValuesKept = false;
    qint64 m_emptyTextsRead = 0;  // which the copy writes as NULL
    qint64 m_emptyBytesRead = 0;
    QStringList m_targetColumns;  // the target's columns the rows go into; none: all
    bool m_appending = false;
    std::optional<TableDigest> m_staged;  // an append's rows, as they waited to go in
    QString m_stagedError;                // they could not be read: nothing is known
    qint64 m_rowsAdded = -1;              // by the append's load, where the database said
};

}  // namespace tw
