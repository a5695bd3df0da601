#include "db/odbc/OdbcPrimaryKey.h"

#include <sqlext.h>

#include <algorithm>
#include <vector>

#include "db/DbError.h"
#include "db/Dialect.h"
#include "db/odbc/AwaitedCall.h"
#include "db/odbc/OdbcSession.h"
#include "db/odbc/OdbcText.h"

namespace tw::odbc {

namespace {

// The columns of the SQLPrimaryKeys and SQLStatistics results, by the numbers ODBC gives them.
enum : SQLUSMALLINT { kKeyColumnName = 4, kKeySequence = 5, kKeyName = 6 };
enum : SQLUSMALLINT { kIndexName = 6, kIndexType = 7, kIndexPosition = 8, kIndexColumnName = 9 };

// A catalogue function's table arguments, kept alive for the call.
struct TableArguments {
    TableArguments(const CatalogueName& inCatalog, const CatalogueName& inSchema, const QString& tableName)
        : catalog(inCatalog), schema(inSchema), table(toSql(tableName)) {}
    CatalogueName catalog;
    CatalogueName schema;
    QByteArray table;

    static SQLCHAR* text(CatalogueName& name) { return name ? sqlChars(*name) : nullptr; }
    static SQLSMALLINT length(const CatalogueName& name) {
        return name ? static_cast<SQLSMALLINT>(name->size()) : 0;
    }
};

// Columns in order of the numbers they were listed with.
QStringList inOrder(std::vector<std::pair<qint64, QString>> columns) {
    std::stable_sort(columns.begin(), columns.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    QStringList names;
    for (const auto& [position, name] : columns) names << name;
    return names;
}

struct Index {
    QByteArray name;
    std::vector<std::pair<qint64, QString>> columns;
};

// The table's unique indexes with their columns in index order.
std::vector<Index> uniqueIndexes(const OdbcSession& session, TableArguments& arguments) {
    Handle stmt(SQL_HANDLE_STMT, session.dbc.get());
    check(awaitingAnswer(session,
                         [&] {
                             return SQLStatistics(stmt.get(), TableArguments::text(arguments.catalog),
                                                  TableArguments::length(arguments.catalog),
                                                  TableArguments::text(arguments.schema),
                                                  TableArguments::length(arguments.schema),
                                                  sqlChars(arguments.table),
                                                  static_cast<SQLSMALLINT>(arguments.table.size()),
                                                  SQL_INDEX_UNIQUE, SQL_QUICK);
                         }),
          stmt, "SQLStatistics");
    std::vector<Index> indexes;
    for (SQLRETURN rc = SQLFetch(stmt.get()); rc != SQL_NO_DATA; rc = SQLFetch(stmt.get())) {
        check(rc, stmt, "SQLFetch");
        const QByteArray name = textAt(stmt, kIndexName).value_or(QByteArray());
        if (numberAt(stmt, kIndexType) == SQL_TABLE_STAT) continue;
        const qint64 position = numberAt(stmt, kIndexPosition).value_or(0);
        QString column = nameText(textAt(stmt, kIndexColumnName));
        auto found = std::find_if(indexes.begin(), indexes.end(),
                                  [&](const Index& index) { return index.name == name; });
        if (found == indexes.end()) found = indexes.insert(indexes.end(), Index{name, {}});
        found->columns.emplace_back(position, std::move(column));
    }
    return indexes;
}

bool sameColumns(QStringList a, QStringList b) {
    a.sort();
    b.sort();
    return a == b;
}

}  // namespace

QStringList readPrimaryKey(const OdbcSession& session, const CatalogueName& catalog,
                           const CatalogueName& schema, const QString& table) {
    TableArguments arguments(catalog, schema, table);
    Handle stmt(SQL_HANDLE_STMT, session.dbc.get());
    check(awaitingAnswer(session,
                         [&] {
                             return SQLPrimaryKeys(stmt.get(), TableArguments::text(arguments.catalog),
                                                   TableArguments::length(arguments.catalog),
                                                   TableArguments::text(arguments.schema),
                                                   TableArguments::length(arguments.schema),
                                                   sqlChars(arguments.table),
                                                   static_cast<SQLSMALLINT>(arguments.table.size()));
                         }),
          stmt, "SQLPrimaryKeys");
    std::vector<std::pair<qint64, QString>> listed;
    CatalogueName keyName;
    for (SQLRETURN rc = SQLFetch(stmt.get()); rc != SQL_NO_DATA; rc = SQLFetch(stmt.get())) {
        check(rc, stmt, "SQLFetch");
        QString column = nameText(textAt(stmt, kKeyColumnName));
        listed.emplace_back(numberAt(stmt, kKeySequence).value_or(0), std::move(column));
        keyName = textAt(stmt, kKeyName);
    }
    const QStringList key = inOrder(std::move(listed));
    if (key.size() < 2 || !session.dialect || !session.dialect->numbersKeyColumnsInTableOrder()) return key;
    // The unique index of the key's columns holds them in key order: the one of the key's name,
    // or the only one there is.
    std::vector<Index> indexes;
    try {
        indexes = uniqueIndexes(session, arguments);
    } catch (const DbError&) {
        return key;
    }
    std::vector<QStringList> candidates;
    for (Index& index : indexes) {
        QStringList columns = inOrder(std::move(index.columns));
        if (!sameColumns(columns, key)) continue;
        if (keyName && index.name == *keyName) return columns;
        candidates.push_back(std::move(columns));
    }
    return candidates.size() == 1 ? candidates.front() : key;
}

}  // namespace tw::odbc
