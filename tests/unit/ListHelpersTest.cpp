#include <gtest/gtest.h>

#include "shell/ListHelpers.h"
#include "shell/TableNamePattern.h"
#include "support/MemoryTableList.h"

using namespace tw;
using tw::test::MemoryTableList;

TEST(ListHasItem, ComparesExactlyOrIgnoringCase) {
    const MemoryTableList empty;
    EXPECT_FALSE(ListHasItem(empty, "orders"));
    EXPECT_FALSE(ListHasItemNoCase(empty, "orders"));

    const MemoryTableList list({"Orders", "ORDERS", "Bücher"});
    EXPECT_FALSE(ListHasItem(list, "orders"));
    EXPECT_TRUE(ListHasItemNoCase(list, "orders"));
    EXPECT_TRUE(ListHasItem(list, "ORDERS"));
    EXPECT_TRUE(ListHasItemNoCase(list, "BÜCHER"));
    EXPECT_FALSE(ListHasItem(list, "Orders "));  // blanks count
}

TEST(ListRemoveItem, SkipsTheItemThatMovesUpAfterARemoval) {
    MemoryTableList list({"A", "X", "X", "B", "X"});
    ListRemoveItem(list, "X");
    EXPECT_EQ(list.items(), QStringList({"A", "X", "B"}));

    MemoryTableList unmatched({"A", "B"});
    ListRemoveItem(unmatched, "x");
    EXPECT_EQ(unmatched.items(), QStringList({"A", "B"}));

    MemoryTableList all({"X", "X", "X"});
    ListRemoveItem(all, "X");
    EXPECT_EQ(all.items(), QStringList({"X"}));

    // An empty text finds nothing past the shortened end and removes nothing there.
    MemoryTableList blanks({"", ""});
    EXPECT_NO_THROW(ListRemoveItem(blanks, ""));
    EXPECT_EQ(blanks.items(), QStringList({""}));
}

TEST(NullToDefault, ReplacesOnlyNull) {
    EXPECT_EQ(NullToDefault(Variant(), Variant("")), Variant(""));
    EXPECT_EQ(NullToDefault(Variant("0"), Variant("")), Variant("0"));
    EXPECT_EQ(NullToDefault(Variant(""), Variant("default")), Variant(""));
    EXPECT_EQ(NullToDefault(Variant::binary("\x01"), Variant("")), Variant::binary("\x01"));
}

// A table argument with * or ? chooses every table whose whole name it matches, case and all;
// an exclusion takes tables out again; each argument that chooses nothing is told.
TEST(TableNamePatterns, ChooseWholeNamesInTheListsOrder) {
    const struct {
        const char* pattern;
        const char* name;
        bool matches;
    } cases[] = {
        {"SALES_*", "SALES_2024", true},  {"SALES_*", "SALES_", true},
        {"SALES_*", "SALESX", false},     {"SALES_*", "sales_2024", false},
        {"S?LES", "SALES", true},         {"S?LES", "SLES", false},
        {"*_OLD", "A_B_OLD", true},       {"*A*B*", "xAyyBz", true},
        {"*A*B", "xAyyBz", false},        {"*", "", true},
        {"a*b*c", "abbbbbbbbbbbc", true}, {"a*b*c", "abbbbbbbbbbbd", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(matchesTableNamePattern(c.pattern, c.name), c.matches) << c.pattern << " / " << c.name;
    }

    const QStringList names{"OTHER", "SALES_1", "SALES_2", "SALESX"};
    QStringList unmatched;
    EXPECT_EQ(chosenTables(names, {"SALES_*", "OTHER", "SALES_1", "NONE", "X*"}, {"SALES_2"}, unmatched),
              QStringList({"OTHER", "SALES_1"}));
    EXPECT_EQ(unmatched, QStringList({"NONE", "X*"}));
}
