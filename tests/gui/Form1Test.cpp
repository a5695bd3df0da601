#include <QGroupBox>
#include <QLabel>

#include "Form1Rig.h"
#include "ui/AppTitle.h"
#include "ui/FormColours.h"
#include "ui/PushButton.h"
#include "ui/TextBox.h"

namespace {
QColor backgroundOf(QWidget* widget) { return widget->palette().color(widget->backgroundRole()); }
}  // namespace

class Form1Test : public QObject {
    Q_OBJECT
private slots:
    void firstRunShowsEmptyBoxesAndWritesNothing();
    void rememberedValuesComeBackAndAreNotChanged();
    void everyChangeIsSavedAtOnce();
    void captionIconAndTitle();
    void tabOrderAndSelectAllOnFocus();
    void passwordIsMasked();
    void pointerFollowsTheHoverRule();
    void busyPointerStaysExceptOverTheDataSourceBox();
    void handPointerComesFromTheCursorFile();
    void unreadableHandPointerIsReportedAndLoadGoesOn();
    void withoutSkinTheWindowIsWhite();
    void withSkinTheWindowTakesTheButtonFace();
    void controlsLieInsideTheirContainers();
    void settingsThatCannotBeKeptAreSaidOnce();
};

void Form1Test::firstRunShowsEmptyBoxesAndWritesNothing() {
    Rig rig;
    Form1& form = rig.load();
    for (TextBox* box : {form.Text1, form.Text2, form.Text3, form.Text4}) QVERIFY(box->text().isEmpty());
    QVERIFY(!QFile::exists(rig.settings.filePath(kSettingsApplication)));
    QVERIFY(rig.dialogs.shown.isEmpty());
}

void Form1Test::rememberedValuesComeBackAndAreNotChanged() {
    Rig rig;
    const QString password = QStringLiteral("  ti;ger ü😀 ");
    rig.settings.save(kSettingsApplication, kSettingsSection, SettingKey::OracleServer, "127.0.0.1");
    rig.settings.save(kSettingsApplication, kSettingsSection, SettingKey::OracleUser, " scott");
    rig.settings.save(kSettingsApplication, kSettingsSection, SettingKey::OraclePassword, password);
    rig.settings.save(kSettingsApplication, kSettingsSection, SettingKey::DataSourceName, "tw_sqlany");

    Form1& form = rig.load();
    QCOMPARE(form.Text1->text(), QStringLiteral("127.0.0.1"));
    QCOMPARE(form.Text2->text(), QStringLiteral(" scott"));
    QCOMPARE(form.Text3->text(), password);
    QCOMPARE(form.Text4->text(), QStringLiteral("tw_sqlany"));
    // Filling the boxes writes each value back unchanged.
    QCOMPARE(rig.stored(SettingKey::OraclePassword), password);
    QCOMPARE(rig.stored(SettingKey::OracleUser), QStringLiteral(" scott"));
}

void Form1Test::everyChangeIsSavedAtOnce() {
    Rig rig;
    Form1& form = rig.load();
    form.show();
    QVERIFY(QTest::qWaitForWindowActive(&form));

    QStringList seen;
    for (QChar typed : QStringLiteral("ab;")) {
        QTest::keyClick(form.Text2, typed.toLatin1());
        seen << rig.stored(SettingKey::OracleUser);
    }
    QCOMPARE(seen, QStringList({"a", "ab", "ab;"}));
    QCOMPARE(rig.stored(SettingKey::OracleServer), QString());  // other keys untouched

    form.Text2->selectAll();
    QTest::keyClick(form.Text2, Qt::Key_Delete);
    QCOMPARE(rig.stored(SettingKey::OracleUser), QString());

    form.Text4->insert(QStringLiteral("pasted dsn"));
    QCOMPARE(rig.stored(SettingKey::DataSourceName), QStringLiteral("pasted dsn"));

    // The next run starts from what the boxes last held.
    Form1 restarted(rig.services());
    restarted.Form_Load();
    QCOMPARE(restarted.Text2->text(), QString());
    QCOMPARE(restarted.Text4->text(), QStringLiteral("pasted dsn"));
}

void Form1Test::captionIconAndTitle() {
    Rig rig;
    Form1& form = rig.load();
    QCOMPARE(form.windowTitle(), QStringLiteral("Tablewright"));
    QCOMPARE(appTitle(), QStringLiteral("Tablewright"));
    QVERIFY(!form.windowIcon().isNull());
    QCOMPARE(form.size(), QSize(535, 310));  // 8025 x 4650 twips
    QVERIFY(!(form.windowFlags() & Qt::WindowMaximizeButtonHint));
}

