#include "transfer/CopyStatements.h"

#include "db/SqlComposer.h"
#include "db/SqlText.h"

namespace tw {

QString SelectAllSql(const Dialect& source, const QString& table, const QString& schema) {
    return SqlComposer(source).selectAll({schema, table});
}

QString SelectAllSql(const QString& table, const QString& schema) {
    return SqlComposer().selectAll({schema, table});
}

QString SelectRowsSql(const Dialect& source, const QString& table, const QString& condition,
                      const QString& schema) {
    return SqlComposer(source).selectRows({schema, table}, condition);
}

QString DeleteAllRowsSql(const Dialect& target, const QString& table, const QString& schema) {
    return SqlComposer(target).deleteAll({schema, table});
}

QString InsertSelectSql(const Dialect& target, const QString& table, const QStringList& columns,
                        const QString& from, const QStringList& fromColumns, const QString& schema) {
    return SqlComposer(target).insertSelect({schema, table}, columns, {schema, from}, fromColumns);
}

QString ColumnTypeText(const Dialect& target, std::int16_t adoType) {
    return QLatin1Char(' ') + target.columnType(adoType).text + QLatin1Char(',');
}

namespace {

// Appends the value's literal: NULL, or the text in single quotes with each one inside doubled,
// and each backslash too where the target reads escapes.
// A Null value reads as the empty text, as NullToDefault gives it, and so becomes NULL too; an
// empty value (not Null) is '' where it is kept.
// Written straight into the statement's buffer: a copy calls this for every value.
void appendLiteral(QByteArray& out, const Variant& value, bool doubleBackslashes = false,
                   bool keepEmpty = false) {
    const QByteArray hex = value.isBinary() ? value.toUtf8() : QByteArray();
    const QByteArrayView text = value.isBinary() ? QByteArrayView(hex) : value.textUtf8();
    if (text.isEmpty()) {
        out += keepEmpty && !value.isNull() ? "''" : "NULL";
        return;
    }
    qsizetype at = out.size();
    out.resize(at + 2 + 2 * text.size());  // room for every character doubled
    char* data = out.data();
    data[at++] = '\'';
    for (const char character : text) {
        data[at++] = character;
        if (character == '\'' || (character == '\\' && doubleBackslashes)) data[at++] = character;
    }
    data[at++] = '\'';
    out.resize(at);
}

}  // namespace

std::optional<bool> logicalValue(QByteArrayView text) {
    const QByteArray word = text.trimmed().toByteArray().toLower();
    for (const char* truth : {"1", "-1", "t", "true", "y", "yes", "on"}) {
        if (word == truth) return true;
    }
    for (const char* falsehood : {"0", "f", "false", "n", "no", "off"}) {
        if (word == falsehood) return false;
    }
    return std::nullopt;
}

namespace {

// A logical value as the target writes it; a text that spells no truth goes as it is, for the
// database to accept or refuse.
std::optional<QByteArray> targetLogical(const Variant& value, const Dialect* target) {
    if (!target || value.isBinary()) return std::nullopt;
    const std::optional<bool> truth = logicalValue(value.textUtf8());
    if (!truth) return std::nullopt;
    return target->logicalText(*truth).toUtf8();
}

}  // namespace

bool isEmptyValue(const Variant& value) {
    return value.isEmptyText() || (value.isBinary() && value.bytes().isEmpty());
}

bool keepsEmptyIn(ColumnKind kind, bool keepsEmpty) {
    return keepsEmpty && (kind == ColumnKind::Text || kind == ColumnKind::Bytes);
}

BoundValue BoundValueFor(const Variant& value, ColumnKind kind, const Dialect* target, bool keepsEmpty) {
    const bool keep = keepsEmptyIn(kind, keepsEmpty) && !value.isNull();
    if (kind == ColumnKind::Bytes && value.isBinary()) {
        if (value.bytes().isEmpty() && !keep) return {};
        return {BoundValue::Kind::Bytes, value.bytes()};
    }
    if (kind == ColumnKind::Logical) {
        if (std::optional<QByteArray> logical = targetLogical(value, target)) {
            return {BoundValue::Kind::Text, std::move(*logical)};
        }
    }
    QByteArray text = value.toUtf8();  // shares the value's bytes
    if (text.isEmpty() && !keep) return {};
    return {BoundValue::Kind::Text, std::move(text)};
}

QString SqlValueText(const Variant& value) {
    QByteArray literal;
    appendLiteral(literal, value);
    return QString::fromUtf8(literal);
}

CreateTableStatement::CreateTableStatement(const Dialect& target, const QString& table, const QString& schema,
                                           const Dialect* named)
    : m_target(target),
      m_named(named ? *named : target),
      m_text(SqlComposer(m_named).createHead({schema, table})) {}

void CreateTableStatement::addColumn(const QString& name, std::int16_t adoType) {
    m_text += m_named.quotedName(name) + ColumnTypeText(m_target, adoType);
}

void CreateTableStatement::addColumn(const QString& name, const QString& type, bool notNull) {
    m_text += m_named.quotedName(name) + QLatin1Char(' ') + type +
              (notNull ? QStringLiteral(" NOT NULL,") : QStringLiteral(","));
}

QString CreateTableStatement::finish(const QStringList& primaryKey) {
    if (!primaryKey.isEmpty()) {
        QStringList quoted;
        for (const QString& column : primaryKey) quoted << m_named.quotedName(column);
        m_text += QStringLiteral("PRIMARY KEY (") + quoted.join(QLatin1Char(',')) + QStringLiteral("),");
    }
    m_text.chop(1);  // the comma after the last column
    m_text += m_target.createTableEnd();
    return m_text;
}

InsertStatement::InsertStatement(const QString& table, const Dialect* dialect, const QString& schema,
                                 bool keepsEmpty)
    : m_head(SqlComposer(dialect).insertValuesHead({schema, table}).toUtf8()),
      m_dialect(dialect),
      m_doubleBackslashes(dialect && dialect->readsBackslashEscapes()),
      m_keepsEmpty(keepsEmpty) {
    begin();
}

void InsertStatement::begin() {
    m_text.resize(0);  // keeps the buffer's room for the next row
    m_text += m_head;
    m_first = true;
    m_finished = false;
    m_longValues.clear();
}

void InsertStatement::addValue(const Variant& value, ColumnKind kind) {
    if (!m_first) m_text += ", ";
    const qsizetype begin = m_text.size();
    // Bytes in the target's own binary form, so that a column of bytes receives the very bytes
    // (the plain hex text would arrive as that text, or as a number where it reads as one).
    const bool keep = keepsEmptyIn(kind, m_keepsEmpty);
    const bool bytes =
        kind == ColumnKind::Bytes && value.isBinary() && (!value.bytes().isEmpty() || keep) && m_dialect;
    const std::optional<QByteArray> logical =
        kind == ColumnKind::Logical ? targetLogical(value, m_dialect) : std::nullopt;
    if (bytes) {
        m_dialect->appendBinaryLiteral(m_text, value.bytes());
    } else if (logical) {
        appendLiteral(m_text, Variant(logical->constData()));
    } else {
        appendLiteral(m_text, value, m_doubleBackslashes, keep);
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
        m_longValues.push_back({begin, m_text.size(), BoundValueFor(value, kind, m_dialect, m_keepsEmpty)});
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
