#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <optional>
#include <span>

#include "db/BulkWriteRequest.h"
#include "db/TableShape.h"

namespace tw {

class BatchWriter;
class Connection;
class DbError;

// What a created column holds, as its type decides how its values are written and compared:
// exact numbers by value, binary as bytes, floating point by value, logical values as true or
// false, dates and times by their moment, all else as the exact text.
enum class ColumnKind { Number, Bytes, Text, Float, Logical, Moment };

// A type a copy gives a created column: its text in CREATE TABLE and what the column holds.
struct ColumnType {
    QString text;  // "VARCHAR(2000)"
    ColumnKind kind = ColumnKind::Text;
};

// Everything the program knows that differs between the databases it meets: how a name and
// bytes are written, how a table is renamed, the column types a copy creates, what a
// session needs first, and what the driver does its own way. One per database product; the
// product the connected driver names (SQL_DBMS_NAME) decides, and a side whose driver names
// none speaks its own side's dialect.
class Dialect {
public:
    virtual ~Dialect() = default;

    // The product as people name it: "Oracle", "SQL Anywhere", "PostgreSQL", "SQLite".
    virtual QString title() const = 0;
    // Whether a driver's SQL_DBMS_NAME names this product.
    virtual bool isNamed(const QByteArray& dbmsName) const = 0;

    // A table or column name between double quotes, every double quote in it doubled: the SQL
    // standard's way, which all four products read.
    virtual QString quotedName(const QString& name) const;
    // A table's name in its schema where one is given ("S"."T"), else the name alone.
    QString qualifiedName(const QString& schema, const QString& table) const {
        return schema.isEmpty() ? quotedName(table)
                                : quotedName(schema) + QLatin1Char('.') + quotedName(table);
    }
    // Bytes (never none) in the product's own binary literal, so that a column of bytes
    // receives the very bytes.
    virtual void appendBinaryLiteral(QByteArray& out, const QByteArray& bytes) const = 0;
    // A backslash in a string literal begins an escape ('\n' is a line break), as it does in
    // MariaDB and MySQL unless told otherwise: a literal doubles every backslash it holds.
    virtual bool readsBackslashEscapes() const { return false; }
    // What two table names share when the product takes them for one table, quoted as the
    // program quotes them: the name itself where quoted names tell case apart.
    virtual QString sameTableKey(const QString& name) const { return name; }
    // The statement that gives a table a new name, in its schema where one is given; by default
    // ALTER TABLE … RENAME TO ….
    virtual QString renameSql(const QString& oldName, const QString& newName,
                              const QString& schema = {}) const;
    // The type a copy gives a column of the source's ADO type, and how its CREATE TABLE ends.
    virtual ColumnType columnType(std::int16_t adoType) const = 0;
    virtual QString createTableEnd() const { return QStringLiteral(")"); }

    // The faithful copy's type for a column of the source's shape, from the dialect's type
    // table; none where the product has no type that keeps the column's values as they are.
    std::optional<ColumnType> faithfulType(const ColumnShape& column) const;
    // Makes the types of a primary key's columns, in key order, fit in a key where those the
    // copy gives them cannot be one together (long text, say); as they are by default.
    virtual void fitKey(QList<ColumnType>& /*key*/) const {}
    // A logical value as the product writes it.
    virtual QString logicalText(bool truth) const {
        return truth ? QStringLiteral("1") : QStringLiteral("0");
    }
    // Whether the product keeps an empty text apart from NULL. The copy writes both as NULL
    // everywhere; where the product keeps none, that is the product's doing, not the copy's.
    virtual bool keepsEmptyText() const { return true; }
    // Makes the column's shape say what the product's usual driver leaves unsaid or says
    // otherwise (a type only its name tells, say).
    virtual void readDeclaredType(ColumnShape& /*column*/) const {}
    // The expression a copy reads the column through where the product's usual driver would
    // change its values on the way (a date it cannot parse, a value of another storage class),
    // so that each value comes as the database itself writes it; empty where the column reads
    // as it is. `quoted` is the column's quoted name. A rendered column is read as text.
    virtual QString renderedColumn(const ColumnShape& /*column*/, ColumnKind /*readAs*/,
                                   const QString& /*quoted*/) const {
        return QString();
    }
    // Whether any column may be rendered: only then is a table's shape read to read its rows.
    virtual bool rendersColumns() const { return false; }
    // A rendered value may come marked as what it is, where the column's usual reading would
    // change it: this character, one letter, and then its bytes in hex ('b' bytes, 't' text).
    static constexpr char kStoredAsMark = '\x01';

