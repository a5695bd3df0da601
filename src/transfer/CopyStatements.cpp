#include "transfer/CopyStatements.h"

#include "db/Datatype.h"
#include "db/SqlText.h"

namespace tw {

namespace {

bool containsAny(const QString& text, std::initializer_list<const char*> words) {
    for (const char* word : words) {
        if (text.contains(QLatin1String(word))) return true;
    }
    return false;
}

}  // namespace

QString SelectAllSql(const QString& table) { return QStringLiteral("SELECT * FROM ") + quotedName(table); }

// The first key word found in the lower-cased ADO type name decides.
QString ColumnTypeText(TargetDatabase target, std::int16_t adoType) {
    const QString name = AdoTypeName(adoType).toLower();
    if (target == TargetDatabase::Oracle) {
        if (name.contains(QLatin1String("char"))) return QStringLiteral(" VARCHAR(2000),");
        if (containsAny(name, {"decimal", "numeric"})) return QStringLiteral(" NUMERIC,");
        if (name.contains(QLatin1String("adlongvarbinary"))) return QStringLiteral(" BLOB,");
        if (name.contains(QLatin1String("binary"))) return QStringLiteral(" VARCHAR(2000),");
        if (name.contains(QLatin1String("int"))) return QStringLiteral(" NUMERIC,");
        return QStringLiteral(" VARCHAR(2000),");
    }
    if (name.contains(QLatin1String("char"))) return QStringLiteral(" TEXT,");
    if (containsAny(name, {"dec", "numeric", "int"})) return QStringLiteral(" NUMERIC,");
    if (name.contains(QLatin1String("adlongvarbinary"))) return QStringLiteral(" OLEOBJECT,");
    return QStringLiteral(" TEXT,");
}

ColumnKind CreatedColumnKind(TargetDatabase target, std::int16_t adoType) {
    const QString type = ColumnTypeText(target, adoType);
    if (type == QLatin1String(" NUMERIC,")) return ColumnKind::Number;
    if (type == QLatin1String(" BLOB,") || type == QLatin1String(" OLEOBJECT,"))
        return ColumnKind::LongBinary;
    return ColumnKind::Text;
}

namespace {

// Appends the value's literal: NULL, or the text in single quotes with each one inside doubled.
// A Null value reads as the empty text, as NullToDefault gives it, and so becomes NULL too.
// Written straight into the statement's buffer: a copy calls this for every value.
void appendLiteral(QByteArray& out, const Variant& value) {
    const QByteArray hex = value.isBinary() ? value.toUtf8() : QByteArray();
    const QByteArrayView text = value.isBinary() ? QByteArrayView(hex) : value.textUtf8();
    if (text.isEmpty()) {
        out += "NULL";
        return;
    }
    qsizetype at = out.size();
    out.resize(at + 2 + 2 * text.size());  // room for every character doubled
    char* data = out.data();
    data[at++] = '\'';
    for (const char character : text) {
        data[at++] = character;
        if (character == '\'') data[at++] = '\'';
    }
    data[at++] = '\'';
    out.resize(at);
}

// Bytes in the target's own binary form, so that a long-binary column receives the very bytes
// (the plain hex text would arrive as that text, or as a number where it reads as one).
void appendBinaryLiteral(QByteArray& out, const QByteArray& bytes, BinaryLiteral form) {
    if (bytes.isEmpty()) {
        out += "NULL";
        return;
    }
    switch (form) {
        case BinaryLiteral::HexText:
            out += '\'' + bytes.toHex().toUpper() + '\'';
            break;
        case BinaryLiteral::SqliteBlob:
            out += "X'" + bytes.toHex().toUpper() + '\'';
            break;
        case BinaryLiteral::PostgresBytea:
            out += "'\\x" + bytes.toHex() + '\'';
            break;
        case BinaryLiteral::OracleHexToRaw:
            out += "HEXTORAW('" + bytes.toHex().toUpper() + "')";
            break;
        case BinaryLiteral::SqlAnywhereHex:
            out += "0x" + bytes.toHex().toUpper();
            break;
    }
}

}  // namespace

BinaryLiteral BinaryLiteralFor(TargetDatabase target, DatabaseProduct product) {
    switch (product) {
        case DatabaseProduct::SQLite:
            return BinaryLiteral::SqliteBlob;
        case DatabaseProduct::PostgreSQL:
            return BinaryLiteral::PostgresBytea;
        case DatabaseProduct::Oracle:
            return BinaryLiteral::OracleHexToRaw;
        case DatabaseProduct::SqlAnywhere:
            return BinaryLiteral::SqlAnywhereHex;
        case DatabaseProduct::Unknown:
            break;
    }
    return target == TargetDatabase::Oracle ? BinaryLiteral::OracleHexToRaw : BinaryLiteral::SqlAnywhereHex;
}

BoundValue BoundValueFor(const Variant& value, bool longBinaryColumn) {
    if (longBinaryColumn && value.isBinary()) {
        if (value.bytes().isEmpty()) return {};
        return {BoundValue::Kind::Bytes, value.bytes()};
    }
    QByteArray text = value.toUtf8();  // shares the value's bytes
    if (text.isEmpty()) return {};
    return {BoundValue::Kind::Text, std::move(text)};
}

QString SqlValueText(const Variant& value) {
    QByteArray literal;
    appendLiteral(literal, value);
    return QString::fromUtf8(literal);
}

CreateTableStatement::CreateTableStatement(TargetDatabase target, const QString& table)
    : m_target(target), m_text(QStringLiteral("CREATE TABLE ") + quotedName(table) + QLatin1Char('(')) {}

void CreateTableStatement::addColumn(const QString& name, std::int16_t adoType) {
    m_text += quotedName(name) + ColumnTypeText(m_target, adoType);
}

QString CreateTableStatement::finish() {
    m_text.chop(1);  // the comma after the last column
    m_text += m_target == TargetDatabase::Oracle ? QStringLiteral(")") : QStringLiteral(");");
    return m_text;
}

InsertStatement::InsertStatement(const QString& table, BinaryLiteral binary)
    : m_head((QStringLiteral("INSERT INTO ") + quotedName(table) + QStringLiteral(" VALUES(")).toUtf8()),
      m_binary(binary) {
    begin();
}

void InsertStatement::begin() {
    m_text.resize(0);  // keeps the buffer's room for the next row
    m_text += m_head;
    m_first = true;
    m_finished = false;
}

void InsertStatement::addValue(const Variant& value, bool longBinaryColumn) {
    if (!m_first) m_text += ", ";
    if (longBinaryColumn && value.isBinary()) {
        appendBinaryLiteral(m_text, value.bytes(), m_binary);
    } else {
        appendLiteral(m_text, value);
    }
    m_first = false;
}

void InsertStatement::finish() {
    m_text += ')';
    m_finished = true;
}

QByteArray InsertStatement::textSoFar() const {
    if (m_finished) return m_text;
    return m_text + (m_first ? "'" : ", '");
}

QString CreateTableSql(TargetDatabase target, const QString& table, const QList<FieldDescription>& fields) {
    CreateTableStatement statement(target, table);
    for (const FieldDescription& field : fields) statement.addColumn(field.name, field.type);
    return statement.finish();
}

QString InsertRowSql(const QString& table, const QList<Variant>& values) {
    InsertStatement statement(table);
    for (const Variant& value : values) statement.addValue(value);
    statement.finish();
    return QString::fromUtf8(statement.utf8());
}

}  // namespace tw
