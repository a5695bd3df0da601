#include <gtest/gtest.h>

#include <QMap>

#include "db/Datatype.h"
#include "db/DbError.h"
#include "db/Dialect.h"
#include "db/RowCondition.h"
#include "db/SqlText.h"
#include "shell/Utf8Text.h"
#include "transfer/CopyStatements.h"

using namespace tw;

namespace {

const QString kNumber = QStringLiteral(" NUMERIC,");

// The column type each ADO type name gets, as users were promised; written out by outcome,
// not by the key-word rules that produce it.
struct Outcome {
    QString toOracle;
    QString toSqlAnywhere;
};

QMap<QString, Outcome> promisedOutcomes() {
    QMap<QString, Outcome> outcomes;
    for (const char* name :
         {"adBigInt", "adDecimal", "adInteger", "adNumeric", "adSmallInt", "adTinyInt", "adUnsignedBigInt",
          "adUnsignedInt", "adUnsignedSmallInt", "adUnsignedTinyInt", "adVarNumeric"}) {
        outcomes[name] = {kNumber, kNumber};
    }
    outcomes["adLongVarBinary"] = {" BLOB,", " OLEOBJECT,"};
    for (const char* name :
         {"adBinary",       "adBoolean",     "adBSTR",   "adChapter",     "adChar",      "adCurrency",
          "adDate",         "adDBDate",      "adDBTime", "adDBTimeStamp", "adDouble",    "adEmpty",
          "adError",        "adFileTime",    "adGUID",   "adIDispatch",   "adIUnknown",  "adLongVarChar",
          "adLongVarWChar", "adPropVariant", "adSingle", "adUserDefined", "adVarBinary", "adVarChar",
          "adVariant",      "adVarWChar",    "adWChar"}) {
        outcomes[name] = {" VARCHAR(2000),", " TEXT,"};
    }
    return outcomes;
}

}  // namespace

TEST(AdoTypeName, NamesTheThirtyNineCodesAndNothingElse) {
    const QMap<QString, Outcome> promised = promisedOutcomes();
    QStringList named;
    for (int code = -32768; code <= 32767; ++code) {
        const QString name = AdoTypeName(static_cast<std::int16_t>(code));
        if (!name.isEmpty()) named << name;
    }
    EXPECT_EQ(named.size(), 39);
    for (const QString& name : named) EXPECT_TRUE(promised.contains(name)) << name.toStdString();
    EXPECT_EQ(AdoTypeName(202), "adVarWChar");
    EXPECT_EQ(AdoTypeName(0), "adEmpty");
    for (int unnamed : {1, 15, 137, 206, 8192 + 200, -1, -32768}) {
        EXPECT_EQ(AdoTypeName(static_cast<std::int16_t>(unnamed)), QString()) << unnamed;
    }
}

TEST(ColumnTypeText, EveryNamedTypeGetsItsPromisedColumnInBothDirections) {
    const QMap<QString, Outcome> promised = promisedOutcomes();
    for (int code = -32768; code <= 32767; ++code) {
        const auto type = static_cast<std::int16_t>(code);
        const QString name = AdoTypeName(type);
        const Outcome expected = promised.value(name, {" VARCHAR(2000),", " TEXT,"});
        EXPECT_EQ(ColumnTypeText(oracleDialect(), type), expected.toOracle) << code;
        EXPECT_EQ(ColumnTypeText(sqlAnywhereDialect(), type), expected.toSqlAnywhere) << code;
    }
}

TEST(CreateTableSql, ListsColumnsWithoutACommaBeforeTheEnd) {
    const QList<FieldDescription> emp = {{"ID", 3}, {"NAME", 200}};
    EXPECT_EQ(CreateTableSql(oracleDialect(), "EMP", emp),
              "CREATE TABLE \"EMP\"(\"ID\" NUMERIC,\"NAME\" VARCHAR(2000))");
    EXPECT_EQ(CreateTableSql(sqlAnywhereDialect(), "EMP", emp),
              "CREATE TABLE \"EMP\"(\"ID\" NUMERIC,\"NAME\" TEXT);");
    EXPECT_EQ(CreateTableSql(oracleDialect(), "One", {{"blob", 205}}), "CREATE TABLE \"One\"(\"blob\" BLOB)");
    EXPECT_EQ(CreateTableSql(sqlAnywhereDialect(), "One", {{"blob", 205}}),
              "CREATE TABLE \"One\"(\"blob\" OLEOBJECT);");
}

// A row condition is sent as one condition of the program's SELECT: a semicolon that could end
// that statement refuses it before anything is sent, one inside a plain quoted text does not.
TEST(RowCondition, NoSemicolonEndsTheStatementItGoesIn) {
    const struct {
        const char* condition;
        bool sent;
    } cases[] = {
        {"n > 1", true},
        {"t = 'a;b' AND u = 'it''s;'", true},
        {"1=1) x; DROP TABLE v; SELECT COUNT(*) FROM (SELECT 1", false},
        {"n > 1;", false},
        {"t = 'a' ; DELETE FROM v", false},
        {"t = 'a\\'; DELETE FROM v; --'", false},  // a backslash ends a text in one product only
        {"t = $$;$$", false},
        {"t = \"a;b\"", false},
        {"n > 1 -- ;", false},
        {"t = 'open;", false},
        {"[']=1; DELETE FROM v; SELECT 1 WHERE [']=1", false},  // a bracketed name may hold a quote
    };
    for (const auto& c : cases) {
        EXPECT_EQ(rowConditionRefusal(c.condition).isEmpty(), c.sent) << c.condition;
    }
    EXPECT_THROW(SelectRowsSql(standardDialect(), "T", "n > 1; DROP TABLE v"), DbError);
}

