// Delete and rename on the tables window, with recorded connections: the exact statements,
// their order, the messages and what the lists hold afterwards.
#include "TablesRig.h"
#include "support/Observed.h"

using tw::test::errorLines;
using tw::test::executed;
using tw::test::items;

namespace {

const QString kOracleOpen = "open Driver={Microsoft ODBC for Oracle};Server=;Uid=;Pwd=;";

}  // namespace

class MaintenanceTest : public QObject {
    Q_OBJECT
private slots:
    void deleteDropsTheSelectedTablesFromTheBottomUp();
    void deleteNeedsACurrentItemAndDoesNothingWithoutASelection();
    void aRefusedDropKeepsItsTableListed();
    void deleteWithoutAConnectionKeepsEveryTable();
    void renameSendsEachDatabasesStatementAndListsTheNewName();
    void renameQuotesTheNewNameAsTyped();
    void renameAsksForExactlyOneSelectedTable();
    void cancelledOrEmptiedRenameChangesNothing();
    void aRefusedRenameLeavesTheListAsItWas();
};

void MaintenanceTest::deleteDropsTheSelectedTablesFromTheBottomUp() {
    TablesRig rig({"Customers", "Orders", "Products", "Sales"}, {"BONUS", "DEPT", "EMP"});
    rig.form->Text4->setText("tw_sqlany");
    rig.connections.log.clear();
    rig.select(rig.sqlany, {"Customers", "Products", "Sales"}, 0);
    QTest::mouseClick(rig.tables->PushButton1, Qt::LeftButton);
    QCOMPARE(rig.connections.log,
             QStringList({"create", "provider MSDASQL", "open Data Source=tw_sqlany",
                          "execute DROP TABLE \"Sales\"", "execute DROP TABLE \"Products\"",
                          "execute DROP TABLE \"Customers\"", "release"}));
    QCOMPARE(items(*rig.sqlany), QStringList({"Orders"}));
    QCOMPARE(items(*rig.oracle), QStringList({"BONUS", "DEPT", "EMP"}));  // the other side untouched
    QCOMPARE(rig.pointerDuringWork, QList<MousePointer>(3, MousePointer::Hourglass));
    QCOMPARE(rig.tables->pointer().get(), MousePointer::Default);
    QVERIFY(rig.dialogs.shown.isEmpty());

    // Select All, then delete: the Oracle list ends empty; a further press finds nothing.
    rig.connections.log.clear();
    rig.oracle->setCurrentIndex(0);  // as a fresh Oracle load leaves it
    rig.tables->PushButton8_Click();
    QTest::mouseClick(rig.tables->PushButton5, Qt::LeftButton);
    QCOMPARE(executed(rig.connections.log),
             QStringList({"DROP TABLE \"EMP\"", "DROP TABLE \"DEPT\"", "DROP TABLE \"BONUS\""}));
    QCOMPARE(rig.connections.log.first(2), QStringList({"create", kOracleOpen}));
    QCOMPARE(rig.oracle->count(), 0);
    rig.tables->PushButton5_Click();
    QCOMPARE(rig.dialogs.shown.size(), 1);
    QCOMPARE(rig.dialogs.shown[0].text, QStringLiteral("Please select a table"));
}

void MaintenanceTest::deleteNeedsACurrentItemAndDoesNothingWithoutASelection() {
    TablesRig rig({"Customers", "Orders"}, {});
    rig.sqlany->setSelected(1, true);  // selected, but no current item
    rig.connections.log.clear();
    rig.tables->PushButton1_Click();
    QCOMPARE(rig.connections.log,
             QStringList({"create", "provider MSDASQL", "open Data Source=", "release"}));
    QCOMPARE(rig.dialogs.shown.size(), 1);
    QCOMPARE(rig.dialogs.shown[0].text, QStringLiteral("Please select a table"));
    QCOMPARE(rig.dialogs.shown[0].style, 0);
    QCOMPARE(items(*rig.sqlany), QStringList({"Customers", "Orders"}));

    rig.dialogs.shown.clear();
    rig.select(rig.sqlany, {}, 0);  // current, nothing selected
    rig.tables->PushButton1_Click();
    QVERIFY(rig.dialogs.shown.isEmpty());
    QVERIFY(executed(rig.connections.log).isEmpty());
    QCOMPARE(rig.tables->pointer().get(), MousePointer::Default);
}

void MaintenanceTest::aRefusedDropKeepsItsTableListed() {
    TablesRig rig({}, {"BONUS", "DEPT", "EMP"});
    rig.select(rig.oracle, {"BONUS", "DEPT", "EMP"}, 0);
    rig.connections.onExecute = [](const QString& statement) {
        if (statement.contains("DEPT"))
            throw DbError("[2BP01] cannot drop table dept because other objects depend on it");
    };
    rig.tables->PushButton5_Click();
    QCOMPARE(errorLines(rig.dialogs, "Form2.PushButton5_Click"), QList<int>({112}));
    QVERIFY(rig.dialogs.shown[0].text.startsWith("[2BP01] cannot drop table dept"));
    QCOMPARE(items(*rig.oracle), QStringList({"DEPT"}));
    QCOMPARE(executed(rig.connections.log).size(), 3);
}

void MaintenanceTest::deleteWithoutAConnectionKeepsEveryTable() {
    TablesRig rig({"Customers", "Orders"}, {});
    rig.select(rig.sqlany, {"Customers", "Orders"}, 0);
    rig.connections.failCreate = true;
    rig.tables->PushButton1_Click();
    // Every step that needs the connection fails in turn, and each says so.
    QCOMPARE(errorLines(rig.dialogs, "Form2.PushButton1_Click"), QList<int>({100, 104, 106, 114, 114}));
    QCOMPARE(items(*rig.sqlany), QStringList({"Customers", "Orders"}));
    QCOMPARE(rig.tables->pointer().get(), MousePointer::Default);
}

