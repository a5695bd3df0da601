#include "transfer/CopyStatements.h"

#include "db/SqlText.h"

namespace tw {

QString SelectAllSql(const QString& table) { return QStringLiteral("SELECT * FROM ") + quotedName(table); }

QString ColumnTypeText(const Dialect& target, std::int16_t adoType) {
    return QLatin1Char(' ') + target.columnType(adoType).text + QLatin1Char(',');
}

ColumnKind CreatedColumnKind(const Dialect& target, std::int16_t adoType) {
    return target.columnType(adoType).kind;
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

}  // namespace

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

CreateTableStatement::CreateTableStatement(const Dialect& target, const QString& table)
    : m_target(target),
      m_text(QStringLiteral("CREATE TABLE ") + target.quotedName(table) + QLatin1Char('(')) {}

void CreateTableStatement::addColumn(const QString& name, std::int16_t adoType) {
    m_text += m_target.quotedName(name) + ColumnTypeText(m_target, adoType);
}

QString CreateTableStatement::finish() {
    m_text.chop(1);  // the comma after the last column
    m_text += m_target.createTableEnd();
    return m_text;
}

InsertStatement::InsertStatement(const QString& table, const Dialect* dialect)
    : m_head((QStringLiteral("INSERT INTO ") + quotedName(table) + QStringLiteral(" VALUES(")).toUtf8()),
      m_dialect(dialect) {
    begin();
}

void InsertStatement::begin() {
    m_text.resize(0);  // keeps the buffer's room for the next row
    m_text += m_head;
    m_first = true;
    m_finished = false;
    m_longValues.clear();
}

void InsertStatement::addValue(const Variant& value, bool longBinaryColumn) {
    if (!m_first) m_text += ", ";
    const qsizetype begin = m_text.size();
    // Bytes in the target's own binary form, so that a long-binary column receives the very
    // bytes (the plain hex text would arrive as that text, or as a number where it reads as one).
    const bool bytes = longBinaryColumn && value.isBinary() && !value.bytes().isEmpty() && m_dialect;
    if (bytes) {
        m_dialect->appendBinaryLiteral(m_text, value.bytes());
    } else {
        appendLiteral(m_text, value);
    }
    m_first = false;
    if (!m_dialect) return;
    const qsizetype limit = bytes ? m_dialect->longestBinaryLiteral() : m_dialect->longestTextLiteral();
    if (limit <= 0) return;
    // The value's own length, without making its bound form: binary outside a long-binary
    // column is written as two hex digits a byte.
    const qsizetype length = !value.isBinary() ? value.textUtf8().size()
                             : bytes           ? value.bytes().size()
                                               : 2 * value.bytes().size();
    if (length > limit)
        m_longValues.push_back({begin, m_text.size(), BoundValueFor(value, longBinaryColumn)});
}

QByteArray InsertStatement::sentUtf8() const {
    if (m_longValues.empty()) return m_text;
    QByteArray sent;
    qsizetype at = 0;
    for (const LongValue& value : m_longValues) {
        sent += QByteArrayView(m_text).sliced(at, value.begin - at);
        sent += '?';
        at = value.end;
    }
    sent += QByteArrayView(m_text).sliced(at);
    return sent;
}

std::vector<BoundValue> InsertStatement::parameters() const {
    std::vector<BoundValue> values;
    for (const LongValue& value : m_longValues) values.push_back(value.value);
    return values;
}

void InsertStatement::finish() {
    m_text += ')';
    m_finished = true;
}

QByteArray InsertStatement::textSoFar() const {
    if (m_finished) return m_text;
    return m_text + (m_first ? "'" : ", '");
}

QString CreateTableSql(const Dialect& target, const QString& table, const QList<FieldDescription>& fields) {
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
