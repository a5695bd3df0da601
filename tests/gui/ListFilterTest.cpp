// The tables window's filter boxes, counts lines and refresh, with the lists filled by hand or
// from the recording fake: what shows, what stays selected, and what an action may touch.
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

#include "TablesRig.h"
#include "support/Observed.h"
#include "ui/FilterBox.h"
#include "ui/Form2Layout.h"
#include "ui/Twips.h"

using tw::test::executed;
using tw::test::items;

namespace {

const QStringList kNames = {"BONUS", "DEPT", "EMP", "EMP_HISTORY", "temp_rows"};

// The names of the list's items that are shown, or selected.
QStringList names(const TableListBox& list, bool (TableListBox::*which)(int) const) {
    QStringList found;
    for (int i = 0; i < list.count(); ++i) {
        if ((list.*which)(i)) found << list.text(i);
    }
    return found;
}
QStringList shown(const TableListBox& list) { return names(list, &TableListBox::isShown); }
QStringList selected(const TableListBox& list) { return names(list, &TableListBox::isSelected); }

}  // namespace

class ListFilterTest : public QObject {
    Q_OBJECT
private slots:
    void theFilterShowsTheNamesThatHoldItsTextInAnyCase();
    void theCountsLineSaysShownAndSelected();
    void hiddenTablesAreNeverSelectedDeletedOrSent();
    void refreshReadsBothListsAgainAndKeepsSelectionAndFilter();
    void theWindowStartsAtItsDesignSizeAndMaximises();
    void atTheDesignSizeTheListsHaveTheirRowsAndTheFilterOpensWhereTheUserTypes();
    void theWindowsSizeAndPlaceAreRemembered();
    void aFilteredSelectionIsSentWithoutAClickOnAnItem();
    void aFilteredSelectionIsDeletedAndRenamedWithoutAClickOnAnItem();
};

void ListFilterTest::theFilterShowsTheNamesThatHoldItsTextInAnyCase() {
    TablesRig rig(kNames, {});
    const QList<std::pair<QString, QStringList>> cases = {
        {"", kNames}, {"emp", {"EMP", "EMP_HISTORY", "temp_rows"}}, {"Hist", {"EMP_HISTORY"}}, {"x y", {}}};
    for (const auto& [filter, names] : cases) {
        rig.tables->Filter1->setText(filter);
        QCOMPARE(shown(*rig.sqlany), names);
    }
    // A table that arrives while the filter is on shows only if it matches; its name is its tooltip.
    rig.tables->Filter1->setText("emp");
    rig.sqlany->addItem("AAA");
    rig.sqlany->addItem("AEMP");
    QCOMPARE(shown(*rig.sqlany), QStringList({"AEMP", "EMP", "EMP_HISTORY", "temp_rows"}));
    QCOMPARE(rig.sqlany->item(0)->toolTip(), QStringLiteral("AAA"));
    QCOMPARE(items(*rig.sqlany).size(), kNames.size() + 2);  // every table stays in the list
}

void ListFilterTest::theCountsLineSaysShownAndSelected() {
    TablesRig rig(kNames, {"EMP"});
    TablesRig::select(rig.sqlany, {"DEPT", "EMP"});
    rig.tables->Filter1->setText("e");
    QCOMPARE(rig.tables->Counts1->text(), QStringLiteral("4 of 5 tables shown, 2 selected"));
    rig.tables->Filter1->setText("emp");
    QCOMPARE(rig.tables->Counts1->text(), QStringLiteral("3 of 5 tables shown, 1 selected"));
    rig.sqlany->addItem("ZZZ");  // hidden as it arrives
    QCOMPARE(rig.tables->Counts1->text(), QStringLiteral("3 of 6 tables shown, 1 selected"));
    QCOMPARE(rig.tables->Counts2->text(), QStringLiteral("1 of 1 table shown, 0 selected"));
}

