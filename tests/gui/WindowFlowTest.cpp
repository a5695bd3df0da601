#include <QGroupBox>
#include <QLabel>

#include "Form1Rig.h"
#include "support/Observed.h"
#include "ui/Form2.h"
#include "ui/ProgressBar.h"
#include "ui/TableListBox.h"
#include "ui/TextBox.h"

using tw::test::items;

namespace {

const QString kOracleQuery = QStringLiteral("SELECT table_name FROM user_tables");

// Both databases as the fake connections show them.
void fillDatabases(FakeConnectionFactory& connections) {
    FakeTable oracle;
    oracle.fields = {{"TABLE_NAME", 200, {}}};
    oracle.rows = {{"EMP"}, {"DEPT"}, {"BONUS"}};
    connections.tables[kOracleQuery] = oracle;
    FakeTable schema;
    schema.fields = {
        {"TABLE_CAT", 200, {}}, {"TABLE_SCHEM", 200, {}}, {"TABLE_NAME", 200, {}}, {"TABLE_TYPE", 200, {}}};
    schema.rows = {{{}, "DBA", "Orders", "TABLE"},    {{}, "SYS", "SYSCOLUMNS", "SYSTEM TABLE"},
                   {{}, "DBA", "Customers", "TABLE"}, {{}, "DBA", "CustomerView", "VIEW"},
                   {{}, "DBA", "Analysys", "TABLE"},  {{}, "DBA", "lower", "table"}};
    connections.schemaTables = schema;
}

void remember(Rig& rig, const QString& dataSource) {
    const std::pair<QString, QString> values[] = {{SettingKey::OracleServer, "127.0.0.1"},
                                                  {SettingKey::OracleUser, "scott"},
                                                  {SettingKey::OraclePassword, "tiger"},
                                                  {SettingKey::DataSourceName, dataSource}};
    for (const auto& [key, value] : values)
        rig.settings.save(kSettingsApplication, kSettingsSection, key, value);
}

int errorLine(const ScriptedDialogs& dialogs, int box, const QString& procedure) {
    const QString text = dialogs.shown.value(box).text;
    const QString marker = "in TablewrightApp2021/08/31." + procedure + " at line ";
    const qsizetype at = text.indexOf(marker);
    return at < 0 ? -1 : text.mid(at + marker.size()).section('\r', 0, 0).toInt();
}

// A rig whose remembered values work, started on the tables window.
struct StartedRig : Rig {
    Form2* tables = nullptr;
    StartedRig() {
        fillDatabases(connections);
        remember(*this, "tw_sqlany");
        connectAtStart = true;
        load();
        tables = form->tablesWindow();
    }
};

}  // namespace

class WindowFlowTest : public QObject {
    Q_OBJECT
private slots:
    void workingValuesStartOnTheTablesWindowWithBothListsFilled();
    void aWrongDataSourceStaysOnTheConnectionWindowAndNeverTriesOracle();
    void nextWithFailingConnectionsChangesNothing();
    void nextReportsFailedChecksAndGoesOnAsIfTheyHeld();
    void backThenNextReloadsBothListsAndDropsTheSelections();
    void closingEitherWindowEndsTheProgram();
    void selectAndDeselectAllLeaveTheCurrentItemAlone();
    void helpGivesTheContactAddress();
    void tablesWindowPointerRule();
    void heightAndTabOrder();
    void unreadableHandPointerIsReportedAtLine108();
    void focusAloneMakesNoTableCurrent();
    void nextCannotBeEnteredWhileItLoads();
};

