// Values the drivers' own conversions would change, copied between PostgreSQL and SQLite by
// the built program with --verify: each arrives as its database writes it, or its row is
// refused with a report naming the column; none is reported equal while changed.
#include <gtest/gtest.h>

#include "support/CommandLineRig.h"

using namespace tw;

namespace {

class ExactValues : public test::CommandLineRig, public ::testing::WithParamInterface<bool> {
protected:
    QStringList mode() const { return GetParam() ? QStringList{"--faithful"} : QStringList{"--plain"}; }
    // The rows of a query, each value as the database's text, "|" between values.
    QStringList rowsOf(int side, const QString& query) {
        QStringList rows;
        const auto found = database(side).openRecordset(query);
        for (; !found->eof(); found->moveNext()) {
            QStringList values;
            for (int field = 0; field < found->fieldCount(); ++field)
                values << found->field(field).value.toString();
            rows << values.join('|');
        }
        return rows;
    }
    test::ProgramRun copy(const char* to) {
        return run(QStringList{"copy", "--to", to, m_table, "--overwrite", "yes", "--verify", "--json"} +
                   mode());
    }
};

TEST_P(ExactValues, PostgresDatesInstantsAndUuidsGoThereAndBackAsTheServerWritesThem) {
    create(0, "id integer, d date, t timestamp, tz timestamptz, u uuid, m money",
           {"1, '10000-01-01', '10000-01-01', '2024-10-27 02:30+02', 'A0EEBC99-9C0B-4EF8-BB6D-6BB9BD380A11', "
            "12.5",
            "2, 'infinity', 'infinity', '2024-10-27 02:30+01', NULL, -1.5",
            "3, '0044-03-15 BC', '-infinity', '-infinity', NULL, NULL"});
    const QString asText =
        QStringLiteral("SELECT id, d::text, t::text, tz::text, u::text, m::numeric::text FROM %1 ORDER BY id")
            .arg(quotedName(m_table));
    const QStringList original = rowsOf(0, asText);

    const test::ProgramRun there = copy("sqlanywhere");
    ASSERT_EQ(there.exitCode, 0) << there.err.toStdString();
    EXPECT_TRUE(firstTableOf(there)["verification"].toObject()["matches"].toBool())
        << there.out.toStdString();
    // The instants in UTC, as the server writes them in its zone, the stand's UTC.
    EXPECT_EQ(
        rowsOf(1, QStringLiteral("SELECT id, d, t, tz, u FROM %1 ORDER BY id").arg(quotedName(m_table))),
        QStringList(
            {"1|10000-01-01|10000-01-01 00:00:00|2024-10-27 00:30:00+00|a0eebc99-9c0b-4ef8-bb6d-6bb9bd380a11",
             "2|infinity|infinity|2024-10-27 01:30:00+00|", "3|0044-03-15 BC|-infinity|-infinity|"}));
    if (GetParam()) {
        const QString named = firstTableOf(there)["plainTypeColumns"].toVariant().toStringList().join(", ");
        EXPECT_TRUE(named.contains("tz (timestamptz as TEXT)")) << named.toStdString();
    }

    test::dropQuietly(database(0), m_table);
    const test::ProgramRun back = copy("oracle");
    ASSERT_EQ(back.exitCode, 0) << back.err.toStdString();
    EXPECT_TRUE(firstTableOf(back)["verification"].toObject()["matches"].toBool()) << back.out.toStdString();
    const QString backAsText =
        QStringLiteral("SELECT id, d::text, t::text, tz::text, u::text, m::text FROM %1 ORDER BY id")
            .arg(quotedName(m_table));
    const QStringList returned = rowsOf(0, backAsText);
    ASSERT_EQ(returned.size(), original.size());
    // The amount comes back as the number it is, in the plain copy as text.
    for (int i = 0; i < original.size(); ++i)
        EXPECT_EQ(returned[i].section('|', 0, 4), original[i].section('|', 0, 4));
}

TEST_P(ExactValues, SqliteValuesOfAnotherStorageClassAreRefusedByColumnAndDoublesKeepEveryDigit) {
    create(1, "id integer, t text, r real",
           {"1, 'x', 0.30000000000000004", "2, X'C3A9', 2", "3, 'z', 'abc'", "4, 'a' || char(0) || 'b', 4",
            "5, 'y', 39.4285714285714"});
    // In batches of two, so that refused rows stand between rows of batches.
    const test::ProgramRun copied =
        run(QStringList{"copy", "--to", "oracle", m_table, "--verify", "--json", "--batch", "2"} + mode());
    EXPECT_EQ(copied.exitCode, 1);
    // The plain copy's column for the double is text, which takes "abc".
    const bool faithful = GetParam();
    const QStringList reported = copied.err.split('\n').filter(", row ");
    ASSERT_EQ(reported.size(), faithful ? 3 : 2) << copied.err.toStdString();
    EXPECT_TRUE(reported[0].contains("row 2,") && reported[0].contains("column t, value 0xC3A9: 2 bytes"))
        << reported[0].toStdString();
    if (faithful) {
        EXPECT_TRUE(reported[1].contains("row 3,") && reported[1].contains("abc"))
            << reported[1].toStdString();
    }
    EXPECT_TRUE(reported.last().contains("row 4,") && reported.last().contains("text with a NUL character"))
        << reported.last().toStdString();
    QStringList arrived{"1|x|0.30000000000000004", "3|z|abc", "5|y|39.4285714285714"};
    if (faithful) arrived.removeAt(1);
    EXPECT_EQ(rowsOf(0, QStringLiteral("SELECT id, t, r::text FROM %1 ORDER BY id").arg(quotedName(m_table))),
              arrived);
}

INSTANTIATE_TEST_SUITE_P(Stand, ExactValues, ::testing::Values(false, true),
                         [](const auto& param) { return param.param ? "faithful" : "plain"; });

}  // namespace
