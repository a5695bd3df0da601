#pragma once

#include <QString>
#include <QStringList>
#include <vector>

#include "db/StagingRecords.h"

namespace tw {

class Connection;

// The staging tables of one copy's target: the name a table is filled under, recorded before
// it is made and claimed while it is filled; leftovers of copies that ended before they
// finished, found by their records and taken away; and other copies into the same table that
// run now.
class StagingTables {
public:
    // schema: where the copy's tables are, where it names one.
    explicit StagingTables(QString database, QString schema = {}, StagingRecords records = StagingRecords())
        : m_database(std::move(database)), m_schema(std::move(schema)), m_records(std::move(records)) {}

    // What looking at the target's tables found.
    struct Found {
        QStringList leftovers;  // removed, each "NAME (made by process PID at WHEN)"
        QString otherCopy;      // the staging table of a copy that runs now, if any
        // The target had no table of the name given when it was given: a table of that name
        // after a kill is the copy's own, made by its CREATE TABLE.
        bool nameFree = false;
    };

    // The name to fill the table under, claimed and recorded, once what killed or failed copies
    // left for the table is gone. Throws when another table of this run has the name.
    QString begin(Connection& target, const QString& table, int limitBytes, Found& found);
    // Looks again, just before the swap, for another copy into the same table.
    void lookAgain(Connection& target, const QString& table, const QString& filled, int limitBytes,
                   Found& found) noexcept;

    // The staging table's CREATE TABLE succeeded: a leftover of it is the program's own.
    void created(const QString& filled);
    // The CREATE TABLE of a staging table whose name was free is about to be sent: a table of
    // that name left by a kill before it was marked created is the program's own too.
    void createSent(const QString& filled);
    // The staging table has the table's name now, or is dropped, or holds the rows of a table
    // whose old one is gone: it is no leftover, and is never taken away.
    void done(const QString& filled);
    // The staging table could not be dropped: its record stays, and a later copy takes it away.
    void abandoned(const QString& filled);

private:
    // The leftovers by their records, and another copy's staging table, if any.
    struct Seen {
        std::vector<StagingRecords::Record> leftovers;
        QString otherCopy;
        QStringList neverCreated;  // recorded by a gone copy whose CREATE did not succeed
        QStringList present;       // every staging table of the table the target has
    };
    Seen look(Connection& target, const QString& table, const QString& filled, int limitBytes) const;

    QString m_database;
    QString m_schema;
    StagingRecords m_records;
};

}  // namespace tw