    // A query whose rows name the columns of the table that the database fills itself, one a
    // row: the name, then text that is empty for a column it numbers (an identity column, whose
    // default no catalogue shows) and not for one it computes (a generated column). Empty where
    // the product has none or its driver tells.
    virtual QString generatedColumnsQuery(const QString& /*schema*/, const QString& /*table*/) const {
        return QString();
    }

    // A query whose rows give the digits of a second the table's time and timestamp columns
    // keep, one a row: the name, then the digits. Empty where the product's driver tells them.
    virtual QString secondsDigitsQuery(const QString& /*schema*/, const QString& /*table*/) const {
        return QString();
    }

    // Statements run right after connecting, before anything else; a failing one fails the
    // connection.
    virtual QStringList sessionSetUp() const { return {}; }
    // Statements that make a session one that only reads, where the product can be told so: a
    // statement that would change the database then fails, whatever a user's row condition
    // calls. None where the product has no such session.
    virtual QStringList readOnlySetUp() const { return {}; }
    // Whether that set-up holds for one transaction only, begun before it and left open while
    // the session reads (until the connection closes, which rolls it back).
    virtual bool readsInOneTransaction() const { return false; }

    // The longest value a literal may carry, in bytes (text in UTF-8, binary before its hex);
    // 0 where there is no limit. A longer value travels as a bound parameter.
    virtual qsizetype longestTextLiteral() const { return 0; }
    virtual qsizetype longestBinaryLiteral() const { return 0; }

    // Whether DROP TABLE and a rename can be one transaction, undone together: a replace then
    // swaps its new table in at once.
    virtual bool changesTablesInTransactions() const { return false; }

    // The statement that renames two tables at once, all or nothing, where the product renames
    // several tables in one statement; empty where it cannot. A replace's swap then never leaves
    // the name without a table.
    virtual QString renameTwoSql(const QString& /*first*/, const QString& /*firstTo*/,
                                 const QString& /*second*/, const QString& /*secondTo*/,
                                 const QString& /*schema*/) const {
        return QString();
    }

    // The statement that names a table's keys after it where the product named them after the
    // staging table they were made on (PostgreSQL's "T~tw-stage-…_pkey"), run once the table has
    // its name; empty where the product names no key after its table, or renames them with it.
    virtual QString keysNamedAfterTableSql(const QString& /*schema*/, const QString& /*table*/) const {
        return QString();
    }

    // A query whose one row says what stores the table, where some of the product's tables
    // cannot undo a change: the storage engine's name, then 'NO' where the engine takes no part
    // in transactions (a failed load into its table leaves what went in). Empty where every
    // table of the product is undone with its transaction.
    virtual QString tableEngineQuery(const QString& /*schema*/, const QString& /*table*/) const {
        return QString();
    }

    // A query whose rows are the foreign keys of other tables that reference the table, one a
    // row, and only where deleting its rows reaches theirs in this session: the referencing
    // table's name, then what a deleted row does to its rows ('CASCADE', 'SET NULL',
    // 'SET DEFAULT', 'RESTRICT', 'NO ACTION'). Empty where the program knows no catalogue.
    virtual QString referencingKeysQuery(const QString& /*schema*/, const QString& /*table*/) const {
        return QString();
    }

    // The database refused a row's statement for the row's own values (a value it cannot take,
    // a key or a constraint the row breaks): the next row may well go in. That is a data
    // exception or an integrity constraint violation (SQLSTATE classes 22 and 23), or one of the
    // product's own codes for those where its driver says only HY000. Anything else (a lost
    // connection, a busy or locked database, a full disk, a read-only one, a failure nobody
    // foresaw) is no row's fault: the rows after it would meet it too.
    bool refusesOnlyTheRow(const DbError& failure) const;

    // The database runs inside the program, in the driver: a batch costs the program's own
    // processor time, so sending it while the next is read gains nothing.
    virtual bool writesInThisProcess() const { return false; }

    // A writer of batches by the product's own bulk path (PostgreSQL's COPY on a libpq
    // connection of its own, the path the product's own tools take); none where the rows go as
    // the connection sends them by default, as bound parameter arrays through its driver
    // (Oracle's and SQL Anywhere's drivers execute them natively).
    virtual std::unique_ptr<BatchWriter> bulkWriter(const BulkWriteRequest& request) const;
    // The statement batches of rows go by on the product's own bulk path (PostgreSQL's COPY),
    // as the dry run shows it; none where batches go as INSERTs.
    virtual QString bulkRowsStatement(const QString& /*intoTable*/) const { return QString(); }

