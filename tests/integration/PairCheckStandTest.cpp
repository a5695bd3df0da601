// tablewright check against the stand's databases, as a user runs it: PostgreSQL (the Oracle
// side) with SQLite (the SQL Anywhere side) and with MariaDB (a data source).
#include <gtest/gtest.h>

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

#include "support/CommandLineRig.h"
#include "transfer/CheckKinds.h"

using namespace tw;

namespace {

struct CheckedPair {
    const char* other;     // as the command line names it
    const char* textType;  // its long text's type, as it makes it
};

class PairCheck : public test::CommandLineRig {
protected:
    // The tables of the checks with these process ids, in PostgreSQL (0) or in the other database:
    // the test beside this one runs checks of its own at the same time.
    static QStringList madeBy(const QList<qint64>& pids, const QStringList& names) {
        QStringList ids;
        for (const qint64 pid : pids) ids << QString::number(pid);
        return names.filter(QRegularExpression("^tw_chk(" + ids.join('|') + ")[ab]_"));
    }
    QStringList leftIn(const QString& other, const QList<qint64>& pids) {
        if (other == "sqlanywhere") return madeBy(pids, tablesLike(1, "tw_chk%"));
        const auto maria = test::openStand({"maria", test::standDataSource("tw_maria"), false});
        const auto found = maria->openRecordset(
            "SELECT table_name FROM information_schema.tables WHERE table_schema = DATABASE() AND "
            "table_name LIKE 'tw\\\\_chk%'");
        QStringList names;
        for (; !found->eof(); found->moveNext()) names << found->field(0).value.toString();
        return madeBy(pids, names);
    }
    void checkKilledThenWhole(const QString& other, const QString& textType);
};

}  // namespace

// A check says per kind, direction and copy what arrives, and leaves no table on either side:
// what a killed check left, the next one takes away. The pairs go one after the other, as they
// share the PostgreSQL database.
TEST_F(PairCheck, SaysWhatArrivesAndLeavesNothingEvenWhenKilled) {
    killableUnderSanitizers();
    for (const CheckedPair& pair :
         {CheckedPair{"sqlanywhere", "TEXT"}, CheckedPair{"dsn:tw_maria", "LONGTEXT"}}) {
        const QString other = pair.other;
        SCOPED_TRACE(pair.other);
        checkKilledThenWhole(other, pair.textType);
    }
}

void PairCheck::checkKilledThenWhole(const QString& other, const QString& textType) {
    const QStringList check{"check", "--from", "oracle", "--to", other};
    QList<qint64> pids;
    {
        const std::unique_ptr<QProcess> killed = start(check);
        killed->waitForStarted();
        pids << killed->processId();
        killed->setReadChannel(QProcess::StandardError);
        QByteArray said;
        while (!said.contains("copying") && killed->waitForReadyRead(60000)) said += killed->readAll();
        killed->kill();
        killed->waitForFinished();
    }
    EXPECT_FALSE(madeBy(pids, tablesLike(0, "tw_chk%")).isEmpty()) << "the killed check had made its tables";

    const std::unique_ptr<QProcess> whole = start(check + QStringList{"--json"});
    whole->waitForStarted();
    pids << whole->processId();
    const test::ProgramRun checked = test::endOf(*whole);
    EXPECT_EQ(checked.exitCode, 1) << checked.err.toStdString();  // the empty text changes
    QMap<QString, QString> verdicts;                              // "TYPE from to copy": arrives (how)
    for (const QJsonValue kind : QJsonDocument::fromJson(checked.out.toUtf8())["kinds"].toArray()) {
        const QJsonObject k = kind.toObject();
        verdicts.insert(
            QStringList{k["type"].toString(), k["from"].toString(), k["to"].toString(), k["copy"].toString()}
                .join(' '),
            k["arrives"].toString() + ' ' + k["how"].toString());
    }
    EXPECT_EQ(verdicts.value("INTEGER oracle " + other + " faithful"), "exact ");
    EXPECT_EQ(verdicts.value("BIGINT " + other + " oracle plain"), "exact ");
    EXPECT_EQ(verdicts.value("VARCHAR(100) oracle " + other + " plain"),
              "changes empty text arrives as NULL");
    // The typed copy keeps the empty text and zero bytes; the plain copy writes them as NULL.
    EXPECT_EQ(verdicts.value("VARCHAR(100) oracle " + other + " faithful"), "exact ");
    EXPECT_EQ(verdicts.value("BYTEA oracle " + other + " faithful"), "exact ");
    EXPECT_EQ(verdicts.value("BYTEA oracle " + other + " plain"), "changes zero bytes arrive as NULL");
    // The plain copy into the Oracle side makes text VARCHAR(2000).
    EXPECT_TRUE(
        verdicts.value(textType + ' ' + other + " oracle plain").startsWith("refused 1 of 3 values refused"));
    EXPECT_GE(verdicts.size(), 60) << checked.out.toStdString();

    EXPECT_EQ(madeBy(pids, tablesLike(0, "tw_chk%")), QStringList());
    EXPECT_EQ(leftIn(other, pids), QStringList());
}

// A table of the user's that has a scratch table's name is never the check's: its CREATE TABLE
// fails, the check says so, and the table stays with its rows. The program waits, under a known
// process id, until the tables are there.
TEST_F(PairCheck, NeverDropsAUsersTableThatHasAScratchName) {
    const QString go = m_home.filePath("go");
    const std::unique_ptr<QProcess> check =
        start({"check", "--from", "oracle", "--to", "sqlanywhere"},
              {"sh", "-c", "echo $$; while [ ! -e \"$0\" ]; do sleep 0.2; done; exec \"$@\"", go});
    ASSERT_TRUE(check->waitForReadyRead(60000));
    const QString pid = QString::fromUtf8(check->readLine()).trimmed();
    QStringList users;
    for (const CheckKind& kind : checkKinds()) users << "tw_chk" + pid + "a_" + kind.code;
    for (const QString& name : users) create(0, "n integer", {"7"}, name);
    QFile(go).open(QIODevice::WriteOnly);
    const test::ProgramRun checked = test::endOf(*check);
    EXPECT_NE(checked.exitCode, 0);
    EXPECT_TRUE(checked.err.contains("tw_chk" + pid + "a_")) << checked.err.toStdString();
    QStringList left = tablesLike(0, "tw_chk" + pid + "%");
    left.sort();
    users.sort();
    EXPECT_EQ(left, users);
    for (const QString& name : left)
        EXPECT_EQ(database(0).openRecordset(SelectAllSql(name))->recordCount(), 1) << name.toStdString();
    for (const QString& name : users) test::dropQuietly(database(0), name);
    EXPECT_EQ(QDir(m_home.filePath("state/tablewright/staging")).entryList({"*.json"}), QStringList());
}
