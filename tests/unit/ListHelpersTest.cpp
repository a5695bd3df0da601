#include <gtest/gtest.h>

#include "shell/ListHelpers.h"
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