void Form1Test::tabOrderAndSelectAllOnFocus() {
    Rig rig;
    rig.settings.save(kSettingsApplication, kSettingsSection, SettingKey::OracleUser, "scott");
    rig.settings.save(kSettingsApplication, kSettingsSection, SettingKey::OraclePassword, "tiger");
    Form1& form = rig.load();
    form.show();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    QCOMPARE(QApplication::focusWidget(), form.Text1);

    const QList<QWidget*> expected = {form.Text2,       form.Text3,       form.Text4,       form.PushButton6,
                                      form.PushButton3, form.PushButton5, form.PushButton1, form.PushButton4,
                                      form.PushButton2, form.Text1};
    for (QWidget* next : expected) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), next);
        if (next == form.Text2) QCOMPARE(form.Text2->selectedText(), QStringLiteral("scott"));
    }

    // However the box is entered, its whole text is selected, and typing replaces it.
    form.PushButton2->setFocus();
    form.Text3->setFocus(Qt::OtherFocusReason);
    QCOMPARE(form.Text3->selectionStart(), 0);
    QCOMPARE(form.Text3->selectedText(), QStringLiteral("tiger"));
    QTest::keyClicks(form.Text3, "lion");
    QCOMPARE(form.Text3->text(), QStringLiteral("lion"));
    QCOMPARE(rig.stored(SettingKey::OraclePassword), QStringLiteral("lion"));

    for (QWidget* noFocus : std::initializer_list<QWidget*>{form.Frame1, form.Frame2, form.Label1,
                                                            form.Label2, form.Label3, form.Label4}) {
        QCOMPARE(noFocus->focusPolicy(), Qt::NoFocus);
    }
}

void Form1Test::passwordIsMasked() {
    Rig rig;
    Form1& form = rig.load();
    form.Text3->setText(QStringLiteral("tig er"));
    QCOMPARE(form.Text3->displayText(), QStringLiteral("******"));
    QCOMPARE(form.Text3->text(), QStringLiteral("tig er"));
    form.Text2->setText(QStringLiteral("scott"));
    QCOMPARE(form.Text2->displayText(), QStringLiteral("scott"));
}

void Form1Test::pointerFollowsTheHoverRule() {
    Rig rig;
    rig.program.addHandPointer();
    Form1& form = rig.load();
    WindowPointer& pointer = form.pointer();

    for (PushButton* button : {form.PushButton1, form.PushButton2, form.PushButton3, form.PushButton4,
                               form.PushButton5, form.PushButton6}) {
        moveOver(button);
        QCOMPARE(pointer.get(), MousePointer::Custom);
        moveOver(&form);
        QCOMPARE(pointer.get(), MousePointer::Default);
    }
    for (QWidget* plain : std::initializer_list<QWidget*>{form.Frame1, form.Frame2, form.Text1, form.Text2,
                                                          form.Text3, form.Text4}) {
        moveOver(form.PushButton3);
        moveOver(plain);
        QCOMPARE(pointer.get(), MousePointer::Default);
    }
    // A label keeps whatever pointer was there; the frame behind it does not hear the move.
    moveOver(form.PushButton5);
    for (QLabel* label : {form.Label1, form.Label2, form.Label3, form.Label4}) {
        moveOver(label);
        QCOMPARE(pointer.get(), MousePointer::Custom);
    }
    moveOver(form.Frame1);
    QCOMPARE(pointer.get(), MousePointer::Default);
}

void Form1Test::busyPointerStaysExceptOverTheDataSourceBox() {
    Rig rig;
    Form1& form = rig.load();
    WindowPointer& pointer = form.pointer();
    pointer.set(MousePointer::Hourglass);
    // The hourglass shows over every control, the text boxes included.
    QCOMPARE(form.cursor().shape(), Qt::WaitCursor);
    QCOMPARE(form.Text1->cursor().shape(), Qt::WaitCursor);

    for (QWidget* keeps :
         std::initializer_list<QWidget*>{form.PushButton1, form.PushButton6, &form, form.Frame1, form.Frame2,
                                         form.Text1, form.Text2, form.Text3, form.Label3}) {
        moveOver(keeps);
        QCOMPARE(pointer.get(), MousePointer::Hourglass);
    }
    moveOver(form.Text4);
    QCOMPARE(pointer.get(), MousePointer::Default);
    // Back to default, each control shows its own pointer again.
    QCOMPARE(form.Text1->cursor().shape(), Qt::IBeamCursor);
    QCOMPARE(form.cursor().shape(), Qt::ArrowCursor);
}

