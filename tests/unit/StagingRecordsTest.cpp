// The records of the tables the program makes, and check's scratch tables through the fake: only
// a table whose CREATE TABLE succeeded for this program is ever dropped, and a record is read and
// written as a regular file of the user's own, never through a link or by waiting on a fifo.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include "db/DbError.h"
#include "db/Endpoint.h"
#include "db/Side.h"
#include "db/StagingRecords.h"
#include "shell/ProcessRuns.h"
#include "support/FakeConnection.h"
#include "transfer/PairCheck.h"

using namespace tw;

namespace {

// A state folder of the test's own, as XDG_STATE_HOME names it.
struct StateFolder {
    StateFolder() { qputenv("XDG_STATE_HOME", QFile::encodeName(home.path())); }
    ~StateFolder() { qunsetenv("XDG_STATE_HOME"); }
    QStringList records() const { return QDir(StagingRecords::defaultFolder()).entryList({"*.json"}); }
    QTemporaryDir home;
};

// The tables the statements in the log name after the keyword, where they went through.
QStringList named(const QStringList& log, const QString& keyword, const QStringList& refused = {}) {
    QStringList names;
    const QRegularExpression statement("^execute " + keyword + " \"(tw_chk[^\"]*)\"");
    for (const QString& entry : log) {
        const QRegularExpressionMatch match = statement.match(entry);
        if (match.hasMatch() && !refused.contains(match.captured(1))) names << match.captured(1);
    }
    return names;
}

}  // namespace

// A check whose CREATE TABLE is refused (a user's table has the scratch name) drops nothing;
// one whose copies make nothing drops only the source tables it made. No record stays.
TEST(ScratchTables, DropOnlyWhatThisCheckCreated) {
    for (const bool sourceRefused : {true, false}) {
        SCOPED_TRACE(sourceRefused ? "the source's CREATE refused" : "the copies made nothing");
        const StateFolder state;
        test::FakeConnectionFactory connections;
        connections.schemaTables = {{{"TABLE_NAME", 200, {}}}, {}};
        QStringList refused;
        connections.onExecute = [&](const QString& statement) {
            const QRegularExpressionMatch create =
                QRegularExpression("^CREATE TABLE \"(tw_chk[^\"]*)\"").match(statement);
            if (sourceRefused && create.hasMatch()) {
                refused << create.captured(1);
                throw DbError("relation already exists", "42P07");
            }
        };
        const std::shared_ptr<const Side> first = endpointNamed("dsn:first");
        const std::shared_ptr<const Side> second = endpointNamed("dsn:second");
        const PairCheckRequest request{connections, {}, *first, *second, {}, {}};
        if (sourceRefused) {
            EXPECT_THROW(checkPair(request), DbError);
        } else {
            checkPair(request);
        }
        const QStringList created = named(connections.log, "CREATE TABLE", refused);
        EXPECT_EQ(created.isEmpty(), sourceRefused);
        EXPECT_EQ(named(connections.log, "DROP TABLE").join(' ').toStdString(),
                  created.join(' ').toStdString());
        EXPECT_EQ(state.records(), QStringList());
    }
}

// A fifo or a symbolic link in a record's place is neither waited on nor followed: the record
// is not read, the file the link names stays as it was, and the copy goes on without it.
TEST(StagingRecordFiles, AreRegularFilesOnly) {
    for (const bool link : {false, true}) {
        SCOPED_TRACE(link ? "a symbolic link" : "a fifo");
        const StateFolder state;
        StagingRecords records;
        const QString database = "Data Source=x", table = "T~tw-stage-0000000000-1";
        StagingRecords::Record record = StagingRecords::ofThisProcess(database, table);
        record.created = true;
        ASSERT_TRUE(records.add(record));
        ASSERT_EQ(state.records().size(), 1);
        const QByteArray path = QFile::encodeName(StagingRecords::defaultFolder() + '/' + state.records()[0]);
        ASSERT_EQ(::unlink(path.constData()), 0);
        const QString elsewhere = state.home.filePath("the user's own");
        QFile own(elsewhere);
        ASSERT_TRUE(own.open(QIODevice::WriteOnly));
        own.write("precious\n");
        own.close();
        ASSERT_EQ(::chmod(QFile::encodeName(elsewhere).constData(), 0644), 0);
        ASSERT_EQ(link ? ::symlink(QFile::encodeName(elsewhere).constData(), path.constData())
                       : ::mkfifo(path.constData(), 0600),
                  0);

        EXPECT_FALSE(records.find(database, table));
        EXPECT_FALSE(records.isCopysTable(database, table));
        EXPECT_FALSE(records.add(record));
        EXPECT_FALSE(records.markCreated(database, table));
        records.removeNeverCreated();
        ASSERT_TRUE(own.open(QIODevice::ReadOnly));
        EXPECT_EQ(own.readAll(), "precious\n");
        EXPECT_EQ(QFileInfo(elsewhere).permissions() & QFileDevice::ReadOther, QFileDevice::ReadOther);
    }
}

// A record says whether its table was made: only then is the table the program's. One whose
// table was never made goes once its maker is gone; one whose maker runs stays.
TEST(StagingRecordFiles, OnlyACreatedTableIsTheProgramsAndRecordsOfNoneGo) {
    const StateFolder state;
    StagingRecords records;
    const QString database = "Data Source=x";
    const QString made = "T~tw-stage-0000000000-1", never = "U~tw-stage-0000000000-2",
                  running = "V~tw-stage-0000000000-3";
    for (const QString& table : {made, never, running}) {
        StagingRecords::Record record = StagingRecords::ofThisProcess(database, table);
        record.pid = table == running ? getppid() : 999999999;
        record.processStart = processStartTime(record.pid);
        ASSERT_TRUE(records.add(record));
    }
    EXPECT_FALSE(records.isCopysTable(database, made));
    ASSERT_TRUE(records.markCreated(database, made));
    EXPECT_TRUE(records.isCopysTable(database, made));
    records.removeNeverCreated();
    EXPECT_TRUE(records.find(database, made));
    EXPECT_FALSE(records.find(database, never));
    EXPECT_TRUE(records.find(database, running));
}