// Filtering deselects what it hides, Select All takes what shows, and a selection cannot reach a
// hidden row: a delete or a send takes the shown tables only.
void ListFilterTest::hiddenTablesAreNeverSelectedDeletedOrSent() {
    TablesRig rig(kNames, {}, {"db", "scott", "tiger", "dsn"});
    TablesRig::select(rig.sqlany, {"BONUS", "EMP"});
    rig.tables->Filter1->setText("EMP");
    QCOMPARE(selected(*rig.sqlany), QStringList({"EMP"}));
    rig.sqlany->setSelected(0, true);  // BONUS, hidden
    rig.sqlany->selectAll();           // Ctrl+A
    rig.tables->PushButton10_Click();  // Select All
    QCOMPARE(selected(*rig.sqlany), QStringList({"EMP", "EMP_HISTORY", "temp_rows"}));
    rig.tables->Filter1->clear();
    QCOMPARE(selected(*rig.sqlany), QStringList({"EMP", "EMP_HISTORY", "temp_rows"}));

    rig.tables->Filter1->setText("hist");
    rig.source("EMP_HISTORY", {});
    rig.tables->PushButton3_Click();
    QCOMPARE(items(*rig.oracle), QStringList({"EMP_HISTORY"}));
    rig.tables->PushButton1_Click();
    QCOMPARE(executed(rig.connections.log).filter("DROP"), QStringList({"DROP TABLE \"EMP_HISTORY\""}));
    QCOMPARE(items(*rig.sqlany), QStringList({"BONUS", "DEPT", "EMP", "temp_rows"}));
}

void ListFilterTest::refreshReadsBothListsAgainAndKeepsSelectionAndFilter() {
    TablesRig rig({"Orders", "Customers"}, {"EMP", "DEPT"}, {"db", "scott", "tiger", "dsn"});
    FakeTable oracle;
    oracle.fields = {{"TABLE_NAME", 200, {}}};
    oracle.rows = {{"EMP"}, {"DEPT"}, {"NEW_EMP"}};
    rig.connections.tables["SELECT table_name FROM user_tables"] = oracle;
    rig.connections.schemaTables.fields = {
        {"TABLE_CAT", 200, {}}, {"TABLE_SCHEM", 200, {}}, {"TABLE_NAME", 200, {}}, {"TABLE_TYPE", 200, {}}};
    rig.connections.schemaTables.rows = {{{}, "DBA", "Orders", "TABLE"}, {{}, "DBA", "Invoices", "TABLE"}};
    TablesRig::select(rig.sqlany, {"Customers", "Orders"}, 1);
    TablesRig::select(rig.oracle, {"DEPT", "EMP"}, 1);
    rig.tables->Filter2->setText("EMP");

    QTest::keyClick(rig.tables.get(), Qt::Key_F5);
    QCOMPARE(items(*rig.sqlany), QStringList({"Invoices", "Orders"}));  // Customers is gone
    QCOMPARE(selected(*rig.sqlany), QStringList({"Orders"}));
    QCOMPARE(rig.sqlany->currentIndex(), 1);
    QCOMPARE(items(*rig.oracle), QStringList({"DEPT", "EMP", "NEW_EMP"}));
    QCOMPARE(shown(*rig.oracle), QStringList({"EMP", "NEW_EMP"}));
    QCOMPARE(selected(*rig.oracle), QStringList({"EMP"}));
    QCOMPARE(rig.oracle->text(rig.oracle->currentIndex()), QStringLiteral("EMP"));
    QVERIFY(rig.dialogs.shown.isEmpty());
    QCOMPARE(rig.tables->Counts2->text(), QStringLiteral("2 of 3 tables shown, 1 selected"));
}

// The design's size is where the window starts and the least it takes; maximised, the lists take
// the room. (Resized from outside on a real display: the desktop test.)
void ListFilterTest::theWindowStartsAtItsDesignSizeAndMaximises() {
    TablesRig rig(kNames, {});
    Form2& tables = *rig.tables;
    QCOMPARE(tables.minimumSize(), kForm2DesignSize);
    QCOMPARE(tables.PushButton3->geometry(), QRect(16, 173, 222, 27));  // where the design puts it
    const int listHeight = tables.List1->height();
    QVERIFY(tables.Counts1->isHidden());  // no room for it at the design size
    tables.showMaximized();
    QTRY_COMPARE(tables.List1->height() - listHeight,
                 tables.height() - kForm2DesignSize.height() - tables.Counts1->height() - 3);
    QVERIFY(!tables.Counts1->isHidden());
    QVERIFY(tables.PushButton3->y() > tables.Counts1->geometry().bottom());
}

