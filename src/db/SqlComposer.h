#pragma once

#include <QString>
#include <QStringList>

#include "db/TableRef.h"

namespace tw {

class Dialect;

// Every statement the program sends about a table, in one product's spelling: its quotes, and
// its own ways of renaming. Without a dialect, names are in the SQL standard's quotes. The copy,
// the dry run, the check and the verifier compose their statements here.
class SqlComposer {
public:
    explicit SqlComposer(const Dialect* dialect = nullptr) : m_dialect(dialect) {}
    explicit SqlComposer(const Dialect& dialect) : m_dialect(&dialect) {}

    QString quoted(const QString& name) const;
    // "S"."T", or "T" where no schema is given.
    QString name(const TableRef& table) const;

    QString selectAll(const TableRef& table) const;
    // The rows that meet a condition, sent as written; every row without one.
    QString selectRows(const TableRef& table, const QString& condition) const;
    // These column expressions (every column where there are none) of the rows that meet the
    // condition.
    QString selectColumns(const TableRef& table, const QStringList& expressions,
                          const QString& condition) const;
    // How many rows meet the condition, as the database counts them.
    QString count(const TableRef& table, const QString& condition = {}) const;
    // The head of a CREATE TABLE, up to its opening parenthesis.
    QString createHead(const TableRef& table) const;
    QString drop(const TableRef& table) const;
    // A new name for the table, in its schema; by default ALTER TABLE … RENAME TO ….
    QString rename(const TableRef& table, const QString& newName) const;
    // Both renames as one statement, where the product renames several tables at once; none
    // elsewhere.
    QString renameTwo(const TableRef& first, const QString& firstTo, const QString& second,
                      const QString& secondTo) const;
    // A row's INSERT up to its first value: INSERT INTO "T" VALUES(
    QString insertValuesHead(const TableRef& table) const;
    // One row's values, each a parameter, into these columns.
    QString insertParameters(const TableRef& table, const QStringList& columns) const;
    // Empties a table in a way its database can undo: DELETE, where TRUNCATE would commit at
    // once in some databases.
    QString deleteAll(const TableRef& table) const;
    // Adds the rows of one table to another: each of columns gets the value of fromColumns' column
    // at its place.
    QString insertSelect(const TableRef& table, const QStringList& columns, const TableRef& from,
                         const QStringList& fromColumns) const;

private:
    const Dialect* m_dialect;
};

}  // namespace tw
