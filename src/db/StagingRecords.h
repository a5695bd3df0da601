#pragma once

#include <QString>
#include <functional>
#include <optional>

#include "db/ConnectionTarget.h"

namespace tw {

// The staging tables this machine's copies made: one record each in the user's state folder,
// written before the table's CREATE TABLE, marked as the CREATE is sent where the target had no
// table of the name and once it succeeded, and removed once the table has its own name or is
// gone. A table is dropped as a copy's leftover, or kept out
// of the lists, only while its record says this program made it: never for its name alone,
// which a user's table may have too, nor where its CREATE may have failed on a user's table of
// that name. A record holds no password. Records are read and written as regular files only:
// a link or a fifo in their place is neither followed nor waited on, and is said on stderr.
class StagingRecords {
public:
    struct Record {
        QString database;  // as databaseOf names it
        QString table;     // the staging table's name
        QString host;      // StagingName::thisHost() of the machine that made it
        qint64 pid = 0;
        QString boot;              // the system's boot id when it was made
        qint64 processStart = -1;  // when the process started, in the system's ticks since boot
        QString made;              // when it was recorded, ISO 8601
        bool created = false;      // the table's CREATE TABLE succeeded
        // Its CREATE TABLE was sent for a name the target had no table of: a table of the name
        // found after its maker was killed is the maker's, whether or not the CREATE got marked.
        bool createSent = false;
    };

    // folder: where the records live; by default "staging" in the transfer log's folder.
    explicit StagingRecords(QString folder = defaultFolder());
    static QString defaultFolder();

    // The database a connection opens, as records name it: the data source's name, or the
    // driver string without its password, which is never written down; with the schema the
    // tables are in, where the copy names one.
    static QString databaseOf(const ConnectionTarget& target, const QString& schema = {});

    // The record of a staging table this process is about to make.
    static Record ofThisProcess(const QString& database, const QString& table);
    // False when the record could not be written: the table is then made without one, and a
    // leftover of it is never dropped.
    bool add(const Record& record);
    // The table's CREATE TABLE succeeded: from now on it is the program's own. False when the
    // record could not be written.
    bool markCreated(const QString& database, const QString& table);
    // The table's CREATE TABLE is about to be sent, for a name the target has no table of.
    bool markCreateSent(const QString& database, const QString& table);
    void remove(const QString& database, const QString& table);
    // Removes the records, of any database, of tables whose CREATE never succeeded and whose
    // maker runs no more: there is nothing of them to take away. One whose CREATE was sent goes
    // only where absent(database, table) says the target has no such table.
    void removeNeverCreated(const std::function<bool(const QString&, const QString&)>& absent = {});
    std::optional<Record> find(const QString& database, const QString& table) const;
    // A table that a copy of this machine made for its rows, and that is no user's table:
    // named as a staging table and recorded as created.
    bool isCopysTable(const QString& database, const QString& table) const;

    // Whether the process that made the record runs still: the same process of this machine
    // since the same boot. This very process counts only while it claims the table
    // (StagingName::claim): one it gave up on is a leftover like any other.
    static bool makerRuns(const Record& record);

private:
    QString pathOf(const QString& database, const QString& table) const;
    bool write(const Record& record) const;

    QString m_folder;
};

}  // namespace tw