void MaintenanceTest::renameSendsEachDatabasesStatementAndListsTheNewName() {
    TablesRig rig({"Customers", "Orders", "Products"}, {"DEPT", "EMP"});
    rig.select(rig.sqlany, {"Orders"}, 2);
    rig.dialogs.answers << "Archive";
    rig.connections.log.clear();
    QTest::mouseClick(rig.tables->PushButton6, Qt::LeftButton);
    QCOMPARE(rig.connections.log,
             QStringList({"create", "provider MSDASQL", "open Data Source=",
                          "execute ALTER TABLE \"Orders\" RENAME \"Archive\";", "release"}));
    QCOMPARE(rig.dialogs.shown.size(), 1);
    QCOMPARE(rig.dialogs.shown[0].kind, tw::test::ShownBox::Input);
    QCOMPARE(rig.dialogs.shown[0].text, QStringLiteral("Enter new name of Orders:"));
    QCOMPARE(rig.dialogs.shown[0].defaultText, QStringLiteral("Orders"));
    QVERIFY(rig.dialogs.shown[0].caption.isEmpty());  // the application title
    QCOMPARE(items(*rig.sqlany), QStringList({"Archive", "Customers", "Products"}));
    QCOMPARE(rig.sqlany->selectedCount(), 0);
    QCOMPARE(rig.sqlany->currentIndex(), 0);
    QCOMPARE(rig.pointerDuringWork, QList<MousePointer>({MousePointer::Hourglass}));

    rig.select(rig.oracle, {"EMP"}, 1);
    rig.dialogs.answers << "emp";
    rig.connections.log.clear();
    rig.tables->PushButton7_Click();
    QCOMPARE(rig.connections.log,
             QStringList({"create", kOracleOpen, "execute RENAME \"EMP\" TO \"emp\"", "release"}));
    QCOMPARE(items(*rig.oracle), QStringList({"DEPT", "emp"}));
}

void MaintenanceTest::renameQuotesTheNewNameAsTyped() {
    TablesRig rig({}, {"EMP"});
    rig.select(rig.oracle, {"EMP"}, 0);
    rig.dialogs.answers << " Staff \"2024\"; DROP TABLE x ";
    rig.tables->PushButton7_Click();
    QCOMPARE(executed(rig.connections.log),
             QStringList({"RENAME \"EMP\" TO \" Staff \"\"2024\"\"; DROP TABLE x \""}));
    QCOMPARE(items(*rig.oracle), QStringList({" Staff \"2024\"; DROP TABLE x "}));
}

void MaintenanceTest::renameAsksForExactlyOneSelectedTable() {
    TablesRig rig({"A", "B", "C"}, {});
    const QString justOne = QStringLiteral("Please select just one table to rename.");
    rig.select(rig.sqlany, {"A", "C"}, 0);
    rig.tables->PushButton6_Click();
    rig.select(rig.sqlany, {}, 1);
    rig.tables->PushButton6_Click();
    rig.sqlany->setCurrentIndex(-1);
    rig.sqlany->setSelected(1, true);
    rig.tables->PushButton6_Click();
    QCOMPARE(rig.dialogs.shown.size(), 3);
    QCOMPARE(rig.dialogs.shown[0].text, justOne);
    QCOMPARE(rig.dialogs.shown[1].text, justOne);
    QCOMPARE(rig.dialogs.shown[2].text, QStringLiteral("Please select a table to rename."));
    QVERIFY(executed(rig.connections.log).isEmpty());
    QCOMPARE(rig.tables->pointer().get(), MousePointer::Default);
}

void MaintenanceTest::cancelledOrEmptiedRenameChangesNothing() {
    TablesRig rig({"A", "B"}, {});
    rig.select(rig.sqlany, {"B"}, 1);
    rig.tables->PushButton6_Click();  // no answer queued: Cancel
    rig.dialogs.answers << "";
    rig.tables->PushButton6_Click();
    QCOMPARE(rig.dialogs.shown.size(), 2);
    QVERIFY(executed(rig.connections.log).isEmpty());
    QCOMPARE(items(*rig.sqlany), QStringList({"A", "B"}));
    QCOMPARE(rig.sqlany->currentIndex(), 1);
}

void MaintenanceTest::aRefusedRenameLeavesTheListAsItWas() {
    TablesRig rig({"A", "B"}, {"EMP"});
    rig.connections.onExecute = [](const QString&) { throw DbError("[42601] syntax error"); };
    rig.select(rig.sqlany, {"B"}, 1);
    rig.dialogs.answers << "C";
    rig.tables->PushButton6_Click();
    rig.select(rig.oracle, {"EMP"}, 0);
    rig.dialogs.answers << "STAFF";
    rig.tables->PushButton7_Click();
    QCOMPARE(errorLines(rig.dialogs, "Form2.PushButton6_Click"), QList<int>({122}));
    QCOMPARE(errorLines(rig.dialogs, "Form2.PushButton7_Click"), QList<int>({120}));
    QCOMPARE(items(*rig.sqlany), QStringList({"A", "B"}));
    QCOMPARE(items(*rig.oracle), QStringList({"EMP"}));
    QCOMPARE(rig.sqlany->currentIndex(), 1);
}

QTEST_MAIN(MaintenanceTest)
#include "MaintenanceTest.moc"