TEST(SqlNames, KeepCaseAndBlanksAndDoubleInnerQuotes) {
    EXPECT_EQ(quotedName("Order Lines"), "\"Order Lines\"");
    EXPECT_EQ(quotedName("MixedCase"), "\"MixedCase\"");
    EXPECT_EQ(quotedName("a\"b"), "\"a\"\"b\"");
    EXPECT_EQ(DropTableSql("x\"; DROP TABLE \"EMP"), "DROP TABLE \"x\"\"; DROP TABLE \"\"EMP\"");
    EXPECT_EQ(SelectAllSql("Bücher 😀"), "SELECT * FROM \"Bücher 😀\"");
    // A column name cannot break out of its quotes either.
    EXPECT_EQ(CreateTableSql(oracleDialect(), "T", {{"c\" NUMERIC,\"d", 200}}),
              "CREATE TABLE \"T\"(\"c\"\" NUMERIC,\"\"d\" VARCHAR(2000))");
}

TEST(SqlValueText, GivesNullOrTheExactTextQuoted) {
    EXPECT_EQ(SqlValueText(Variant()), "NULL");
    EXPECT_EQ(SqlValueText(Variant("")), "NULL");
    EXPECT_EQ(SqlValueText(Variant(" ")), "' '");
    EXPECT_EQ(SqlValueText(Variant("'")), "''''");
    EXPECT_EQ(SqlValueText(Variant("O'Brien says \"hi\"")), "'O''Brien says \"hi\"'");
    EXPECT_EQ(SqlValueText(Variant("line\r\nbreak\n")), "'line\r\nbreak\n'");
    EXPECT_EQ(SqlValueText(Variant("Grüße 😀")), "'Grüße 😀'");
    EXPECT_EQ(SqlValueText(Variant("-123456789012345678901234567890.000000001")),
              "'-123456789012345678901234567890.000000001'");
    EXPECT_EQ(SqlValueText(Variant("2024-03-01 13:45:00.123456")), "'2024-03-01 13:45:00.123456'");
    EXPECT_EQ(SqlValueText(Variant::binary(QByteArray("\x00\xff\x10", 3))), "'00FF10'");
    EXPECT_EQ(SqlValueText(Variant::binary(QByteArray())), "NULL");
}

TEST(InsertRowSql, JoinsTheLiteralsAndBuildsTheSameTextValueByValue) {
    EXPECT_EQ(InsertRowSql("EMP", {Variant("7"), Variant(), Variant("O'Brien")}),
              "INSERT INTO \"EMP\" VALUES('7', NULL, 'O''Brien')");
    EXPECT_EQ(InsertRowSql("T", {Variant(), Variant(), Variant()}),
              "INSERT INTO \"T\" VALUES(NULL, NULL, NULL)");
    EXPECT_EQ(InsertRowSql("T", {Variant("")}), "INSERT INTO \"T\" VALUES(NULL)");

    // Row after row into one statement object, as the transfers build them.
    const QList<Variant> row = {Variant(""), Variant("a"), Variant(), Variant("'"), Variant(" ")};
    const QList<Variant> next = {Variant("it's ''twice''"), Variant("x")};
    InsertStatement statement("T");
    for (const Variant& value : row) statement.addValue(value);
    statement.finish();
    EXPECT_EQ(QString::fromUtf8(statement.utf8()), InsertRowSql("T", row));
    EXPECT_EQ(statement.utf8(), "INSERT INTO \"T\" VALUES(NULL, 'a', NULL, '''', ' ')");
    const QByteArray taken = statement.utf8();
    statement.begin();
    // Part way, the text reads as it does composed value by value: an opening quote waits.
    EXPECT_EQ(statement.textSoFar(), "INSERT INTO \"T\" VALUES('");
    statement.addValue(next[0]);
    EXPECT_EQ(statement.textSoFar(), "INSERT INTO \"T\" VALUES('it''s ''''twice''''', '");
    statement.addValue(next[1]);
    statement.finish();
    EXPECT_EQ(statement.utf8(), "INSERT INTO \"T\" VALUES('it''s ''''twice''''', 'x')");
    EXPECT_EQ(QString::fromUtf8(taken), InsertRowSql("T", row));
}

TEST(InsertStatement, WritesBytesInTheTargetsFormIntoLongBinaryColumnsOnly) {
    // Short binary goes to a text column and stays hex text; NULL and no bytes are NULL.
    InsertStatement insert("T", &sqliteDialect());
    insert.addValue(Variant::binary(QByteArray::fromHex("1e10")), ColumnKind::Bytes);
    insert.addValue(Variant::binary(QByteArray::fromHex("1e10")), ColumnKind::Text);
    insert.addValue(Variant::binary(QByteArray()), ColumnKind::Bytes);
    insert.addValue(Variant(), ColumnKind::Bytes);
    insert.addValue(Variant("it's"), ColumnKind::Bytes);
    insert.finish();
    EXPECT_EQ(QString::fromUtf8(insert.utf8()),
              QStringLiteral("INSERT INTO \"T\" VALUES(X'1E10', '1E10', NULL, NULL, 'it''s')"));
}

TEST(Variant, TextKeepsAByteOrderMarkAtItsStart) {
    // A name or value may begin with U+FEFF; decoding must not take it for an encoding mark.
    Variant value;
    value.setUtf8Text("\xEF\xBB\xBFname");
    EXPECT_EQ(value.toString(), QString(QChar(0xFEFF)) + "name");
    EXPECT_EQ(textFromUtf8("\xEF\xBB\xBF"), QString(QChar(0xFEFF)));
}
