// The command line against the stand with awkward but ordinary input: values of tens of
// megabytes, names longer than a database takes, names with line ends in them.
#include <sqlite3.h>
#include <sys/resource.h>

#include <QCryptographicHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cstdio>

#include "support/CommandLineRig.h"

using namespace tw;

namespace {

// Values of tens of megabytes go to a SQLite file of their own: the pages they leave free when
// dropped would let other tests' small databases grow where those tests want them full.
const QString kLarge = QStringLiteral("tw_sqlany_large");

class AwkwardInput : public test::CommandLineRig {
protected:
    void TearDown() override {
        test::CommandLineRig::TearDown();
        for (int side : {0, 1}) test::dropQuietly(database(side), m_other);
    }

    // The MD5 of each named column's value in the given row, as PostgreSQL computes it.
    QStringList postgresDigests(const QString& table, const QString& columns, int id) {
        const auto rows = m_oracle->openRecordset(
            QStringLiteral("SELECT %1 FROM %2 WHERE id = %3").arg(columns, quotedName(table)).arg(id));
        QStringList digests;
        for (int field = 0; field < rows->fieldCount(); ++field)
            digests << rows->field(field).value.toString();
        return digests;
    }
    // The same, read with SQLite's own library from the file of the large values' data source.
    QStringList sqliteDigests(const QString& table, const QString& columns, int id) {
        sqlite3* db = nullptr;
        const QByteArray path = qgetenv("TW_STAND") + "/large.db";
        QStringList digests;
        if (sqlite3_open_v2(path.constData(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
            const QByteArray sql = QStringLiteral("SELECT %1 FROM %2 WHERE id = %3")
                                       .arg(columns, quotedName(table))
                                       .arg(id)
                                       .toUtf8();
            sqlite3_stmt* statement = nullptr;
            if (sqlite3_prepare_v2(db, sql.constData(), -1, &statement, nullptr) == SQLITE_OK &&
                sqlite3_step(statement) == SQLITE_ROW) {
                for (int column = 0; column < sqlite3_column_count(statement); ++column) {
                    const auto* bytes = static_cast<const char*>(sqlite3_column_blob(statement, column));
                    const QByteArray value(bytes, sqlite3_column_bytes(statement, column));
                    digests << QString::fromLatin1(
                        QCryptographicHash::hash(value, QCryptographicHash::Md5).toHex());
                }
            }
            sqlite3_finalize(statement);
        }
        sqlite3_close(db);
        return digests;
    }

    // Copies the table in batches of 1,000 and verifies it: all 2,000 rows arrive and match.
    void copyVerified(const QString& to, const QString& table) {
        const test::ProgramRun copied =
            run({"copy", "--to", to, "--batch", "1000", "--verify", "--json", "--dsn", kLarge, table});
        EXPECT_EQ(copied.exitCode, 0) << copied.err.left(2000).toStdString();
        const QJsonObject outcome =
            QJsonDocument::fromJson(copied.out.toUtf8()).object()["tables"].toArray().first().toObject();
        EXPECT_EQ(outcome["rowsWritten"].toInt(), 2000);
        EXPECT_TRUE(outcome["verification"].toObject()["matches"].toBool());
    }

    // The largest any program this test ran took, in MB.
    static long peakMegabytesOfPrograms() {
        rusage usage{};
        getrusage(RUSAGE_CHILDREN, &usage);
        return usage.ru_maxrss / 1024;
    }

    const QString m_other = test::uniqueTableName("cli_back");
};

class LargeValues : public AwkwardInput {
protected:
    LargeValues() { m_sqlany = test::openStand({"large", test::standDataSource(kLarge), false}); }
};

}  // namespace

// 2,000 rows, one with a 30 MB text and one with a 30 MB binary value, in batches of 1,000:
// every value arrives and verifies, and memory stays near a few times the largest value.
TEST_F(LargeValues, ThirtyMegabyteValuesCopyBothWaysInBatches) {
    const int megabytes = 30;
    const QString allBytes =
        "decode(repeat((SELECT string_agg(lpad(to_hex(b), 2, '0'), '') FROM "
        "generate_series(0, 255) b), %1), 'hex')";
    create(0, "id integer, t text, b bytea");
    m_oracle->execute(
        QStringLiteral("INSERT INTO %1 SELECT g, CASE WHEN g = 1500 THEN repeat('Bücher 😀 ', %2) "
                       "ELSE 'row ' || g END, CASE WHEN g = 700 THEN %3 END FROM "
                       "generate_series(1, 2000) g")
            .arg(quotedName(m_table))
            .arg(megabytes * 1024 * 1024 / 16)
            .arg(allBytes.arg(megabytes * 1024 * 1024 / 256)));
    copyVerified("sqlanywhere", m_table);
    EXPECT_EQ(sqliteDigests(m_table, "t", 1500), postgresDigests(m_table, "md5(t)", 1500));
    EXPECT_EQ(sqliteDigests(m_table, "b", 700), postgresDigests(m_table, "md5(b)", 700));
    std::printf("peak memory of the copy into SQL Anywhere: %ld MB\n", peakMegabytesOfPrograms());

    // Back, binary only: the Oracle side's text columns take 2,000 characters.
    create(1, "id integer, b longvarbinary", {}, m_other);
    m_sqlany->execute(
        QStringLiteral("WITH RECURSIVE g(n) AS (SELECT 1 UNION ALL SELECT n + 1 FROM g WHERE n < "
                       "2000) INSERT INTO %1 SELECT n, CASE WHEN n = 700 THEN randomblob(%2) END "
                       "FROM g")
            .arg(quotedName(m_other))
            .arg(megabytes * 1024 * 1024));
    copyVerified("oracle", m_other);
    EXPECT_EQ(postgresDigests(m_other, "md5(b)", 700), sqliteDigests(m_other, "b", 700));

    const long peak = peakMegabytesOfPrograms();
    std::printf("peak memory of the copies of %d MB values: %ld MB\n", megabytes, peak);
    EXPECT_LT(peak, 1024);
}

// PostgreSQL cuts longer names to 63 bytes without a word; the copy refuses them first.
TEST_F(AwkwardInput, ANameLongerThanTheTargetTakesIsRefusedAndNothingIsCreated) {
    const QString longName = m_table + QString(300, QLatin1Char('n'));
    create(1, "id integer", {"1"}, longName);
    const test::ProgramRun copied = run({"copy", "--to", "oracle", longName});
    test::dropQuietly(*m_sqlany, longName);
    EXPECT_EQ(copied.exitCode, 1);
    EXPECT_TRUE(copied.err.contains("at most 63 bytes")) << copied.err.toStdString();
    EXPECT_TRUE(copied.err.contains("Nothing was created")) << copied.err.toStdString();
    const QString cut = QString::fromUtf8(longName.toUtf8().left(63));
    EXPECT_FALSE(run({"list", "--side", "oracle"}).out.split('\n').contains(cut));
    test::dropQuietly(*m_oracle, cut);
}

// A line end or a tab in a name is written as an escape wherever the program writes lines:
// the list, the summary and the log. The table itself keeps its name.
TEST_F(AwkwardInput, ControlCharactersInNamesAreWrittenAsEscapes) {
    const QString name = m_other + "\nsecond\tline";
    const QString shown = m_other + "\\nsecond\\tline";
    create(1, "id integer", {"1"}, name);
    const test::ProgramRun listed = run({"list", "--side", "sqlanywhere"});
    EXPECT_TRUE(listed.out.split('\n').contains(shown)) << listed.out.toStdString();

    const test::ProgramRun copied = run({"copy", "--to", "oracle", name});
    test::dropQuietly(*m_sqlany, name);
    test::dropQuietly(*m_oracle, name);
    EXPECT_EQ(copied.exitCode, 0) << copied.err.toStdString();
    EXPECT_TRUE(copied.out.split('\n')
                    .filter(QRegularExpression("^" + QRegularExpression::escape(shown) + " +copied"))
                    .size() == 1)
        << copied.out.toStdString();
    EXPECT_TRUE(logText().contains("  " + shown + ": 1 rows read, 1 written")) << logText().toStdString();
    EXPECT_FALSE(logText().contains("\nsecond"));
}
