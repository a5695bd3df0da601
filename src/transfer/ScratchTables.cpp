#include "transfer/ScratchTables.h"

#include "db/Connection.h"
#include "db/Dialect.h"
#include "db/Side.h"
#include "db/SqlComposer.h"
#include "db/StagingName.h"

namespace tw {

ScratchTables::ScratchTables(ConnectionFactory& connections, const Side& side, const ConnectionValues& values)
    : m_connection(connections.create()), m_database(StagingRecords::databaseOf(side.target(values))) {
    if (side.namesOdbcProvider) m_connection->setProvider(kOdbcProvider);
    m_connection->open(side.target(values));
    m_dialect = &DialectFor(m_connection.get(), side.dialect);
}

void ScratchTables::sweep() {
    QStringList leftovers;
    {
        const std::unique_ptr<Recordset> tables = m_connection->openSchema(kSchemaTables);
        for (; !tables->eof(); tables->moveNext()) {
            const QString name = tables->field(QStringLiteral("TABLE_NAME")).value.toString();
            if (!name.startsWith(namePrefix())) continue;
            const std::optional<StagingRecords::Record> record = m_records.find(m_database, name);
            if (!record || StagingRecords::makerRuns(*record)) continue;
            if (record->created) {
                leftovers << name;
            } else {
                m_records.remove(m_database, name);  // a user's table has the name
            }
        }
    }
    m_records.removeNeverCreated();
    for (const QString& name : leftovers) {
        m_connection->execute(SqlComposer(m_dialect).drop({{}, name}));
        m_records.remove(m_database, name);
    }
}

QString ScratchTables::claim(const QString& name) {
    // Claimed first: a record of this process's that is not claimed is one it gave up on.
    StagingName::claim(name);
    m_records.add(StagingRecords::ofThisProcess(m_database, name));
    m_names << name;
    return name;
}

void ScratchTables::created(const QString& name) {
    if (!m_names.contains(name) || m_created.contains(name)) return;
    m_records.markCreated(m_database, name);
    m_created << name;
}

void ScratchTables::execute(const QString& statement) { m_connection->execute(statement); }

qint64 ScratchTables::nullsIn(const QString& table) {
    const std::unique_ptr<Recordset> count = m_connection->openRecordset(SqlComposer(m_dialect).count(
        {{}, table}, SqlComposer(m_dialect).quoted(QStringLiteral("v")) + QStringLiteral(" IS NULL")));
    return count->eof() ? -1 : count->field(0).value.toString().toLongLong();
}

void ScratchTables::dropAll() noexcept {
    for (const QString& name : std::as_const(m_names)) {
        try {
            if (m_created.contains(name)) m_connection->execute(SqlComposer(m_dialect).drop({{}, name}));
        } catch (const std::exception&) {
            if (exists(name)) continue;
        }
        m_records.remove(m_database, name);
        StagingName::release(name);
    }
    m_names.clear();
    m_created.clear();
}

bool ScratchTables::exists(const QString& name) noexcept {
    try {
        const std::unique_ptr<Recordset> tables = m_connection->openSchema(kSchemaTables);
        for (; !tables->eof(); tables->moveNext()) {
            if (tables->field(QStringLiteral("TABLE_NAME")).value.toString() == name) return true;
        }
        return false;
    } catch (const std::exception&) {
        return true;
    }
}

}  // namespace tw
