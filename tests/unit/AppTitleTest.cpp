#include <gtest/gtest.h>

#include <QGuiApplication>

#include "ui/AppTitle.h"

using tw::cutAppTitle;

namespace {
QString repeat(char letter, int count) { return QString(count, QLatin1Char(letter)); }
}  // namespace

TEST(AppTitle, ShortTitlesAreTakenUnchanged) {
    EXPECT_EQ(cutAppTitle(tw::kProductTitle), QStringLiteral("Tablewright"));
    EXPECT_EQ(cutAppTitle(QString()), QString());
    const QString forty = repeat('a', 19) + ' ' + repeat('b', 20);
    ASSERT_EQ(forty.size(), 40);
    EXPECT_EQ(cutAppTitle(forty), forty);
}

TEST(AppTitle, LongTitlesLoseWholeWordsFromTheEnd) {
    const QString fortyOne = repeat('a', 20) + ' ' + repeat('b', 20);
    EXPECT_EQ(cutAppTitle(fortyOne), repeat('a', 20));

    // Several words go, one at a time, and the cut stops as soon as 40 or fewer remain.
    const QString words = QStringLiteral("Tablewright copies tables between Oracle and SQL Anywhere");
    EXPECT_EQ(cutAppTitle(words), QStringLiteral("Tablewright copies tables between Oracle"));

    // Only the blank that ends the text is cut at; a blank before it stays.
    const QString doubleBlank = repeat('a', 30) + "  " + repeat('b', 20);
    EXPECT_EQ(cutAppTitle(doubleBlank), repeat('a', 30) + ' ');

    // Other white space is not a word break.
    const QString tabs = repeat('a', 30) + '\t' + repeat('b', 5) + ' ' + repeat('c', 10);
    EXPECT_EQ(cutAppTitle(tabs), repeat('a', 30) + '\t' + repeat('b', 5));
}

TEST(AppTitle, TitlesWithoutABlankToCutAtAreCutAtFortyCharacters) {
    EXPECT_EQ(cutAppTitle(repeat('x', 41)), repeat('x', 40));
    EXPECT_EQ(cutAppTitle(repeat('x', 300)), repeat('x', 40));
    // The last word goes first; what is left still has no blank within reach.
    EXPECT_EQ(cutAppTitle(repeat('x', 50) + " tail"), repeat('x', 40));
    // A blank at the very start leaves nothing before it.
    EXPECT_EQ(cutAppTitle(' ' + repeat('x', 50)), QString());
}

// Qt's X11 platform appends the application display name to every window title that does not
// end with it, so boxes captioned "Overwrite?" would read "Overwrite? — Tablewright".
TEST(AppTitle, IsKeptByTheProgramNotAsQtsDisplayName) {
    tw::SetAppTitle();
    EXPECT_EQ(tw::appTitle(), QStringLiteral("Tablewright"));
    EXPECT_EQ(QGuiApplication::applicationDisplayName().toStdString(),
              QGuiApplication::applicationName().toStdString());
}
