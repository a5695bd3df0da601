#include "transfer/StagingTables.h"

#include <stdexcept>

#include "db/Connection.h"
#include "db/Dialect.h"
#include "db/SqlText.h"
#include "db/StagingName.h"

namespace tw {

StagingTables::Seen StagingTables::look(Connection& target, const QString& table, const QString& filled,
                                        int limitBytes) const {
    Seen found;
    const std::unique_ptr<Recordset> tables = target.openSchema(kSchemaTables, m_schema);
    for (; !tables->eof(); tables->moveNext()) {
        const QString name = tables->field(QStringLiteral("TABLE_NAME")).value.toString();
        const std::optional<StagingName> staging = StagingName::parse(name);
        if (name == filled || !staging || !StagingName::isFor(name, table, limitBytes)) continue;
        found.present << name;
        const std::optional<StagingRecords::Record> record = m_records.find(m_database, name);
        if (record && !StagingRecords::makerRuns(*record)) {
            // A table whose CREATE never succeeded for the copy, nor was sent for a free name, is
            // one of the user's that has the name; the record goes, the table stays.
            if (record->created || record->createSent) {
                found.leftovers.push_back(*record);
            } else {
                found.neverCreated << name;
            }
        } else if (record || staging->host != StagingName::thisHost()) {
            // A copy of this machine that runs, or one of another machine, which may.
            found.otherCopy = name;
        }
        // Neither recorded nor another machine's: a table of the user's named like ours.
    }
    tables->close();
    return found;
}

QString StagingTables::begin(Connection& target, const QString& table, int limitBytes, Found& found) {
    const QString name = StagingName::forTable(table, limitBytes).text();
    bool looked = false;
    QStringList standing;  // the target's staging tables of the table once the leftovers went
    try {
        const Seen seen = look(target, table, QString(), limitBytes);
        standing = seen.present;
        looked = true;
        found.otherCopy = seen.otherCopy;
        for (const QString& gone : seen.neverCreated) m_records.remove(m_database, gone);
        // A record whose CREATE was sent, of a table of this copy's that the target lacks.
        m_records.removeNeverCreated([&](const QString& database, const QString& recorded) {
            return database == m_database && StagingName::isFor(recorded, table, limitBytes) &&
                   !seen.present.contains(recorded);
        });
        for (const StagingRecords::Record& leftover : seen.leftovers) {
            target.execute(DropTableSql(DialectFor(&target, standardDialect()), leftover.table, m_schema));
            m_records.remove(m_database, leftover.table);
            standing.removeAll(leftover.table);
            found.leftovers << QStringLiteral("%1 (made by process %2 at %3)")
                                   .arg(leftover.table)
                                   .arg(leftover.pid)
                                   .arg(leftover.made);
        }
    } catch (const std::exception&) {
        // A leftover that stays is taken away by a later copy; this one needs a name only.
    }
    found.nameFree = looked && !standing.contains(name);
    if (!StagingName::claim(name)) {
        throw std::runtime_error(
            QStringLiteral(
                "Another table of this copy is being filled under the name %1. Nothing was created.")
                .arg(name)
                .toStdString());
    }
    // Written before the table is made, and marked once it is: a copy killed between the two
    // leaves a record of a table that is not there, which a later copy removes.
    m_records.add(StagingRecords::ofThisProcess(m_database, name));
    return name;
}

void StagingTables::lookAgain(Connection& target, const QString& table, const QString& filled, int limitBytes,
                              Found& found) noexcept {
    try {
        const QString other = look(target, table, filled, limitBytes).otherCopy;
        if (!other.isEmpty()) found.otherCopy = other;
    } catch (const std::exception&) {
        // Not knowing of another copy changes nothing of this one.
    }
}

void StagingTables::created(const QString& filled) { m_records.markCreated(m_database, filled); }

void StagingTables::createSent(const QString& filled) { m_records.markCreateSent(m_database, filled); }

void StagingTables::done(const QString& filled) {
    m_records.remove(m_database, filled);
    StagingName::release(filled);
}

void StagingTables::abandoned(const QString& filled) { StagingName::release(filled); }

}  // namespace tw