void Form1Test::handPointerComesFromTheCursorFile() {
    Rig rig;
    rig.program.addHandPointer();
    Form1& form = rig.load();
    QVERIFY(form.pointer().hasCustomImage());
    form.pointer().set(MousePointer::Custom);
    QCOMPARE(form.cursor().shape(), Qt::BitmapCursor);
    QCOMPARE(form.PushButton2->cursor().hotSpot(), QPoint(6, 0));  // the fingertip
    QVERIFY(!form.cursor().pixmap().isNull());
    QVERIFY(rig.dialogs.shown.isEmpty());

    // Without the file there is no image, no message, and the hand shows as the default pointer.
    Rig bare;
    Form1& plain = bare.load();
    QVERIFY(!plain.pointer().hasCustomImage());
    moveOver(plain.PushButton1);
    QCOMPARE(plain.pointer().get(), MousePointer::Custom);
    QCOMPARE(plain.cursor().shape(), Qt::ArrowCursor);
    QVERIFY(bare.dialogs.shown.isEmpty());
}

void Form1Test::unreadableHandPointerIsReportedAndLoadGoesOn() {
    Rig rig;
    rig.program.addHandPointer("not a cursor at all");
    rig.settings.save(kSettingsApplication, kSettingsSection, SettingKey::DataSourceName, "tw_sqlany");
    Form1& form = rig.load();
    QCOMPARE(rig.dialogs.shown.size(), 1);
    QCOMPARE(rig.dialogs.shown[0].caption, QStringLiteral("Application Error"));
    QVERIFY(rig.dialogs.shown[0].text.contains(
        "\r\nin TablewrightApp2021/08/31.Form1.Form_Load at line 126\r\r"));
    QVERIFY(!form.pointer().hasCustomImage());
    QCOMPARE(form.Text4->text(), QStringLiteral("tw_sqlany"));
}

void Form1Test::withoutSkinTheWindowIsWhite() {
    Rig rig;
    Form1& form = rig.load();
    QVERIFY(!form.SkinFramework1.isLoaded());
    for (QWidget* painted : std::initializer_list<QWidget*>{&form, form.Frame1, form.Frame2, form.Label1,
                                                            form.Label2, form.Label3, form.Label4}) {
        QCOMPARE(backgroundOf(painted), QColor(Qt::white));
    }
    const QImage shot = form.grab().toImage();
    QCOMPARE(shot.pixelColor(3, 300), QColor(Qt::white));  // window background below the frames
}

void Form1Test::withSkinTheWindowTakesTheButtonFace() {
    Rig rig;
    rig.program.addSkin();
    Form1& form = rig.load();
    QVERIFY(form.SkinFramework1.isLoaded());
    QVERIFY(!form.styleSheet().isEmpty());
    const QColor face = buttonFaceColour();
    QVERIFY(face != QColor(Qt::white));
    for (QWidget* painted : std::initializer_list<QWidget*>{&form, form.Frame1, form.Frame2, form.Label1,
                                                            form.Label2, form.Label3, form.Label4}) {
        QCOMPARE(backgroundOf(painted), face);
    }
    QCOMPARE(form.Text1->palette().color(QPalette::Base), QColor(Qt::white));
    const QImage shot = form.grab().toImage();
    QCOMPARE(shot.pixelColor(3, 300), face);
    QCOMPARE(form.Text3->displayText(), QString());  // the skin does not unmask the password
    form.Text3->setText("abc");
    QCOMPARE(form.Text3->displayText(), QStringLiteral("***"));
}

void Form1Test::controlsLieInsideTheirContainers() {
    Rig rig;
    Form1& form = rig.load();
    for (QWidget* control : form.findChildren<QWidget*>()) {
        if (!control->parentWidget() || control->objectName().isEmpty()) continue;
        const QRect container = control->parentWidget()->rect();
        QVERIFY2(container.contains(control->geometry()), qPrintable(control->objectName()));
    }
}

void Form1Test::settingsThatCannotBeKeptAreSaidOnce() {
    // A folder where the file should be: nothing can be read or written, even by root.
    Rig rig;
    QVERIFY(QDir().mkpath(rig.settings.filePath(kSettingsApplication)));
    Form1& form = rig.load();
    form.Text1->setText("127.0.0.1");
    form.Text4->setText("tw_sqlany");
    QCOMPARE(rig.dialogs.shown.size(), 1);
    QVERIFY(rig.dialogs.shown[0].text.contains(rig.settings.filePath(kSettingsApplication)));
    QVERIFY(rig.dialogs.shown[0].text.contains("will not be remembered"));
    QCOMPARE(form.connectionValues().oracleServer, QStringLiteral("127.0.0.1"));  // still in use

    // Nothing to read, and a file where the folder should be: said at the first change, once.
    Rig other;
    QFile blocker(QFileInfo(other.settings.filePath(kSettingsApplication)).path());
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    Form1& second = other.load();
    QVERIFY(other.dialogs.shown.isEmpty());
    second.Text2->setText("scott");
    second.Text3->setText("tiger");
    QCOMPARE(other.dialogs.shown.size(), 1);
}

QTEST_MAIN(Form1Test)
#include "Form1Test.moc"
