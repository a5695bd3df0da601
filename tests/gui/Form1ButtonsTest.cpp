#include "Form1Rig.h"
#include "db/DbError.h"
#include "ui/TextBox.h"

namespace {

const QString kSuccess = QStringLiteral("Connection successful.");
const QString kFailure = QStringLiteral("Could not connect. Please check with your administrator.");

QStringList texts(const ScriptedDialogs& dialogs) {
    QStringList shown;
    for (const auto& box : dialogs.shown) shown << box.text;
    return shown;
}

void fill(Form1& form, const QString& sid, const QString& user, const QString& password,
          const QString& dataSource) {
    form.Text1->setText(sid);
    form.Text2->setText(user);
    form.Text3->setText(password);
    form.Text4->setText(dataSource);
}

}  // namespace

class Form1ButtonsTest : public QObject {
    Q_OBJECT
private slots:
    void testButtonsOpenTheBoxesConnectionAndSaySo();
    void failedTestSaysSoOnceAndTakesTheHourglassBack();
    void connectionObjectThatCannotBeMadeIsReportedAtLine100();
    void helpButtonsShowTheirTextsInOrder();
};

void Form1ButtonsTest::testButtonsOpenTheBoxesConnectionAndSaySo() {
    Rig rig;
    Form1& form = rig.load();
    fill(form, "127.0.0.1", "scott", "ti;ger", "tw_sqlany");
    QList<MousePointer> duringOpen;
    rig.connections.onOpen = [&](const QString&) { duringOpen << form.pointer().get(); };

    QTest::mouseClick(form.PushButton3, Qt::LeftButton);
    form.Text4->setText("other dsn");  // read at the moment of use
    QTest::mouseClick(form.PushButton1, Qt::LeftButton);

    QCOMPARE(rig.connections.log,
             QStringList({"create",
                          "open Driver={Microsoft ODBC for Oracle};Server=127.0.0.1;Uid=scott;Pwd={ti;ger};",
                          "release", "create", "open Data Source=other dsn", "release"}));
    QCOMPARE(duringOpen, QList<MousePointer>({MousePointer::Hourglass, MousePointer::Hourglass}));
    QCOMPARE(texts(rig.dialogs), QStringList({kSuccess, kSuccess}));
    for (const auto& box : rig.dialogs.shown) {
        QCOMPARE(box.style, 0);          // OK only, no icon
        QVERIFY(box.caption.isEmpty());  // the application title
    }
    QCOMPARE(form.pointer().get(), MousePointer::Default);

    // The settings' template gives the Oracle string the user's driver needs.
    rig.settings.save(kSettingsApplication, kSettingsSection, SettingKey::OracleConnectionString,
                      "Driver={Oracle 21 ODBC driver};DBQ={SID};UID={User};PWD={Password};");
    QTest::mouseClick(form.PushButton3, Qt::LeftButton);
    QCOMPARE(
        rig.connections.log.mid(6, 2),
        QStringList({"create", "open Driver={Oracle 21 ODBC driver};DBQ=127.0.0.1;UID=scott;PWD={ti;ger};"}));
}

void Form1ButtonsTest::failedTestSaysSoOnceAndTakesTheHourglassBack() {
    Rig rig;
    Form1& form = rig.load();
    rig.connections.onOpen = [](const QString&) { throw DbError("[28P01] password authentication failed"); };
    form.PushButton3_Click();
    form.PushButton1_Click();
    // The driver's message is not shown, and there is no error box.
    QCOMPARE(texts(rig.dialogs), QStringList({kFailure, kFailure}));
    QCOMPARE(form.pointer().get(), MousePointer::Default);

    // When the success message itself fails, the test did not finish: the failure message
    // follows, and the hourglass still goes.
    struct BrokenBox : ScriptedDialogs {
        int showMessage(const QString& text, int style, const QString& caption) override {
            ScriptedDialogs::showMessage(text, style, caption);
            if (text == kSuccess) throw std::runtime_error("no display");
            return MsgBoxResult::Ok;
        }
    } broken;
    Rig other;
    Form1 window({other.settings, broken, other.connections, other.program.dir.path()});
    window.PushButton1_Click();
    QCOMPARE(texts(broken), QStringList({kSuccess, kFailure}));
    QCOMPARE(window.pointer().get(), MousePointer::Default);
}

void Form1ButtonsTest::connectionObjectThatCannotBeMadeIsReportedAtLine100() {
    Rig rig;
    Form1& form = rig.load();
    rig.connections.failCreate = true;
    form.PushButton3_Click();
    QCOMPARE(rig.dialogs.shown.size(), 2);
    QCOMPARE(rig.dialogs.shown[0].caption, QStringLiteral("Application Error"));
    QVERIFY(rig.dialogs.shown[0].text.startsWith(
        "ActiveX component can't create object\r\n"
        "in TablewrightApp2021/08/31.Form1.PushButton3_Click at line 100\r\r"));
    QCOMPARE(rig.dialogs.shown[1].text, kFailure);
    QCOMPARE(form.pointer().get(), MousePointer::Default);
}

void Form1ButtonsTest::helpButtonsShowTheirTextsInOrder() {
    Rig rig;
    Form1& form = rig.load();
    QTest::mouseClick(form.PushButton4, Qt::LeftButton);
    QTest::mouseClick(form.PushButton5, Qt::LeftButton);
    QTest::mouseClick(form.PushButton6, Qt::LeftButton);
    const QStringList shown = texts(rig.dialogs);
    QCOMPARE(shown.size(), 4);
    QVERIFY(shown[0].startsWith("Here is how I connected to my Sybase database.\r\r"));
    QVERIFY(shown[1].startsWith("This software works with Oracle 9i or higher.\r\r"));
    QCOMPARE(shown[2],
             QStringLiteral("This software does not support the CLOB and NLOB data type in Oracle."));
    QCOMPARE(shown[3], shown[1]);
    for (const auto& box : rig.dialogs.shown) {
        QCOMPARE(box.style, 0);
        QVERIFY(box.caption.isEmpty());
    }
    QVERIFY(rig.connections.log.isEmpty());
}

QTEST_MAIN(Form1ButtonsTest)
#include "Form1ButtonsTest.moc"
