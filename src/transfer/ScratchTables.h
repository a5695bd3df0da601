#pragma once

#include <QString>
#include <QStringList>
#include <memory>

#include "db/ConnectionValues.h"
#include "db/StagingRecords.h"

namespace tw {

class Connection;
class ConnectionFactory;
class Dialect;
struct Side;

// The tables a check makes in one database, on a connection of their own. Each is recorded
// before it is made and marked once its CREATE succeeded, as a copy's staging table is, so that
// what a killed check left is known for the program's own; all it made go at the end, whatever
// happened. A name whose CREATE failed (a user's table has it) is never dropped.
class ScratchTables {
public:
    // Every scratch table's name begins with this.
    static QString namePrefix() { return QStringLiteral("tw_chk"); }

    ScratchTables(ConnectionFactory& connections, const Side& side, const ConnectionValues& values);
    ~ScratchTables() { dropAll(); }
    ScratchTables(const ScratchTables&) = delete;
    ScratchTables& operator=(const ScratchTables&) = delete;

    Connection& connection() { return *m_connection; }
    const Dialect& dialect() const { return *m_dialect; }

    // Takes away what checks that were killed left here: tables named as a check's whose record
    // says they were made, by a process that runs no more; records of names never made go.
    void sweep();
    // A name of this check's, recorded and claimed before anything of that name is made.
    QString claim(const QString& name);
    // The claimed table's CREATE TABLE succeeded, here or through a copy: it is this check's.
    void created(const QString& name);
    void execute(const QString& statement);
    // How many of the table's values (its column v) are NULL.
    qint64 nullsIn(const QString& table);
    // Drops every table claimed and made; forgets the names never made. A table that is not
    // there was dropped already; one that cannot be dropped keeps its record, and the next
    // check takes it away.
    void dropAll() noexcept;

private:
    bool exists(const QString& name) noexcept;

    std::unique_ptr<Connection> m_connection;
    const Dialect* m_dialect = nullptr;
    QString m_database;
    StagingRecords m_records;
    QStringList m_names;
    QStringList m_created;
};

}  // namespace tw
