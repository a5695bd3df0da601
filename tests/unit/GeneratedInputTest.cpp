// Properties of the pure code, checked against generated input: statements read back by
// SQLite's own parser, connection strings read back by the rules drivers read them by, and the
// list helpers against a plain model of what they promise.
#include <gtest/gtest.h>
#include <rapidcheck/gtest.h>

#include <algorithm>

#include "db/ConnectionString.h"
#include "db/Oracle.h"
#include "db/SqlText.h"
#include "db/Sybase.h"
#include "shell/ListHelpers.h"
#include "support/AwkwardText.h"
#include "support/ConnectionStringReader.h"
#include "support/MemoryDatabase.h"
#include "support/MemoryTableList.h"
#include "transfer/CopyStatements.h"

using namespace tw;
using tw::test::awkwardText;
using tw::test::ConnectionPairs;
using tw::test::MemoryDatabase;
using tw::test::MemoryTableList;
using tw::test::readConnectionString;

namespace {

// The promise of ListRemoveItem, told as a walk over the items as they were: a matching item
// goes, and the one right after it stays without being looked at.
QStringList expectedAfterRemoving(const QStringList& items, const QString& text) {
    QStringList kept;
    for (qsizetype i = 0; i < items.size(); ++i) {
        if (items[i] != text) {
            kept << items[i];
        } else if (i + 1 < items.size()) {
            kept << items[++i];
        }
    }
    return kept;
}

rc::Gen<QString> listItem() {
    return rc::gen::elementOf(
        std::vector<QString>{"", "x", "X", " x", "Ä", "ä", "ſ", "s", "Orders", "ORDERS"});
}

}  // namespace

RC_GTEST_PROP(GeneratedInput, InsertReadBySqliteHasOneValuePerFieldAndEachValueComesBack, ()) {
    const QString table = *awkwardText(false);
    RC_PRE(!table.startsWith("sqlite_", Qt::CaseInsensitive));  // SQLite's own names
    const auto values = *rc::gen::nonEmpty(rc::gen::container<std::vector<Variant>>(test::fieldValue()));
    MemoryDatabase db;
    QString columns;
    for (size_t i = 0; i < values.size(); ++i) columns += (i ? ",c" : "c") + QString::number(i);
    RC_ASSERT(db.run("CREATE TABLE " + quotedName(table) + "(" + columns + ")"));

    RC_ASSERT(db.run(InsertRowSql(table, QList<Variant>(values.begin(), values.end()))));

    const auto rows = db.run(SelectAllSql(table));
    RC_ASSERT(rows && rows->size() == 1u);
    const MemoryDatabase::Row& row = rows->front();
    RC_ASSERT(row.size() == values.size());
    for (size_t i = 0; i < values.size(); ++i) {
        const QByteArray text = values[i].toUtf8();  // binary as its hex digits
        RC_ASSERT(row[i] == (text.isEmpty() ? std::nullopt : std::optional<QByteArray>(text)));
    }
}

RC_GTEST_PROP(GeneratedInput, QuotedNamesReadBySqliteAreTheNamesTheyHold, ()) {
    const QString name = *awkwardText(false);
    const QString other = *awkwardText(false);
    MemoryDatabase db;
    QStringList columns;
    RC_ASSERT(db.run("SELECT 1 AS " + quotedName(name) + ", 2 AS " + quotedName(other), &columns));
    RC_ASSERT(columns == QStringList({name, other}));
}

RC_GTEST_PROP(GeneratedInput, ConnectionValuesSurviveTheBracesAndAddNoKey, ()) {
    const ConnectionValues values{*awkwardText(), *awkwardText(), *awkwardText(), *awkwardText()};

    const ConnectionPairs oracle = {{"Driver", "Microsoft ODBC for Oracle"},
                                    {"Server", values.oracleServer},
                                    {"Uid", values.oracleUser},
                                    {"Pwd", values.oraclePassword}};
    RC_ASSERT(readConnectionString(OracleConnectionString(values)) == std::optional(oracle));

    const ConnectionTarget sybase = SybaseConnectionTarget(values);
    RC_ASSERT(sybase.isDataSource() && sybase.text() == values.dataSourceName);
}

RC_GTEST_PROP(GeneratedInput, ListHelpersKeepTheirPromises, ()) {
    const auto generated = *rc::gen::container<std::vector<QString>>(listItem());
    const QStringList items(generated.begin(), generated.end());
    const QString text = *listItem();
    const MemoryTableList list(items);

    RC_ASSERT(ListHasItem(list, text) == items.contains(text));
    RC_ASSERT(ListHasItemNoCase(list, text) ==
              std::any_of(items.begin(), items.end(),
                          [&](const QString& item) { return item.toLower() == text.toLower(); }));

    MemoryTableList removing(items);
    ListRemoveItem(removing, text);
    RC_ASSERT(removing.items() == expectedAfterRemoving(items, text));
}
