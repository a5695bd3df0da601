// Numbers read in a session whose locale writes a decimal comma; ctest runs this with
// LC_ALL=de_DE.UTF-8.
#include <gtest/gtest.h>
#include <locale.h>

#include "db/SqlText.h"
#include "support/StandDatabases.h"

using namespace tw;

TEST(GermanSession, NumbersKeepTheirDecimalPoint) {
    ASSERT_EQ(qgetenv("LC_ALL"), QByteArray("de_DE.UTF-8"));
    const locale_t german = newlocale(LC_ALL_MASK, "de_DE.UTF-8", static_cast<locale_t>(nullptr));
    ASSERT_TRUE(german) << "the de_DE.UTF-8 locale is not installed";
    freelocale(german);

    auto oracle = test::openStand(test::standDatabases()[0]);
    auto numbers = oracle->openRecordset(QStringLiteral("SELECT 0.5::float8, -1234.25::numeric"));
    EXPECT_EQ(numbers->field(0).value.toString(), QStringLiteral("0.5"));
    EXPECT_EQ(numbers->field(1).value.toString(), QStringLiteral("-1234.25"));

    auto sqlany = test::openStand(test::standDatabases()[1]);
    const QString table = test::uniqueTableName("german");
    test::CreatedTables created;
    sqlany->execute(QStringLiteral("CREATE TABLE %1(r real)").arg(quotedName(table)));
    created.add(*sqlany, table);
    sqlany->execute(QStringLiteral("INSERT INTO %1 VALUES(0.5)").arg(quotedName(table)));
    EXPECT_EQ(sqlany->openRecordset("SELECT * FROM " + quotedName(table))->field(0).value.toString(),
              QStringLiteral("0.5"));
}