// At the design size every control is where the design puts it, each list whole: the filter box
// takes room only while in use and the counts are the list's tooltip. Typing into a list opens
// its filter with the text typed; Escape, or emptying it, closes it and gives the list back.
void ListFilterTest::atTheDesignSizeTheListsHaveTheirRowsAndTheFilterOpensWhereTheUserTypes() {
    TablesRig rig({}, {});
    for (int i = 0; i < 12; ++i)
        rig.sqlany->addItem(QStringLiteral("TABLE_%1").arg(i, 2, 10, QLatin1Char('0')));
    Form2& tables = *rig.tables;
    tables.show();
    QVERIFY(QTest::qWaitForWindowActive(&tables));
    const struct {
        QWidget* control;
        QRect twips;
    } design[] = {
        {tables.Frame2, {120, 120, 3840, 4215}},       {tables.List1, {240, 360, 3330, 1635}},
        {tables.Frame1, {4080, 120, 3840, 4215}},      {tables.List2, {240, 360, 3330, 1635}},
        {tables.PushButton10, {240, 2100, 1600, 405}}, {tables.PushButton11, {1960, 2100, 1600, 405}},
        {tables.PushButton3, {240, 2600, 3330, 405}},  {tables.PushButton1, {240, 3100, 3330, 405}},
        {tables.PushButton6, {240, 3600, 3330, 405}},  {tables.PushButton8, {240, 2100, 1600, 405}},
        {tables.PushButton9, {1960, 2100, 1600, 405}}, {tables.PushButton4, {240, 2600, 3330, 405}},
        {tables.PushButton5, {240, 3100, 3330, 405}},  {tables.PushButton7, {240, 3600, 3330, 405}},
        {tables.PushButton2, {120, 4980, 3840, 405}},  {tables.PushButton12, {4080, 4980, 3840, 405}}};
    for (const auto& [control, twips] : design)
        QCOMPARE(control->geometry(), twipsRect(twips.x(), twips.y(), twips.width(), twips.height()));
    QVERIFY(tables.Filter1->isHidden() && tables.Counts1->isHidden());
    // Seven rows of names show, as in the design's list.
    const QRect seventh = rig.sqlany->visualItemRect(rig.sqlany->item(6));
    QVERIFY2(rig.sqlany->viewport()->rect().contains(seventh), qPrintable(QString::number(seventh.bottom())));
    QCOMPARE(rig.sqlany->toolTip(), QStringLiteral("12 of 12 tables shown, 0 selected (type to filter)"));

    rig.sqlany->setFocus();
    QTest::keyClicks(rig.sqlany, "_1");
    QVERIFY(!tables.Filter1->isHidden());
    QCOMPARE(tables.Filter1->text(), QStringLiteral("_1"));
    QTRY_VERIFY(tables.Filter1->hasFocus());
    QCOMPARE(shown(*rig.sqlany), QStringList({"TABLE_10", "TABLE_11"}));
    QCOMPARE(rig.sqlany->geometry().bottom(), twipsRect(240, 360, 3330, 1635).bottom());
    QVERIFY(rig.sqlany->geometry().top() > tables.Filter1->geometry().bottom());
    QCOMPARE(rig.sqlany->toolTip(), QStringLiteral("2 of 12 tables shown, 0 selected (type to filter)"));
    QTest::keyClick(tables.Filter1, Qt::Key_Escape);
    QVERIFY(tables.Filter1->isHidden());
    QCOMPARE(shown(*rig.sqlany).size(), 12);
    QCOMPARE(rig.sqlany->geometry(), twipsRect(240, 360, 3330, 1635));
    QTRY_VERIFY(rig.sqlany->hasFocus());

    // Ctrl+F opens the filter of the list in use; emptied, it closes.
    QTest::keyClick(rig.sqlany, Qt::Key_F, Qt::ControlModifier);
    QVERIFY(!tables.Filter1->isHidden());
    QTRY_VERIFY(tables.Filter1->hasFocus());
    QTest::keyClicks(tables.Filter1, "9");
    QCOMPARE(shown(*rig.sqlany), QStringList({"TABLE_09"}));
    QTest::keyClick(tables.Filter1, Qt::Key_Backspace);
    QVERIFY(tables.Filter1->isHidden());
    QCOMPARE(rig.sqlany->geometry(), twipsRect(240, 360, 3330, 1635));
}

