#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>

#include "db/Connection.h"
#include "db/Dialect.h"
#include "shell/Variant.h"

namespace tw {

struct FieldDescription {
    QString name;
    std::int16_t type = 0;  // ADO data type code
};

// "SELECT * FROM" and the name in the source's quotes (without a dialect, the standard's), in its
// schema where one is given.
QString SelectAllSql(const Dialect& source, const QString& table, const QString& schema = {});
QString SelectAllSql(const QString& table, const QString& schema = {});
// The same for the rows that meet a condition, sent as written; every row without one.
QString SelectRowsSql(const Dialect& source, const QString& table, const QString& condition,
                      const QString& schema = {});

// Empties a table in a way its database can undo: DELETE, where TRUNCATE would commit at once
// in some databases.
QString DeleteAllRowsSql(const Dialect& target, const QString& table, const QString& schema = {});
// Adds the rows of one table to another: columns of the table, each given the value of the
// fromColumns' column at its place; both tables in the schema where one is given.
QString InsertSelectSql(const Dialect& target, const QString& table, const QStringList& columns,
                        const QString& from, const QStringList& fromColumns, const QString& schema = {});

// The type of a created column with its leading blank and trailing comma (" NUMERIC,"), as the
// target side's dialect gives it.
QString ColumnTypeText(const Dialect& target, std::int16_t adoType);

// A value as an SQL literal: NULL for Null and for the empty text, otherwise the exact text
// between single quotes with every single quote doubled.
QString SqlValueText(const Variant& value);

// An empty value: the text of no characters, or bytes of none; not Null.
bool isEmptyValue(const Variant& value);
// Whether an empty value goes into a column of this kind as itself: only a column of text or of
// bytes holds one, and only where the copy keeps them (keepsEmpty). Elsewhere it goes as NULL.
bool keepsEmptyIn(ColumnKind kind, bool keepsEmpty);

// A value as a batched INSERT binds it, by the same rules as the literal: NULL for Null and the
// empty value (unless kept), bytes for a binary value in a column of bytes, a logical value as
// the target writes it, else the text the literal would quote (a binary value's upper-case hex).
BoundValue BoundValueFor(const Variant& value, ColumnKind kind, const Dialect* target = nullptr,
                         bool keepsEmpty = false);

// The truth a logical value's text spells ("1", "t", "true", "yes" and their opposites, any
// case); none for any other text.
std::optional<bool> logicalValue(QByteArrayView text);

// Builds CREATE TABLE one column at a time, so that a caller can let the window breathe between
// columns; the result equals CreateTableSql for the same columns.
class CreateTableStatement {
public:
    // The column types and the statement's end are the target's; the names are in the quotes of
    // the product the statement goes to, where that is given and another.
    CreateTableStatement(const Dialect& target, const QString& table, const QString& schema = {},
                         const Dialect* named = nullptr);
    void addColumn(const QString& name, std::int16_t adoType);
    // A column of the given type text, NOT NULL where it must hold a value.
    void addColumn(const QString& name, const QString& type, bool notNull);
    // Ends the statement, with the primary key's columns in key order where there are any.
    QString finish(const QStringList& primaryKey = {});
    // The text as composed so far, the last comma still on; after finish(), the statement.
    const QString& textSoFar() const { return m_text; }

private:
    const Dialect& m_target;
    const Dialect& m_named;
    QString m_text;
};

// Builds INSERT INTO one value at a time, row after row into the same text, in the UTF-8 that
// goes to the database; the result equals InsertRowSql for the same values.
class InsertStatement {
public:
    // The table is named in the dialect's quotes, and binary values for a column of bytes are
    // written as its binary literal; without one, in the standard's quotes and as the quoted hex
    // text that text columns receive. Logical values and text literals are written as the
    // dialect reads them. A value longer than the dialect's literals take is sent as a
    // parameter instead. An empty value is NULL, as the windows' copy writes it, unless
    // keepsEmpty: then it is '' (or the empty bytes) in a column of text or bytes.
    explicit InsertStatement(const QString& table, const Dialect* dialect = nullptr,
                             const QString& schema = {}, bool keepsEmpty = false);
    void begin();  // starts the next row's statement
    void addValue(const Variant& value, ColumnKind kind = ColumnKind::Text);
    void finish();
    // The finished statement, every value a literal: what the user reads.
    const QByteArray& utf8() const { return m_text; }
    // What is sent: the statement with a parameter marker where a value is too long for a
    // literal, and those values in order. Without such values, the statement itself.
    QByteArray sentUtf8() const;
    std::vector<BoundValue> parameters() const;
    // The statement as far as it is composed, in the form a statement composed value by value
    // takes on its way: each literal followed by ", '" (an opening quote for the next value).
    QByteArray textSoFar() const;

private:
    QByteArray m_head;
    QByteArray m_text;
    const Dialect* m_dialect;
    bool m_doubleBackslashes;
    bool m_keepsEmpty;
    // The values too long for a literal: where their literal stands in the text, and the value.
    struct LongValue {
        qsizetype begin = 0;
        qsizetype end = 0;
        BoundValue value;
    };
    std::vector<LongValue> m_longValues;
    bool m_first = true;
    bool m_finished = false;
};

QString CreateTableSql(const Dialect& target, const QString& table, const QList<FieldDescription>& fields);
QString InsertRowSql(const QString& table, const QList<Variant>& values);

}  // namespace tw
