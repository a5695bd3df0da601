#include "db/RenderedRead.h"

#include <algorithm>
#include <vector>

#include "db/Connection.h"
#include "db/SqlComposer.h"

namespace tw {

namespace {

bool isBytes(const ColumnShape& column) {
    const ColumnSort sort = sortOf(column);
    return sort == ColumnSort::Binary || sort == ColumnSort::VarBinary || sort == ColumnSort::LongBinary;
}

// The rows of the rendered statement under the names and field types of SELECT *, each marked
// value read as what it is.
class RenderedRecordset : public Recordset {
public:
    RenderedRecordset(std::unique_ptr<Recordset> rows, QList<Field> fields, QList<bool> rendered)
        : m_rows(std::move(rows)), m_fields(std::move(fields)), m_rendered(std::move(rendered)) {
        take();
    }

    qint64 recordCount() override { return m_rows->recordCount(); }
    bool eof() const override { return m_rows->eof(); }
    void moveNext() override {
        m_rows->moveNext();
        take();
    }
    int fieldCount() const override { return static_cast<int>(m_fields.size()); }
    const Field& field(int index) const override {
        if (index < 0 || index >= m_rendered.size() || !m_rendered[index]) return m_rows->field(index);
        return m_fields[index];
    }
    const Field& field(const QString& name) const override {
        for (int index = 0; index < fieldCount(); ++index) {
            if (m_fields[index].name.compare(name, Qt::CaseInsensitive) == 0) return field(index);
        }
        return m_rows->field(name);
    }
    void close() override { m_rows->close(); }

private:
    void take() {
        const int count = std::min(static_cast<int>(m_fields.size()), m_rows->fieldCount());
        for (int index = 0; index < count; ++index) {
            if (index < m_rendered.size() && m_rendered[index])
                keep(m_rows->field(index).value, m_fields[index].value);
        }
    }

    // The value read, copied into the room the kept one had: a value shared with the reader's
    // would have the reader's next value take new room, for every value of every row.
    static void keep(const Variant& read, Variant& kept) {
        const QByteArrayView text = read.textUtf8();
        if (text.size() >= 2 && text[0] == Dialect::kStoredAsMark) {
            kept = unmarked(read);
        } else if (read.isBinary()) {
            kept = read;
        } else if (read.isNull()) {
            kept.setNull();
        } else {
            kept.setUtf8Text(text);
        }
    }

    std::unique_ptr<Recordset> m_rows;
    QList<Field> m_fields;
    QList<bool> m_rendered;
};

// The shape's columns of these names, in their order; a name the shape does not describe is
// read as the driver gives it.
TableShape namedColumns(const TableShape& shape, const QStringList& names) {
    TableShape named;
    for (const QString& name : names) {
        const auto described = std::find_if(shape.columns.begin(), shape.columns.end(),
                                            [&](const ColumnShape& column) { return column.name == name; });
        ColumnShape column;
        column.name = name;
        named.columns << (described != shape.columns.end() ? *described : column);
    }
    return named;
}

}  // namespace

RenderedRead renderedRead(const Dialect& dialect, const QString& table, const TableShape& wholeShape,
                          const QList<ColumnKind>& kinds, const QString& condition, const QStringList& named,
                          const QString& schema) {
    const TableShape shape = named.isEmpty() ? wholeShape : namedColumns(wholeShape, named);
    RenderedRead read;
    read.table = table;
    read.schema = schema;
    read.kinds = kinds;
    QStringList columns;
    for (qsizetype index = 0; index < shape.columns.size(); ++index) {
        const ColumnShape& column = shape.columns[index];
        const ColumnKind readAs =
            index < kinds.size() ? kinds[index] : (isBytes(column) ? ColumnKind::Bytes : ColumnKind::Text);
        const QString name = dialect.quotedName(column.name);
        const QString expression = dialect.renderedColumn(column, readAs, name);
        if (column.fieldType != 0) read.fields << Field{column.name, column.fieldType, {}};
        read.rendered << !expression.isEmpty();
        columns << (expression.isEmpty() ? name : expression + QStringLiteral(" AS ") + name);
        if (!expression.isEmpty()) {
            while (read.kinds.size() <= index) read.kinds << ColumnKind::Text;
            read.kinds[index] = ColumnKind::Text;
        }
    }
    read.statement = SqlComposer(dialect).selectColumns(
        {schema, table}, read.rendersAny() || !named.isEmpty() ? columns : QStringList(), condition);
    return read;
}

std::unique_ptr<Recordset> openRendered(Connection& connection, const RenderedRead& read) {
    if (!read.rendersAny()) return connection.openRecordsetAs(read.statement, read.kinds);
    // The field types are those SELECT * has: what the plain copy's table is made of. The
    // shape has them where its database described it; else they are asked for.
    QList<Field> fields = read.fields;
    if (fields.size() != read.rendered.size()) {
        fields.clear();
        const std::unique_ptr<Recordset> described = connection.openRecordset(
            SqlComposer(DialectFor(&connection, standardDialect())).selectAll({read.schema, read.table}) +
            QStringLiteral(" WHERE 1 = 0"));
        for (int index = 0; index < described->fieldCount(); ++index) fields << described->field(index);
        described->close();
    }
    std::unique_ptr<Recordset> rows = connection.openRecordsetAs(read.statement, read.kinds);
    if (fields.size() != rows->fieldCount()) return rows;  // the table changed in between: as it reads now
    return std::make_unique<RenderedRecordset>(std::move(rows), std::move(fields), read.rendered);
}

Variant unmarked(const Variant& value) {
    const QByteArrayView text = value.textUtf8();
    if (text.size() < 2 || text[0] != Dialect::kStoredAsMark) return value;
    const QByteArrayView rest = text.sliced(2);
    switch (text[1]) {
        case 'b':
            return Variant::binary(QByteArray::fromHex(rest.toByteArray()));
        case 't': {
            Variant decoded;
            decoded.setUtf8Text(QByteArray::fromHex(rest.toByteArray()));
            return decoded;
        }
        default:
            return value;
    }
}

}  // namespace tw