void WindowFlowTest::workingValuesStartOnTheTablesWindowWithBothListsFilled() {
    StartedRig rig;
    QVERIFY(rig.tables);
    QVERIFY(rig.tables->isVisible());
    QVERIFY(rig.form->isHidden());
    QVERIFY(rig.dialogs.shown.isEmpty());
    QCOMPARE(items(*rig.tables->List1), QStringList({"Customers", "Orders"}));
    QCOMPARE(rig.tables->List1->currentIndex(), -1);
    QCOMPARE(items(*rig.tables->List2), QStringList({"BONUS", "DEPT", "EMP"}));
    QCOMPARE(rig.tables->List2->currentIndex(), 0);
    QCOMPARE(rig.tables->List2->selectedCount(), 0);
    // SQL Anywhere is tried first, then Oracle, then the tables window loads both lists.
    QCOMPARE(rig.startLog,
             QStringList({"create", "provider MSDASQL", "open Data Source=tw_sqlany", "release", "create",
                          "open Driver={Microsoft ODBC for Oracle};Server=127.0.0.1;Uid=scott;Pwd=tiger;",
                          "release", "create", "provider MSDASQL", "open Data Source=tw_sqlany", "schema 20",
                          "close", "release", "create", "cursor 3",
                          "open Driver={Microsoft ODBC for Oracle};Server=127.0.0.1;Uid=scott;Pwd=tiger;",
                          "recordset " + kOracleQuery, "release"}));
    QCOMPARE(rig.tables->windowTitle(), QStringLiteral("Tablewright"));
}

void WindowFlowTest::aWrongDataSourceStaysOnTheConnectionWindowAndNeverTriesOracle() {
    Rig rig;
    fillDatabases(rig.connections);
    remember(rig, "no_such_dsn");
    rig.connectAtStart = true;
    rig.connections.onOpen = [](const QString& text) {
        if (text.startsWith("Data Source=no_such_dsn")) throw DbError("[IM002] Data source name not found");
    };
    Form1& form = rig.load();
    QVERIFY(!form.tablesWindow());
    QCOMPARE(rig.startLog,
             QStringList({"create", "provider MSDASQL", "open Data Source=no_such_dsn", "release"}));
    QVERIFY(rig.dialogs.shown.isEmpty());
    QCOMPARE(form.Text4->text(), QStringLiteral("no_such_dsn"));
}

void WindowFlowTest::nextWithFailingConnectionsChangesNothing() {
    Rig rig;
    Form1& form = rig.load();
    form.showCentred();
    rig.connections.onOpen = [](const QString&) { throw DbError("refused"); };
    QTest::mouseClick(form.PushButton2, Qt::LeftButton);
    QVERIFY(!form.tablesWindow());
    QVERIFY(form.isVisible());
    QVERIFY(rig.dialogs.shown.isEmpty());
    QCOMPARE(form.pointer().get(), MousePointer::Default);
    QCOMPARE(rig.connections.log,
             QStringList({"create", "provider MSDASQL", "open Data Source=", "release"}));
}

void WindowFlowTest::nextReportsFailedChecksAndGoesOnAsIfTheyHeld() {
    Rig rig;
    fillDatabases(rig.connections);
    Form1& form = rig.load();
    rig.connections.failCreate = true;
    form.PushButton2_Click();
    // Both checks fail to make their connection: each is reported, and the steps they govern
    // run; the tables window's own load then reports its two lists.
    QCOMPARE(rig.dialogs.shown.size(), 4);
    QCOMPARE(errorLine(rig.dialogs, 0, "Form1.PushButton2_Click"), 102);
    QCOMPARE(errorLine(rig.dialogs, 1, "Form1.PushButton2_Click"), 104);
    QCOMPARE(errorLine(rig.dialogs, 2, "Form2.Form_Load"), 112);
    QCOMPARE(errorLine(rig.dialogs, 3, "Form2.Form_Load"), 114);
    QVERIFY(form.tablesWindow() && form.tablesWindow()->isVisible());
    QCOMPARE(form.pointer().get(), MousePointer::Default);
}

void WindowFlowTest::backThenNextReloadsBothListsAndDropsTheSelections() {
    StartedRig rig;
    Form2& tables = *rig.tables;
    tables.PushButton10_Click();
    tables.PushButton8_Click();
    QTest::mouseClick(tables.PushButton2, Qt::LeftButton);  // < Back
    QVERIFY(rig.form->isVisible());
    QVERIFY(tables.isHidden());
    QCOMPARE(tables.List1->selectedCount(), 2);  // hidden, not reloaded

    rig.connections.tables[kOracleQuery].rows << QList<Variant>{"SALGRADE"};
    QTest::mouseClick(rig.form->PushButton2, Qt::LeftButton);  // Next >
    QVERIFY(tables.isVisible());
    QVERIFY(rig.form->isHidden());
    QCOMPARE(rig.form->tablesWindow(), &tables);
    QCOMPARE(items(*tables.List2), QStringList({"BONUS", "DEPT", "EMP", "SALGRADE"}));
    QCOMPARE(tables.List1->selectedCount(), 0);
    QCOMPARE(tables.List2->selectedCount(), 0);
    QCOMPARE(rig.form->pointer().get(), MousePointer::Default);
}

