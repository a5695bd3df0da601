#include <gtest/gtest.h>

#include "db/postgres/CopyText.h"
#include "db/postgres/LibpqConnInfo.h"

namespace tw::postgres {
namespace {

struct CopyCase {
    BoundValue value;
    QByteArray written;
};

// COPY's text format gives a backslash, a tab and a line break meanings of their own; each value
// must still read back as the text or bytes it was.
TEST(PostgresCopy, ValuesAreWrittenAsCopyReadsThem) {
    const CopyCase cases[] = {
        {{BoundValue::Kind::Null, {}}, "\\N"},
        {{BoundValue::Kind::Text, {}}, ""},
        {{BoundValue::Kind::Text, "\\N"}, "\\\\N"},
        {{BoundValue::Kind::Text, "a\tb\nc\rd\\e"}, "a\\tb\\nc\\rd\\\\e"},
        {{BoundValue::Kind::Text, "ünï €"}, "ünï €"},
        {{BoundValue::Kind::Bytes, QByteArray("\x00\xff\\\n", 4)}, "\\\\x00ff5c0a"},
        {{BoundValue::Kind::Bytes, {}}, "\\\\x"},
    };
    for (const CopyCase& c : cases) {
        QByteArray line;
        appendCopyValue(line, c.value);
        EXPECT_EQ(line, c.written) << c.value.data.toHex().constData();
    }
}

// The connection string psqlODBC completes, read for libpq: the password as the driver encodes
// it, any value quoted so that a space or a quote stays in it, and libpq's own options kept.
TEST(PostgresCopy, TheDriversConnectionIsReadForLibpq) {
    const QString completed = QStringLiteral(
        "DRIVER={PostgreSQL};DATABASE=sales;SERVER=db.example;PORT=5433;UID=o'neil;"
        "PWD=a%3bb%7dc%25d%3de%7bf+g%2B;SSLmode=require;pqopt={connect_timeout=5};UseServerSidePrepare=1;");
    EXPECT_EQ(libpqConnInfo(completed),
              QByteArray("dbname='sales' host='db.example' port='5433' user='o\\'neil' "
                         "password='a;b}c%d=e{f g+' sslmode='require' connect_timeout=5 "
                         "application_name='tablewright' client_encoding='UTF8'"));
    EXPECT_EQ(psqlOdbcDecoded(QStringLiteral("100%")), QByteArray("100%"));  // not the driver's writing
    EXPECT_EQ(libpqConnInfo(QString()), std::nullopt);
}

// The same as libpq's keywords and values, each value as it is; the driver's pqopt read by libpq,
// and none where libpq cannot read it.
TEST(PostgresCopy, TheDriversConnectionGivesLibpqItsParameters) {
    const QString completed = QStringLiteral(
        "DATABASE=sales;SERVER=db.example;UID=o'neil;PWD=a%27b%5cc+%3dd;pqopt={keepalives='1'};");
    EXPECT_EQ(libpqParameters(completed), LibpqParameters({{"dbname", "sales"},
                                                           {"host", "db.example"},
                                                           {"user", "o'neil"},
                                                           {"password", "a'b\\c =d"},
                                                           {"keepalives", "1"},
                                                           {"application_name", "tablewright"},
                                                           {"client_encoding", "UTF8"}}));
    EXPECT_EQ(libpqParameters(QStringLiteral("SERVER=db;pqopt={keepalives='1}")), std::nullopt);
    EXPECT_EQ(libpqParameters(QString()), std::nullopt);
}

}  // namespace
}  // namespace tw::postgres