// The size and place the user left the window at are where it comes back next run.
void ListFilterTest::theWindowsSizeAndPlaceAreRemembered() {
    QRect left;
    {
        TablesRig rig(kNames, {});
        rig.tables->placeAsRemembered();  // nothing kept yet: the design's size
        QCOMPARE(rig.tables->size(), kForm2DesignSize);
        rig.tables->show();
        QVERIFY(QTest::qWaitForWindowExposed(rig.tables.get()));
        rig.tables->setGeometry(40, 50, 700, 500);
        QTRY_COMPARE(rig.tables->size(), QSize(700, 500));
        left = rig.tables->geometry();
        rig.tables->PushButton2_Click();  // < Back hides it
        QVERIFY(!rig.stored(SettingKey::TablesWindowPlace).isEmpty());
        QCOMPARE(rig.stored(SettingKey::OracleServer), QString());  // the other keys as they were

        Form2 again(rig.services(), rig.form->link());
        again.placeAsRemembered();
        again.Form_Load();
        QCOMPARE(again.geometry(), left);
    }
}

// Filter, Select All, Send: the user clicked no item, and the list shows what is selected. The
// send takes it; without a filter a send with no current item says so, as it always did.
void ListFilterTest::aFilteredSelectionIsSentWithoutAClickOnAnItem() {
    TablesRig rig(kNames, {}, {"db", "scott", "tiger", "dsn"});
    rig.source("EMP_HISTORY", {});
    rig.tables->show();
    QVERIFY(QTest::qWaitForWindowActive(rig.tables.get()));
    rig.sqlany->setFocus(Qt::TabFocusReason);
    QTest::keyClicks(rig.sqlany, "hist");
    QCOMPARE(rig.sqlany->currentIndex(), -1);
    QTest::mouseClick(rig.tables->PushButton10, Qt::LeftButton);  // Select All
    QCOMPARE(rig.tables->Counts1->text(), QStringLiteral("1 of 5 tables shown, 1 selected"));
    QTest::mouseClick(rig.tables->PushButton3, Qt::LeftButton);  // Send
    QVERIFY2(rig.dialogs.shown.isEmpty(), qPrintable(rig.dialogs.shown.value(0).text));
    QCOMPARE(items(*rig.oracle), QStringList({"EMP_HISTORY"}));

    TablesRig plain(kNames, {});
    plain.tables->PushButton10_Click();
    plain.tables->PushButton3_Click();
    QCOMPARE(plain.dialogs.shown.size(), 1);
    QCOMPARE(plain.dialogs.shown[0].text, QStringLiteral("Please select a table"));
}

// Filter, Select All, then Delete or Rename: as with Send, the shown selection is what they take.
void ListFilterTest::aFilteredSelectionIsDeletedAndRenamedWithoutAClickOnAnItem() {
    TablesRig rig(kNames, {}, {"db", "scott", "tiger", "dsn"});
    rig.tables->Filter1->setText("hist");
    rig.tables->PushButton10_Click();  // Select All
    rig.dialogs.answers.enqueue("EMP_OLD");
    rig.tables->PushButton6_Click();  // Rename
    QCOMPARE(rig.dialogs.shown.value(0).text, QStringLiteral("Enter new name of EMP_HISTORY:"));
    QCOMPARE(items(*rig.sqlany), QStringList({"BONUS", "DEPT", "EMP", "EMP_OLD", "temp_rows"}));

    rig.tables->Filter1->setText("temp");
    rig.tables->PushButton10_Click();
    rig.tables->PushButton1_Click();  // Delete
    QCOMPARE(executed(rig.connections.log).filter("DROP"), QStringList({"DROP TABLE \"temp_rows\""}));
    QCOMPARE(items(*rig.sqlany), QStringList({"BONUS", "DEPT", "EMP", "EMP_OLD"}));
}

QTEST_MAIN(ListFilterTest)
#include "ListFilterTest.moc"
