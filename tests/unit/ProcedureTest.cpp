#include <gtest/gtest.h>

#include <stdexcept>

#include "shell/Procedure.h"
#include "support/ScriptedDialogs.h"
#include "ui/ErrorBox.h"

using tw::Procedure;
using tw::test::ScriptedDialogs;

namespace {
const QString kSupportLine =
    QStringLiteral("Please email screenshot of this message to ") + tw::kSupportAddress;
}

TEST(Procedure, FailureShowsTheErrorBoxAndTheNextStatementRuns) {
    ScriptedDialogs dialogs;
    tw::ErrorBox box(dialogs);
    Procedure proc(box, "Form2.PushButton3_Click");
    QStringList ran;
    proc.step(144, [&] { ran << "144"; });
    proc.step(146, [&] {
        ran << "146";
        throw std::runtime_error("ORA-00942: table or view does not exist");
    });
    proc.step(148, [&] { ran << "148"; });

    EXPECT_EQ(ran, QStringList({"144", "146", "148"}));
    ASSERT_EQ(dialogs.shown.size(), 1);
    EXPECT_EQ(dialogs.shown[0].caption, QStringLiteral("Application Error"));
    EXPECT_EQ(dialogs.shown[0].style, 48);
    EXPECT_EQ(dialogs.shown[0].text,
              QStringLiteral("ORA-00942: table or view does not exist\r\n"
                             "in TablewrightApp2021/08/31.Form2.PushButton3_Click at line 146\r\r") +
                  kSupportLine);
}

TEST(Procedure, FailedConditionLetsTheGovernedStepsRun) {
    ScriptedDialogs dialogs;
    tw::ErrorBox box(dialogs);
    Procedure proc(box, "Form1.Form_Load");
    EXPECT_TRUE(proc.test(124, []() -> bool { throw std::runtime_error(""); }));
    EXPECT_FALSE(proc.test(126, [] { return false; }));
    ASSERT_EQ(dialogs.shown.size(), 1);
    // An empty description leaves the first line empty.
    EXPECT_TRUE(dialogs.shown[0].text.startsWith(
        QStringLiteral("\r\nin TablewrightApp2021/08/31.Form1.Form_Load at line 124\r\r")));
}

TEST(Procedure, EveryFailureShowsItsOwnBoxInOrder) {
    ScriptedDialogs dialogs;
    tw::ErrorBox box(dialogs);
    Procedure proc(box, "Form2.PushButton4_Click");
    QString statement;
    proc.showStatement([&] { return statement; });
    proc.step(150, [] { throw std::runtime_error("first"); });
    statement = QStringLiteral("INSERT INTO \"T\" VALUES ('x')");
    proc.step(152, [] { throw std::runtime_error("second"); });

    ASSERT_EQ(dialogs.shown.size(), 2);
    // Before any statement was composed the box still ends with "sql: ".
    EXPECT_TRUE(dialogs.shown[0].text.startsWith("first\r\n"));
    EXPECT_TRUE(dialogs.shown[0].text.endsWith(kSupportLine + "\r\rsql: "));
    EXPECT_TRUE(dialogs.shown[1].text.contains(" at line 152\r\r"));
    EXPECT_TRUE(dialogs.shown[1].text.endsWith("\r\rsql: INSERT INTO \"T\" VALUES ('x')"));
}

TEST(Procedure, TheBoxQuotesTheFirstThousandCharactersOfAStatement) {
    const QString head = QString(999, QLatin1Char('x'));
    for (const auto& [statement, shown] : std::initializer_list<std::pair<QString, QString>>{
             {head + "y", head + "y"},
             {head + "yz", head + "y \u2026"},
             // Never half of a character outside the Basic Multilingual Plane.
             {head + QString::fromUtf8("😀") + "z", head + " \u2026"},
         }) {
        const QString text = tw::applicationErrorText("e", "p ", 100, &statement);
        EXPECT_EQ(text.mid(text.indexOf("sql: ") + 5), shown);
    }
}

TEST(Procedure, OfferedStopIsRememberedOnlyWhenPressed) {
    ScriptedDialogs dialogs;
    tw::ErrorBox box(dialogs);
    Procedure proc(box, "Form2.PushButton3_Click");
    proc.step(100, [] { throw std::runtime_error("first"); });
    EXPECT_TRUE(dialogs.shown[0].extraButton.isEmpty());  // not offered: the box as ever
    proc.offerStop();
    proc.step(102, [] { throw std::runtime_error("second"); });
    EXPECT_EQ(dialogs.shown[1].extraButton, QStringLiteral("Stop Transfer"));
    EXPECT_FALSE(proc.stopRequested());
    dialogs.buttons << tw::MsgBoxResult::Extra;
    proc.step(104, [] { throw std::runtime_error("third"); });
    EXPECT_TRUE(proc.stopRequested());
    EXPECT_EQ(dialogs.shown[2].text, dialogs.shown[1].text.replace("second", "third").replace("102", "104"));
}
