#include "transfer/CopyVerifier.h"

#include <QHash>
#include <algorithm>
#include <functional>
#include <memory>

#include "db/Connection.h"
#include "db/RenderedRead.h"
#include "shell/GroupedCount.h"
#include "transfer/DifferingColumns.h"

namespace tw {

namespace {

// Reads every row of a table through a connection of its own that only reads, each column as its kind wants
// and as its database writes it: a value that a driver's conversion changed on the way in is
// not changed back on the way out. Only the rows that meet the condition, where there is one;
// only the columns named, in their order, where there are any; the table in the schema given.
void readTable(ConnectionFactory& connections, const ConnectionTarget& target, const QString& schema,
               const QString& table, const QList<ColumnKind>& kinds,
               const std::function<void(const Recordset&)>& row, const QString& condition = {},
               const QStringList& columns = {}) {
    const std::unique_ptr<Connection> connection = connections.create();
    connection->open(target);
    connection->makeReadOnly();
    const Dialect* dialect = connection->dialect();
    const std::unique_ptr<Recordset> rows =
        dialect && (dialect->rendersColumns() || !columns.isEmpty())
            ? openRendered(*connection, renderedRead(*dialect, table, connection->tableShape(table, schema),
                                                     kinds, condition, columns, schema))
            : connection->openRecordsetAs(
                  SelectRowsSql(DialectFor(connection.get(), standardDialect()), table, condition, schema),
                  kinds);
    for (; !rows->eof(); rows->moveNext()) row(*rows);
    rows->close();
    connection->close();
}

}  // namespace

CopyVerifier::CopyVerifier(ConnectionFactory& connections, ConnectionTarget source,
                           ConnectionTarget destination)
    : m_connections(connections), m_source(std::move(source)), m_destination(std::move(destination)) {}

void CopyVerifier::tableCreated(const QString&, const QList<ColumnKind>& kinds) {
    m_kinds = kinds;
    m_read = TableDigest();
    m_emptyValuesKept = false;
    m_emptyTextsRead = 0;
    m_emptyBytesRead = 0;
    m_targetColumns.clear();
    m_appending = false;
    m_staged.reset();
    m_stagedError.clear();
    m_rowsAdded = -1;
}

void CopyVerifier::rowsGoIntoExisting(const QString&, const QStringList& columns, bool appending) {
    m_targetColumns = columns;
    m_appending = appending;
}

// What an append adds is its staged rows, read before they go in: the table's own rows, and
// those another session adds meanwhile, are not the copy's.
void CopyVerifier::rowsStaged(const QString& stagingTable, const QStringList& columns) {
    try {
        TableDigest staged;
        readTable(
            m_connections, m_destination, m_targetSchema, stagingTable, m_kinds,
            [&](const Recordset& row) {
                staged.add(hashRow(canonicalRow(m_kinds, row, EmptyTexts::AsHeld).bytes));
            },
            {}, columns);
        m_staged = std::move(staged);
    } catch (const std::exception& failure) {
        m_stagedError = QString::fromUtf8(failure.what());
    }
}

void CopyVerifier::rowRead(const Recordset& row) {
    const CanonicalRow canonical = canonicalRow(m_kinds, row, sourceEmptyValues());
    m_emptyTextsRead += canonical.emptyTexts;
    m_emptyBytesRead += canonical.emptyBytes;
    m_read.add(hashRow(canonical.bytes));
}

std::optional<Verification> CopyVerifier::tableCopied(
    const QString& sourceTable, const QString& targetTable,
    const std::function<void(qint64 rowsRead, qint64 rowsTotal)>& progress) {
    Verification verification;
    verification.sourceRows = m_read.rows();
    TableDigest written;
    try {
        if (!m_stagedError.isEmpty()) throw std::runtime_error(m_stagedError.toStdString());
        if (m_appending && !m_staged) throw std::runtime_error("The rows added were not read.");
        if (m_appending) {
            written = *m_staged;
        } else {
            readTable(
                m_connections, m_destination, m_targetSchema, targetTable, m_kinds,
                [&](const Recordset& row) {
                    written.add(hashRow(canonicalRow(m_kinds, row, EmptyTexts::AsHeld).bytes));
                    if (progress) progress(written.rows(), verification.sourceRows);
                },
                {}, m_targetColumns);
        }
    } catch (const std::exception& failure) {
        verification.error = QString::fromUtf8(failure.what());
        return verification;
    }
    verification.targetRows = written.rows();
    verification.matches = written == m_read;
    // Appended: the rows the table got are those the load added, which may be fewer than staged.
    if (m_appending && m_rowsAdded >= 0 && m_rowsAdded != written.rows()) {
        verification.targetRows = m_rowsAdded;
        verification.matches = false;
    }
    // Every empty value the copy wrote as NULL is NULL in the target, where nothing else differs.
    if (verification.matches && m_emptyTextsRead > 0) {
        verification.knownChanges << QStringLiteral("%1 %2 as NULL")
                                         .arg(groupedCount(m_emptyTextsRead),
                                              m_emptyTextsRead == 1 ? QStringLiteral("empty text")
                                                                    : QStringLiteral("empty texts"));
    }
    if (verification.matches && m_emptyBytesRead > 0) {
        verification.knownChanges << QStringLiteral("%1 %2 as NULL")
                                         .arg(groupedCount(m_emptyBytesRead),
                                              m_emptyBytesRead == 1 ? QStringLiteral("empty binary value")
                                                                    : QStringLiteral("empty binary values"));
    }
    if (!verification.matches) {
        try {
            QStringList columns;
            verification.differences = findDifferences(written, sourceTable, targetTable, columns);
            verification.differingColumns = differingColumns(columns, verification.differences);
        } catch (const std::exception&) {
            // The counts and the verdict stand; only the examples are missing.
        }
    }
    return verification;
}

QList<RowDifference> CopyVerifier::findDifferences(const TableDigest& target, const QString& sourceTable,
                                                   const QString& targetTable, QStringList& columns) {
    const QList<int> buckets = m_read.differingBuckets(target, kMostDifferences);
    struct Seen {
        qint64 balance = 0;  // source rows minus target rows
        QStringList values;
        QList<QByteArray> compared;
    };
    QHash<QByteArray, Seen> rows;  // only the rows of the differing buckets
    const auto collect = [&](int sign) {
        // The source's rows as the copy writes them, the target's as it holds them.
        const EmptyTexts empty = sign > 0 ? sourceEmptyValues() : EmptyTexts::AsHeld;
        return [&, sign, empty](const Recordset& row) {
            if (columns.isEmpty()) {
                for (int field = 0; field < row.fieldCount(); ++field) columns << row.field(field).name;
            }
            if (!buckets.contains(TableDigest::bucketOf(hashRow(canonicalRow(m_kinds, row, empty).bytes))))
                return;
            CanonicalRow canonical = canonicalRow(m_kinds, row, empty, true);
            Seen& seen = rows[canonical.bytes];
            seen.balance += sign;
            if (seen.values.isEmpty()) {
                seen.values = std::move(canonical.display);
                seen.compared = std::move(canonical.parts);
            }
        };
    };
    // The source as it is now: where it changed since the copy, the examples may show that.
    readTable(m_connections, m_source, m_sourceSchema, sourceTable, m_kinds, collect(+1), m_sourceCondition);
    readTable(m_connections, m_destination, m_targetSchema, targetTable, m_kinds, collect(-1), {},
              m_targetColumns);

    QList<RowDifference> differences;
    for (auto it = rows.cbegin(); it != rows.cend() && differences.size() < kMostDifferences; ++it) {
        // Appended to, the target holds rows of its own besides the copy's: only the source's
        // rows it lacks tell.
        if (it->balance < 0 && m_appending) continue;
        if (it->balance != 0) differences << RowDifference{it->balance > 0, it->values, it->compared};
    }
    // The source's rows first, then what the target holds instead.
    std::stable_partition(differences.begin(), differences.end(),
                          [](const RowDifference& difference) { return difference.onlyInSource; });
    return differences;
}

}  // namespace tw