void WindowFlowTest::closingEitherWindowEndsTheProgram() {
    StartedRig rig;
    rig.tables->close();
    QCOMPARE(rig.ended, 1);
    rig.form->show();
    rig.form->close();
    QCOMPARE(rig.ended, 2);
}

void WindowFlowTest::selectAndDeselectAllLeaveTheCurrentItemAlone() {
    StartedRig rig;
    Form2& tables = *rig.tables;
    QTest::mouseClick(tables.PushButton10, Qt::LeftButton);
    QCOMPARE(tables.List1->selectedCount(), 2);
    QCOMPARE(tables.List1->currentIndex(), -1);
    QTest::mouseClick(tables.PushButton11, Qt::LeftButton);
    QCOMPARE(tables.List1->selectedCount(), 0);

    QTest::mouseClick(tables.PushButton8, Qt::LeftButton);
    QCOMPARE(tables.List2->selectedCount(), 3);
    QTest::mouseClick(tables.PushButton9, Qt::LeftButton);
    QCOMPARE(tables.List2->selectedCount(), 0);
    QCOMPARE(tables.List2->currentIndex(), 0);  // deselecting does not empty the current item

    tables.List1->clear();
    tables.PushButton10_Click();
    QCOMPARE(tables.List1->count(), 0);
    QVERIFY(rig.dialogs.shown.isEmpty());
}

void WindowFlowTest::helpGivesTheContactAddress() {
    StartedRig rig;
    QTest::mouseClick(rig.tables->PushButton12, Qt::LeftButton);
    QCOMPARE(rig.dialogs.shown.size(), 1);
    QVERIFY(rig.dialogs.shown[0].text.startsWith("Questions? Please contact Team Quillmark at https://"));
    QCOMPARE(rig.dialogs.shown[0].style, 0);
    QVERIFY(rig.dialogs.shown[0].caption.isEmpty());
}

void WindowFlowTest::tablesWindowPointerRule() {
    StartedRig rig;
    Form2& tables = *rig.tables;
    WindowPointer& pointer = tables.pointer();
    moveOver(tables.PushButton4);
    QCOMPARE(pointer.get(), MousePointer::Custom);
    moveOver(tables.ProgressBar1);  // no rule of its own
    QCOMPARE(pointer.get(), MousePointer::Custom);
    moveOver(tables.List1->viewport());
    QCOMPARE(pointer.get(), MousePointer::Default);
    moveOver(tables.PushButton2);
    moveOver(&tables);
    QCOMPARE(pointer.get(), MousePointer::Default);

    pointer.set(MousePointer::Hourglass);
    for (QWidget* over : std::initializer_list<QWidget*>{tables.PushButton3, tables.List2->viewport(),
                                                         tables.Frame1, &tables, tables.ProgressBar1}) {
        moveOver(over);
        QCOMPARE(pointer.get(), MousePointer::Hourglass);
    }
    QCOMPARE(tables.List1->viewport()->cursor().shape(), Qt::WaitCursor);
}

