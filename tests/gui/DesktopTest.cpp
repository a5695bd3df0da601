// What only a desktop shows, on a real X display (Xvfb) driven from outside by xdotool: a tables
// window made larger really shows more names, and F5 pressed on the focused window reads the
// lists again. Run by desktop-test.sh, which skips it where Xvfb or xdotool is missing.
#include <QProcess>

#include "TablesRig.h"
#include "support/Observed.h"
#include "ui/FilterBox.h"
#include "ui/Form2Layout.h"

using tw::test::items;

namespace {

// The names a list shows whole in its viewport.
int namesInView(const TableListBox& list) {
    int seen = 0;
    for (int i = 0; i < list.count(); ++i) {
        if (list.isShown(i) && list.viewport()->rect().contains(list.visualItemRect(list.item(i)))) ++seen;
    }
    return seen;
}

int xdotool(const QStringList& arguments) { return QProcess::execute("xdotool", arguments); }

QStringList names(const QString& stem) {
    QStringList made;
    for (int i = 1; i <= 60; ++i) made << QStringLiteral("%1_%2").arg(stem).arg(i, 2, 10, QLatin1Char('0'));
    return made;
}

}  // namespace

class DesktopTest : public QObject {
    Q_OBJECT
private slots:
    void aLargerWindowShowsMoreNamesAndF5ReadsTheListsAgain();
};

void DesktopTest::aLargerWindowShowsMoreNamesAndF5ReadsTheListsAgain() {
    TablesRig rig(names("ORDERS"), names("EMP"), {"db", "scott", "tiger", "dsn"});
    Form2& tables = *rig.tables;
    tables.show();
    QVERIFY(QTest::qWaitForWindowExposed(&tables));
    QCOMPARE(tables.size(), kForm2DesignSize);
    const int atStart[] = {namesInView(*tables.List1), namesInView(*tables.List2)};
    for (int side : {0, 1}) QVERIFY(atStart[side] >= 7);  // the design's list, whole
    const QString window = QString::number(tables.winId());

    QCOMPARE(xdotool({"windowsize", "--sync", window, "1100", "900"}), 0);
    QTRY_COMPARE(tables.size(), QSize(1100, 900));
    const int larger[] = {namesInView(*tables.List1), namesInView(*tables.List2)};
    qInfo("names in view per list: %d and %d at %dx%d, %d and %d at 1100x900", atStart[0], atStart[1],
          kForm2DesignSize.width(), kForm2DesignSize.height(), larger[0], larger[1]);
    for (int side : {0, 1}) QVERIFY(larger[side] >= 2 * atStart[side]);

    // The databases now hold one table each; F5 on the focused window lists them.
    FakeTable oracle;
    oracle.fields = {{"TABLE_NAME", 200, {}}};
    oracle.rows = {{"EMP_01"}};
    rig.connections.tables["SELECT table_name FROM user_tables"] = oracle;
    rig.connections.schemaTables.fields = {
        {"TABLE_CAT", 200, {}}, {"TABLE_SCHEM", 200, {}}, {"TABLE_NAME", 200, {}}, {"TABLE_TYPE", 200, {}}};
    rig.connections.schemaTables.rows = {{{}, "DBA", "ORDERS_01", "TABLE"}};
    tables.List1->setFocus();
    QCOMPARE(xdotool({"windowfocus", "--sync", window}), 0);
    QTRY_VERIFY(tables.isActiveWindow());
    QCOMPARE(xdotool({"key", "--window", window, "F5"}), 0);
    QTRY_COMPARE(items(*tables.List1), QStringList({"ORDERS_01"}));
    QCOMPARE(items(*tables.List2), QStringList({"EMP_01"}));

    // Typed into the list, the text opens its filter; Escape closes it again.
    tables.List1->setFocus();
    QTRY_VERIFY(tables.List1->hasFocus());
    QCOMPARE(xdotool({"type", "--window", window, "ord"}), 0);
    QTRY_COMPARE(tables.Filter1->text(), QStringLiteral("ord"));
    QVERIFY(!tables.Filter1->isHidden());
    QCOMPARE(xdotool({"key", "--window", window, "Escape"}), 0);
    QTRY_VERIFY(tables.Filter1->isHidden());
}

QTEST_MAIN(DesktopTest)
#include "DesktopTest.moc"