    // How many rows one INSERT … VALUES may carry in a batch, for a table of this many columns.
    // A server parses and plans each statement it is sent: several rows to one statement save
    // it that work for all rows but the first. 1: a statement a row.
    virtual int rowsPerInsert(int /*columns*/) const { return 1; }

    // The most digits after the point a number keeps in a column whose scale the program does
    // not know, where the product rounds the others without refusing them; 0: no such limit.
    virtual int mostDecimalDigits() const { return 0; }

    // Keeps a value of any storage class in any column: bytes in a column of text go in as bytes.
    virtual bool keepsAnyStorageClass() const { return false; }

    // What the product's usual driver does its own way.
    // Reads every row of a binary parameter array with the first row's length.
    virtual bool bindsBinaryArraysByFirstLength() const { return false; }
    // Says that the server refused a parameter array only by the rows it counts: the statement
    // took none of them, yet it succeeded and every row's status says so.
    virtual bool tellsARefusedArrayOnlyByItsCount() const { return false; }
    // Lists the product's own tables as ordinary ones, under names that start with this.
    virtual QString ownTablesPrefix() const { return QString(); }
    // Lists the tables of every schema where asked for none, though a statement finds only those
    // of the schemas this query gives (one a row): the list then holds only those.
    virtual QString schemasFoundSql() const { return QString(); }
    // Adds a column of this name to SQLColumns that says -1 where a column's declaration gave no
    // length, precision or scale (which the standard columns then fill with the type's largest).
    virtual QByteArray unsizedColumnsMarker() const { return QByteArray(); }
    // Numbers the columns of a primary key (SQLPrimaryKeys' KEY_SEQ) in the table's order rather
    // than the key's own; the key's unique index tells the order.
    virtual bool numbersKeyColumnsInTableOrder() const { return false; }
    // Says the product takes longer table and column names than it does: the bytes it takes at
    // most (0: as the driver says).
    virtual int longestNameBytes() const { return 0; }
    // Names the product's schemas (MariaDB's databases) as catalogs, refuses a schema in a
    // catalogue function, and lists the tables of every catalog where it is told none.
    virtual bool schemasAreCatalogs() const { return false; }
    // Says it reads any value of a block's row once positioned on it, and reads none (NULL, or no
    // data): its rows are fetched one at a time.
    virtual bool misreadsBlockRows() const { return false; }

protected:
    // One row of a faithful type table: a column of this sort gets this type, where {n} stands
    // for its length or precision, {s} for its scale and {f} for the digits of its seconds'
    // fraction (6 where the source does not say). Where the length, precision or digits are
    // more than `longest`, the type `beyond` is given instead; without one, the next row of the
    // same sort decides (none: no faithful type).
    struct FaithfulRule {
        ColumnSort sort;
        const char* type;
        qint64 longest = 0;
        const char* beyond = nullptr;
    };
    virtual std::span<const FaithfulRule> faithfulRules() const = 0;
    // The product's native error codes that refuse a row for its own values.
    virtual std::span<const int> rowRefusalCodes() const { return {}; }

    // One row of a type table: the first row one of whose words the lower-cased ADO type name
    // holds gives the type.
    struct TypeRule {
        std::initializer_list<const char*> words;
        ColumnType type;
    };
    static ColumnType typeByRules(std::int16_t adoType, std::initializer_list<TypeRule> rules,
                                  const ColumnType& otherwise);
    // Whole and exact-decimal numbers become NUMERIC, long binary the given type, all else TEXT.
    static ColumnType numberTextOrBinary(std::int16_t adoType, const QString& longBinaryType);
};

// The products of the two sides, and the stand's products that stand in for them.
const Dialect& oracleDialect();
const Dialect& sqlAnywhereDialect();
const Dialect& postgresDialect();
const Dialect& sqliteDialect();
// MariaDB, and MySQL, which writes the same SQL.
const Dialect& mariaDbDialect();
const Dialect& mySqlDialect();
// The SQL standard's names, literals and types, for a product no dialect knows; no driver's
// name chooses it.
const Dialect& standardDialect();

// The dialect of the product a driver names, or none.
const Dialect* dialectNamed(const QByteArray& dbmsName);

// The dialect a connection speaks: the product its driver names, else the side's own.
const Dialect& DialectFor(const Connection* connection, const Dialect& side);

}  // namespace tw