void WindowFlowTest::heightAndTabOrder() {
    StartedRig rig;
    Form2& tables = *rig.tables;
    // The outer height is the bottom of "< Back" plus 580 twips, whatever the frame takes;
    // before the window is first shown, the frame is taken to be the design's.
    QCOMPARE(tables.width(), 536);  // 8040 twips
    QCOMPARE(tables.height(), 367);
    tables.setFixedHeight(100);
    tables.Form_Load();
    QCOMPARE(tables.frameGeometry().height(), 397);

    tables.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&tables));
    tables.List1->setFocus();
    const QList<QWidget*> expected = {
        tables.List2,       tables.PushButton10, tables.PushButton11, tables.PushButton3, tables.PushButton1,
        tables.PushButton6, tables.PushButton8,  tables.PushButton9,  tables.PushButton4, tables.PushButton5,
        tables.PushButton7, tables.PushButton2,  tables.PushButton12};
    for (QWidget* next : expected) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), next);
    }
    QCOMPARE(tables.PushButton4->text(), QStringLiteral("Send Table/s To Sybase iAny"));
    QCOMPARE(tables.ProgressBar1->text(), QStringLiteral("Progress Bar"));
}

void WindowFlowTest::unreadableHandPointerIsReportedAtLine108() {
    StartedRig rig;
    rig.program.addHandPointer("garbage");
    rig.tables->Form_Load();
    QCOMPARE(rig.dialogs.shown.size(), 1);
    QCOMPARE(errorLine(rig.dialogs, 0, "Form2.Form_Load"), 108);
    QCOMPARE(rig.tables->List2->count(), 3);  // loading went on
}

void WindowFlowTest::focusAloneMakesNoTableCurrent() {
    // On a desktop the shown window is activated and List1, first in the tab order, takes focus.
    StartedRig rig;
    QApplication::setActiveWindow(rig.tables);
    QVERIFY(rig.tables->List1->hasFocus());
    QCOMPARE(rig.tables->List1->currentIndex(), -1);
    rig.tables->PushButton1_Click();
    rig.tables->PushButton6_Click();
    rig.tables->PushButton3_Click();
    QCOMPARE(rig.dialogs.shown.size(), 3);
    QCOMPARE(rig.dialogs.shown[0].text, QStringLiteral("Please select a table"));
    QCOMPARE(rig.dialogs.shown[1].text, QStringLiteral("Please select a table to rename."));
    QCOMPARE(rig.dialogs.shown[2].text, QStringLiteral("Please select a table"));
    // Tab from the last control back round to the list picks nothing either; a click does.
    rig.tables->PushButton12->setFocus(Qt::OtherFocusReason);
    QTest::keyClick(rig.tables->PushButton12, Qt::Key_Tab);
    QVERIFY(rig.tables->List1->hasFocus());
    QCOMPARE(rig.tables->List1->currentIndex(), -1);
    QTest::mouseClick(rig.tables->List1->viewport(), Qt::LeftButton, {},
                      rig.tables->List1->visualItemRect(rig.tables->List1->item(1)).center());
    QCOMPARE(rig.tables->List1->currentIndex(), 1);
}

void WindowFlowTest::nextCannotBeEnteredWhileItLoads() {
    Rig rig;
    fillDatabases(rig.connections);
    remember(rig, "tw_sqlany");
    Form1& form = rig.load();
    // When the load first lets events through, the user presses "Next >" and a test again.
    QList<bool> enabled;
    rig.onEvents = [&] {
        if (!enabled.isEmpty()) return;
        enabled << form.PushButton2->isEnabled() << form.PushButton3->isEnabled() << form.Text4->isEnabled();
        QTest::mouseClick(form.PushButton2, Qt::LeftButton);
        QTest::mouseClick(form.PushButton3, Qt::LeftButton);
    };
    QTest::mouseClick(form.PushButton2, Qt::LeftButton);
    rig.onEvents = nullptr;

    QVERIFY(!enabled.isEmpty());
    QVERIFY(!enabled.contains(true));
    QVERIFY(rig.dialogs.shown.isEmpty());
    QCOMPARE(rig.connections.log.count("create"), 4);  // two checks, two lists: once each
    QCOMPARE(items(*form.tablesWindow()->List2), QStringList({"BONUS", "DEPT", "EMP"}));
    for (QWidget* command :
         std::initializer_list<QWidget*>{form.PushButton1, form.PushButton2, form.PushButton3,
                                         form.PushButton6, form.Text1, form.Text4}) {
        QVERIFY(command->isEnabled());
    }
}

QTEST_MAIN(WindowFlowTest)
#include "WindowFlowTest.moc"
