#include "transfer/CheckKinds.h"

#include <sql.h>
#include <sqlext.h>

namespace tw {

namespace {

BoundValue text(const QByteArray& value) { return {BoundValue::Kind::Text, value}; }
BoundValue bytes(const QByteArray& value) { return {BoundValue::Kind::Bytes, value}; }
const BoundValue null{};

ColumnShape shaped(std::int16_t sqlType, qint64 size = 0, int digits = -1, bool withTimeZone = false) {
    ColumnShape column;
    column.name = QStringLiteral("v");
    column.sqlType = sqlType;
    column.size = size;
    column.digits = digits;
    column.withTimeZone = withTimeZone;
    return column;
}

QByteArray everyByte() {
    QByteArray all;
    for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
    return all;
}

// Text of many kilobytes, with characters of one to four bytes in UTF-8 all through it.
QByteArray longText() {
    QByteArray text;
    while (text.size() < 100000) text += "Lorem ipsum \xC3\xBC \xE6\x97\xA5 \xF0\x9F\x98\x80 ";
    return text;
}

const QByteArray kNonAscii =
    "B\xC3\xBC"
    "cher \xF0\x9F\x98\x80 \xE6\x97\xA5\xE6\x9C\xAC";  // Bücher 😀 日本

}  // namespace

const QList<CheckKind>& checkKinds() {
    static const QList<CheckKind> kinds{
        {"ti", shaped(SQL_TINYINT), {null, text("0"), text("127"), text("-128")}},
        {"si", shaped(SQL_SMALLINT), {null, text("0"), text("32767"), text("-32768")}},
        {"int", shaped(SQL_INTEGER), {null, text("0"), text("2147483647"), text("-2147483648")}},
        {"bi", shaped(SQL_BIGINT), {null, text("9223372036854775807"), text("-9223372036854775808")}},
        {"dec",
         shaped(SQL_DECIMAL, 38, 10),
         {null, text("0"), text("1234567890123456789012345678.0123456789"), text("-0.0000000001")}},
        {"num",
         shaped(SQL_NUMERIC),
         {null, text("123456789012345678901234567890.12345678901234567890"), text("-1E-20"),
          text("0.1234567890123456789012345678901234567")}},
        {"real", shaped(SQL_REAL), {null, text("0.5"), text("-16777216"), text("3.4028235E38")}},
        {"dbl",
         shaped(SQL_DOUBLE),
         {null, text("0.1"), text("1.7976931348623157E308"), text("-2.2250738585072014E-308")}},
        {"bool", shaped(SQL_BIT), {null, text("1"), text("0")}},
        {"chr", shaped(SQL_CHAR, 10), {null, text(""), text("abc"), text("\xC3\xBC\xF0\x9F\x98\x80")}},
        {"vc",
         shaped(SQL_VARCHAR, 100),
         {null, text(""), text(kNonAscii), text(" O'Brien \\ \"q\" "), text("tab\there")}},
        {"txt", shaped(SQL_LONGVARCHAR), {null, text(""), text(longText())}},
        {"bin",
         shaped(SQL_BINARY, 16),
         {null, bytes(QByteArray::fromHex("00FF00FF0102030405060708090A0B0C"))}},
        {"vb", shaped(SQL_VARBINARY, 300), {null, bytes(QByteArray()), bytes(everyByte())}},
        {"lb", shaped(SQL_LONGVARBINARY), {null, bytes(QByteArray()), bytes(everyByte().repeated(1000))}},
        {"date", shaped(SQL_TYPE_DATE), {null, text("2024-02-29"), text("0001-01-01"), text("9999-12-31")}},
        {"time",
         shaped(SQL_TYPE_TIME, 0, 6),
         {null, text("13:45:30.123456"), text("00:00:00"), text("23:59:59.999999")}},
        {"ts",
         shaped(SQL_TYPE_TIMESTAMP, 0, 6),
         {null, text("2024-02-29 13:45:30.123456"), text("1970-01-01 00:00:00"),
          text("9999-12-31 23:59:59.999999")}},
        {"tstz", shaped(SQL_TYPE_TIMESTAMP, 0, 6, true), {null, text("2024-02-29 13:45:30.123456+05:30")}},
        {"guid", shaped(SQL_GUID), {null, text("a0eebc99-9c0b-4ef8-bb6d-6bb9bd380a11")}},
    };
    return kinds;
}

}  // namespace tw
