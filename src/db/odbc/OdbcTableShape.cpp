#include "db/odbc/OdbcTableShape.h"

#include <sqlext.h>
#include <sqlucode.h>

#include <algorithm>
#include <functional>
#include <optional>
#include <vector>

#include "db/DbError.h"
#include "db/Dialect.h"
#include "db/odbc/AwaitedCall.h"
#include "db/odbc/CatalogueValues.h"
#include "db/odbc/OdbcPrimaryKey.h"
#include "db/odbc/OdbcSession.h"
#include "db/odbc/OdbcText.h"
#include "db/odbc/TypeMapping.h"

namespace tw::odbc {

namespace {

// The columns of an SQLColumns result by the numbers ODBC gives them.
enum ColumnsResult : SQLUSMALLINT {
    kTableCatalog = 1,
    kTableSchema = 2,
    kTableName = 3,
    kColumnName = 4,
    kDataType = 5,
    kTypeName = 6,
    kColumnSize = 7,
    kDecimalDigits = 9,
    kPrecisionRadix = 10,
    kNullable = 11,
    kColumnDefault = 13,
    kOrdinalPosition = 17,
};

// The size as the shape holds it: none where the driver gives a negative one (psqlODBC's for
// bytea), and a FLOAT's precision in bits where the driver counts it in decimal digits
// (psqlODBC's float8 is a FLOAT of 17).
qint64 sizeOf(std::int16_t sqlType, qint64 size, std::optional<qint64> radix) {
    if (size < 0) return 0;
    if (sqlType == SQL_FLOAT && radix == 10) return (size * 3322 + 999) / 1000;  // log2(10) bits a digit
    return size;
}

// The columns of the table's rows as the driver describes a query of them, and the schema of
// the table the query reached where the driver tells it.
struct Described {
    QList<ColumnShape> columns;
    QByteArray schema;
};

Described describedColumns(const OdbcSession& session, const QString& table, const QString& inSchema) {
    Handle stmt(SQL_HANDLE_STMT, session.dbc.get());
    const Dialect& dialect = session.dialect ? *session.dialect : standardDialect();
    SqlString query =
        toSql(QStringLiteral("SELECT * FROM %1 WHERE 1=0").arg(dialect.qualifiedName(inSchema, table)));
    check(awaitingAnswer(session, [&] { return SQLExecDirect(stmt.get(), sqlChars(query), SQL_NTS); }), stmt,
          "SQLExecDirect");
    SQLSMALLINT count = 0;
    check(SQLNumResultCols(stmt.get(), &count), stmt, "SQLNumResultCols");
    Described result;
    for (SQLUSMALLINT column = 1; column <= count; ++column) {
        const DescribedColumn described = describeColumn(stmt, column);
        SQLCHAR typeName[256] = {};
        SQLSMALLINT typeNameLength = 0;
        if (!SQL_SUCCEEDED(SQLColAttribute(stmt.get(), column, SQL_DESC_TYPE_NAME, typeName, sizeof typeName,
                                           &typeNameLength, nullptr))) {
            typeNameLength = 0;
        }
        SQLLEN radix = 0;
        SQLColAttribute(stmt.get(), column, SQL_DESC_NUM_PREC_RADIX, nullptr, 0, nullptr, &radix);
        ColumnShape shape;
        shape.name = described.name;
        shape.sqlType = described.sqlType;
        shape.typeName = fromSql(typeName, qMin<qsizetype>(typeNameLength, sizeof typeName - 1));
        shape.size =
            sizeOf(described.sqlType, static_cast<qint64>(static_cast<SQLLEN>(described.size)), radix);
        shape.digits = described.digits;
        shape.nullable = described.nullable != SQL_NO_NULLS;
        shape.fieldType = adoTypeOfColumn(stmt.get(), column, described.sqlType);
        result.columns << shape;
    }
    SQLCHAR schema[256] = {};
    SQLSMALLINT schemaLength = 0;
    if (count > 0 && SQL_SUCCEEDED(SQLColAttribute(stmt.get(), 1, SQL_DESC_SCHEMA_NAME, schema, sizeof schema,
                                                   &schemaLength, nullptr))) {
        result.schema = QByteArray(reinterpret_cast<const char*>(schema),
                                   qMin<qsizetype>(schemaLength, sizeof schema - 1));
    }
    return result;
}

// One table of that name as the catalogue lists it, in one catalogue and schema.
struct CatalogueTable {
    CatalogueName catalog;
    CatalogueName schema;
    std::vector<std::pair<qint64, ColumnShape>> columns;  // by ordinal position, once sorted
};

// The columns psqlODBC lists with the length, precision or scale its type modifier gives, which
// it makes up where none was declared (255 characters, 28 digits with 6 after the point).
bool sizedByTypeModifier(std::int16_t sqlType) {
    switch (sqlType) {
        case SQL_CHAR:
        case SQL_VARCHAR:
        case SQL_WCHAR:
        case SQL_WVARCHAR:
        case SQL_NUMERIC:
        case SQL_DECIMAL:
            return true;
        default:
            return false;
    }
}

// The result's column of that name beyond those ODBC defines; 0 where there is none.
SQLUSMALLINT extraColumnNamed(const Handle& stmt, const char* wanted) {
    SQLSMALLINT count = 0;
    SQLNumResultCols(stmt.get(), &count);
    for (SQLUSMALLINT column = kOrdinalPosition + 1; column <= count; ++column) {
        SQLCHAR label[64] = {};
        SQLSMALLINT length = 0;
        if (SQL_SUCCEEDED(SQLDescribeCol(stmt.get(), column, label, sizeof label, &length, nullptr, nullptr,
                                         nullptr, nullptr)) &&
            QByteArrayView(reinterpret_cast<const char*>(label)).compare(wanted, Qt::CaseInsensitive) == 0) {
            return column;
        }
    }
    return 0;
}

// Every table of exactly that name the catalogue lists, in the order it lists them: in the
// schema given, or where the driver looks without one. psqlODBC then looks in the first schema
// of the search path alone, which need not be the one that holds the table.
std::vector<CatalogueTable> catalogueTables(const OdbcSession& session, const QString& table,
                                            const QByteArray& schema) {
    Handle stmt(SQL_HANDLE_STMT, session.dbc.get());
    const QByteArray name = toSql(table);
    QByteArray pattern = namePattern(session, name);
    QByteArray schemaPattern = namePattern(session, schema);
    QByteArray catalog = session.catalogOfSchema(schema);
    if (!catalog.isEmpty()) schemaPattern.clear();  // the schema is the catalog
    check(awaitingAnswer(session,
                         [&] {
                             return SQLColumns(stmt.get(), catalog.isEmpty() ? nullptr : sqlChars(catalog),
                                               static_cast<SQLSMALLINT>(catalog.size()),
                                               schemaPattern.isEmpty() ? nullptr : sqlChars(schemaPattern),
                                               static_cast<SQLSMALLINT>(schemaPattern.size()),
                                               sqlChars(pattern), static_cast<SQLSMALLINT>(pattern.size()),
                                               nullptr, 0);
                         }),
          stmt, "SQLColumns");
    // Where the driver says which columns were declared without a length, precision or scale.
    const QByteArray marker = session.dialect ? session.dialect->unsizedColumnsMarker() : QByteArray();
    const SQLUSMALLINT typeModifier = marker.isEmpty() ? 0 : extraColumnNamed(stmt, marker.constData());
    std::vector<CatalogueTable> tables;
    for (SQLRETURN rc = SQLFetch(stmt.get()); rc != SQL_NO_DATA; rc = SQLFetch(stmt.get())) {
        check(rc, stmt, "SQLFetch");
        CatalogueName rowCatalog = textAt(stmt, kTableCatalog);
        CatalogueName rowSchema = textAt(stmt, kTableSchema);
        if (textAt(stmt, kTableName) != name) continue;
        ColumnShape shape;
        shape.name = nameText(textAt(stmt, kColumnName));
        shape.sqlType = static_cast<std::int16_t>(numberAt(stmt, kDataType).value_or(SQL_UNKNOWN_TYPE));
        shape.typeName = nameText(textAt(stmt, kTypeName));
        const qint64 size = numberAt(stmt, kColumnSize).value_or(0);
        shape.digits = static_cast<int>(numberAt(stmt, kDecimalDigits).value_or(-1));
        shape.size = sizeOf(shape.sqlType, size, numberAt(stmt, kPrecisionRadix));
        shape.nullable = numberAt(stmt, kNullable) != SQL_NO_NULLS;
        // A default of NULL is written as the word NULL: no value for a NOT NULL column.
        const std::optional<QByteArray> byDefault = textAt(stmt, kColumnDefault);
        shape.hasDefault = byDefault && byDefault->trimmed().toUpper() != "NULL";
        const std::optional<qint64> ordinal = numberAt(stmt, kOrdinalPosition);
        if (typeModifier && sizedByTypeModifier(shape.sqlType) && numberAt(stmt, typeModifier) == -1) {
            shape.size = 0;
            shape.digits = -1;
        }
        auto found = std::find_if(tables.begin(), tables.end(), [&](const CatalogueTable& listed) {
            return listed.catalog == rowCatalog && listed.schema == rowSchema;
        });
        if (found == tables.end()) {
            tables.push_back({std::move(rowCatalog), std::move(rowSchema), {}});
            found = std::prev(tables.end());
        }
        // A driver without positions lists the columns in their order.
        const qint64 position = ordinal.value_or(static_cast<qint64>(found->columns.size()) + 1);
        found->columns.emplace_back(position, std::move(shape));
    }
    for (CatalogueTable& listed : tables) {
        std::stable_sort(listed.columns.begin(), listed.columns.end(),
                         [](const auto& a, const auto& b) { return a.first < b.first; });
    }
    return tables;
}

// Each row of a question the dialect asks of the catalogue about a table's columns: the column it
// names, and the text of its second field. A question that fails tells nothing.
void eachColumnAnswer(const OdbcSession& session, const QString& query, TableShape& shape,
                      const std::function<void(ColumnShape&, const std::optional<QByteArray>&)>& take) {
    if (query.isEmpty()) return;
    try {
        Handle stmt(SQL_HANDLE_STMT, session.dbc.get());
        SqlString text = toSql(query);
        check(awaitingAnswer(session, [&] { return SQLExecDirect(stmt.get(), sqlChars(text), SQL_NTS); }),
              stmt, "SQLExecDirect");
        for (SQLRETURN rc = SQLFetch(stmt.get()); rc != SQL_NO_DATA; rc = SQLFetch(stmt.get())) {
            check(rc, stmt, "SQLFetch");
            const QString name = nameText(textAt(stmt, 1));
            const std::optional<QByteArray> second = textAt(stmt, 2);
            for (ColumnShape& column : shape.columns) {
                if (column.name == name) take(column, second);
            }
        }
    } catch (const DbError&) {
    }
}

// Marks the columns the database computes, and those it numbers as having a default; and the
// digits of a second the time columns keep, where the driver does not tell them.
void markFromCatalogue(const OdbcSession& session, const QString& schema, const QString& table,
                       TableShape& shape) {
    if (!session.dialect) return;
    eachColumnAnswer(session, session.dialect->generatedColumnsQuery(schema, table), shape,
                     [](ColumnShape& column, const std::optional<QByteArray>& kind) {
                         (kind.value_or(QByteArray()).isEmpty() ? column.hasDefault : column.generated) =
                             true;
                     });
    eachColumnAnswer(session, session.dialect->secondsDigitsQuery(schema, table), shape,
                     [](ColumnShape& column, const std::optional<QByteArray>& digits) {
                         bool number = false;
                         const int kept = digits.value_or(QByteArray()).toInt(&number);
                         if (number) column.digits = kept;
                     });
}

}  // namespace

// A name as a pattern that matches it alone, its wildcards escaped; or as it is, where the
// driver has no escape (the rows are checked for the exact name anyway).
QByteArray namePattern(const OdbcSession& session, const QByteArray& table) {
    SQLCHAR escape[8] = {};
    SQLSMALLINT length = 0;
    if (!SQL_SUCCEEDED(
            SQLGetInfo(session.dbc.get(), SQL_SEARCH_PATTERN_ESCAPE, escape, sizeof escape, &length)) ||
        length <= 0 || length >= static_cast<SQLSMALLINT>(sizeof escape)) {
        return table;
    }
    const QByteArray escapeText(reinterpret_cast<const char*>(escape), length);
    QByteArray pattern;
    for (qsizetype at = 0; at < table.size(); ++at) {
        if (table[at] == '_' || table[at] == '%' || QByteArrayView(table).sliced(at).startsWith(escapeText)) {
            pattern += escapeText;
        }
        pattern += table[at];
    }
    return pattern;
}

TableShape readTableShape(const OdbcSession& session, const QString& table, const QString& schema) {
    TableShape shape;
    const Described described = describedColumns(session, table, schema);
    shape.columns = described.columns;
    QStringList names;
    for (const ColumnShape& column : shape.columns) names << column.name;
    // The table the query reached is the one whose columns are the query's, in its order:
    // another schema may hold a table of the same name. What the catalogue cannot tell leaves
    // the query's description, without a key: a driver may not list columns or keys at all.
    std::vector<CatalogueTable> listedTables;
    try {
        listedTables = catalogueTables(session, table, schema.isEmpty() ? described.schema : toSql(schema));
    } catch (const DbError&) {
    }
    for (const CatalogueTable& listed : listedTables) {
        QStringList listedNames;
        for (const auto& [position, column] : listed.columns) listedNames << column.name;
        if (listedNames != names) continue;
        for (qsizetype at = 0; at < shape.columns.size(); ++at) {
            const int fieldType = shape.columns[at].fieldType;  // the catalogue does not say it
            shape.columns[at] = listed.columns[at].second;
            shape.columns[at].fieldType = fieldType;
        }
        try {
            shape.primaryKey = readPrimaryKey(session, listed.catalog, listed.schema, table);
        } catch (const DbError&) {
        }
        const bool catalogs = session.dialect && session.dialect->schemasAreCatalogs();
        markFromCatalogue(session, nameText(catalogs ? listed.catalog : listed.schema), table, shape);
        break;
    }
    if (session.dialect) {
        for (ColumnShape& column : shape.columns) session.dialect->readDeclaredType(column);
    }
    return shape;
}

}  // namespace tw::odbc
