// The composed statements as each real database reads them: whatever a name or value holds,
// it arrives as itself and the statement keeps its shape.
#include <gtest/gtest.h>

#include "db/AdoType.h"
#include "db/SqlText.h"
#include "support/StandDatabases.h"
#include "transfer/CopyStatements.h"

using namespace tw;
using tw::test::StandDatabase;

class ComposedStatements : public ::testing::TestWithParam<StandDatabase> {
protected:
    void TearDown() override { created.dropAll(); }
    const Dialect& target() const { return GetParam().isPostgres ? oracleDialect() : sqlAnywhereDialect(); }

    std::unique_ptr<Connection> db = test::openStand(GetParam());
    test::CreatedTables created;
};

TEST_P(ComposedStatements, AwkwardNamesAndValuesArriveAsThemselves) {
    const QString table = test::uniqueTableName(QStringLiteral("Odd \"name\"; DROP TABLE x"));
    const QString column = QStringLiteral("col \"1\", other");
    db->execute(CreateTableSql(target(), table, {{column, AdoType::VarChar}, {"n", AdoType::Integer}}));
    created.add(*db, table);

    const QList<QString> values = {QStringLiteral(" "),
                                   QStringLiteral("'"),
                                   QStringLiteral("O'Brien said \"hi\"; DROP TABLE x; --"),
                                   QStringLiteral("line\r\nbreak"),
                                   QStringLiteral("Grüße 😀 ключ"),
                                   QStringLiteral("') , ('x")};
    for (const QString& value : values) db->execute(InsertRowSql(table, {Variant(value), Variant("-42")}));
    db->execute(InsertRowSql(table, {Variant(), Variant("")}));

    auto rows = db->openRecordset(SelectAllSql(table));
    EXPECT_EQ(rows->field(0).name, column);
    QList<QString> read;
    int nulls = 0;
    for (; !rows->eof(); rows->moveNext()) {
        if (rows->field(0).value.isNull() && rows->field(1).value.isNull()) {
            ++nulls;
            continue;
        }
        read << rows->field(0).value.toString();
        EXPECT_EQ(rows->field(1).value.toString(), QStringLiteral("-42"));
    }
    EXPECT_EQ(read, values);
    EXPECT_EQ(nulls, 1);  // Null and the empty text both went in as NULL
}

INSTANTIATE_TEST_SUITE_P(Stand, ComposedStatements, ::testing::ValuesIn(test::standDatabases()),
                         [](const auto& param) { return std::string(param.param.label); });
