// The composed statements read back by SQLite's own parser, whatever the names and values
// hold: CREATE TABLE makes exactly the columns it was given, INSERT puts in exactly one row
// with every value as it was, SELECT reads that table. Any difference stops the run. (Values
// go into untyped columns: SQLite turns text into numbers in NUMERIC ones.)
#include <cstdlib>

#include "FuzzInput.h"
#include "db/SqlText.h"
#include "support/MemoryDatabase.h"
#include "transfer/CopyStatements.h"

using namespace tw;

namespace {

void require(bool condition) {
    if (!condition) std::abort();
}

// SQLite compares names with ASCII letters folded.
QString sqliteFolded(QString name) {
    for (QChar& c : name) {
        if (c >= u'A' && c <= u'Z') c = QChar(c.unicode() + 32);
    }
    return name;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    const Dialect& target = input.ConsumeBool() ? oracleDialect() : sqlAnywhereDialect();
    const QString table = fuzz::sqlText(input);

    QList<FieldDescription> fields;
    QStringList folded;
    const int count = input.ConsumeIntegralInRange(1, 8);
    for (int i = 0; i < count; ++i) {
        fields.append({fuzz::sqlText(input), input.ConsumeIntegral<std::int16_t>()});
        folded << sqliteFolded(fields.back().name);
    }
    folded.removeDuplicates();
    const bool distinct = folded.size() == fields.size();

    InsertStatement insert(table);
    QList<QByteArray> expected;  // each value's bytes as SQLite must hold them; empty for NULL
    for (int i = 0; i < count; ++i) {
        Variant value;
        QByteArray raw = fuzz::bytes(input);
        raw.replace('\0', "");
        switch (input.ConsumeIntegralInRange(0, 3)) {
            case 0:
                break;
            case 1:
                value = Variant(QString::fromUtf8(raw));
                break;
            case 2:
                value.setUtf8Text(raw);
                break;  // as read from a driver, valid UTF-8 or not
            default:
                value = Variant::binary(raw);
                break;
        }
        insert.addValue(value);
        expected << value.toUtf8();
    }
    insert.finish();

    // SQLite keeps names that begin with "sqlite_" for itself.
    if (table.startsWith(QLatin1String("sqlite_"), Qt::CaseInsensitive)) return 0;

    // CREATE TABLE: the columns as given, in their order.
    {
        test::MemoryDatabase db;
        const bool created = db.run(CreateTableSql(target, table, fields)).has_value();
        require(created == distinct);  // only names that SQLite itself takes for one may clash
        if (created) {
            QStringList columns;
            require(db.run(SelectAllSql(table), &columns).has_value());
            QStringList names;
            for (const FieldDescription& field : fields) names << field.name;
            require(columns == names);
        }
    }

    // INSERT: one row, every value as it was, into columns that keep values as given.
    test::MemoryDatabase db;
    QString plainColumns;
    for (int i = 0; i < count; ++i) plainColumns += (i ? ",c" : "c") + QString::number(i);
    require(db.run("CREATE TABLE " + quotedName(table) + "(" + plainColumns + ")").has_value());
    require(db.run(QByteArrayView(insert.utf8())).has_value());
    const auto rows = db.run(SelectAllSql(table));
    require(rows && rows->size() == 1);
    const test::MemoryDatabase::Row& row = rows->front();
    require(row.size() == size_t(count));
    for (int i = 0; i < count; ++i) {
        const QByteArray& value = expected[i];
        require(value.isEmpty() ? !row[i].has_value() : row[i] == std::optional<QByteArray>(value));
    }
    return 0;
}
