// The tables window's filter boxes, counts lines and refresh, with the lists filled by hand or
// from the recording fake: what shows, what stays selected, and what an action may touch.
#include <QLabel>
#include <QLineEdit>

#include "TablesRig.h"
#include "support/Observed.h"
#include "ui/Form2Layout.h"

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
    tables.showMaximized();
    QTRY_COMPARE(tables.List1->height() - listHeight, tables.height() - kForm2DesignSize.height());
    QVERIFY(tables.PushButton3->y() > tables.Counts1->geometry().bottom());
}

QTEST_MAIN(ListFilterTest)
#include "ListFilterTest.moc"
