// The real boxes: what the user sees for each style, and what each button answers.
#include <QApplication>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QtTest>
#include <functional>

#include "ui/AppTitle.h"
#include "ui/QtDialogs.h"

using namespace tw;

namespace {

// Runs the action on the modal box as soon as it is up.
void whenShown(std::function<void(QWidget*)> action) {
    QTimer::singleShot(0, [action] {
        QWidget* box = QApplication::activeModalWidget();
        QVERIFY(box);
        action(box);
    });
}

}  // namespace

class QtDialogsTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { SetAppTitle(); }
    void errorBoxShowsWarningIconOkOnlyAndItsCaption();
    void noticeCarriesTheApplicationTitleAndNoIcon();
    void questionAnswersYesOrNo();
    void inputBoxAnswersTheTextOrNothingOnCancel();
};

void QtDialogsTest::errorBoxShowsWarningIconOkOnlyAndItsCaption() {
    QtDialogs dialogs;
    whenShown([](QWidget* widget) {
        auto* box = qobject_cast<QMessageBox*>(widget);
        QVERIFY(box);
        QCOMPARE(box->windowTitle(), QStringLiteral("Application Error"));
        QCOMPARE(box->icon(), QMessageBox::Warning);
        QCOMPARE(box->standardButtons(), QMessageBox::StandardButtons(QMessageBox::Ok));
        // Windows line ends show as line breaks; markup in a name shows as it is.
        QCOMPARE(box->text(), QStringLiteral("desc <b>x</b>\nin X at line 100\n\nPlease"));
        QCOMPARE(box->textFormat(), Qt::PlainText);
        box->button(QMessageBox::Ok)->click();
    });
    QCOMPARE(dialogs.msgBox("desc <b>x</b>\r\nin X at line 100\r\rPlease", MsgBoxStyle::Exclamation,
                            "Application Error"),
             MsgBoxResult::Ok);
}

void QtDialogsTest::noticeCarriesTheApplicationTitleAndNoIcon() {
    QtDialogs dialogs;
    whenShown([](QWidget* widget) {
        auto* box = qobject_cast<QMessageBox*>(widget);
        QVERIFY(box);
        QCOMPARE(box->windowTitle(), QStringLiteral("Tablewright"));
        QCOMPARE(box->icon(), QMessageBox::NoIcon);
        box->button(QMessageBox::Ok)->click();
    });
    QCOMPARE(dialogs.msgBox("Please select a table"), MsgBoxResult::Ok);
}

void QtDialogsTest::questionAnswersYesOrNo() {
    QtDialogs dialogs;
    for (const auto& [button, answer] : {std::pair{QMessageBox::Yes, MsgBoxResult::Yes},
                                        std::pair{QMessageBox::No, MsgBoxResult::No}}) {
        whenShown([button](QWidget* widget) {
            auto* box = qobject_cast<QMessageBox*>(widget);
            QVERIFY(box);
            QCOMPARE(box->windowTitle(), QStringLiteral("Overwrite?"));
            QCOMPARE(box->icon(), QMessageBox::NoIcon);
            QCOMPARE(box->standardButtons(),
                     QMessageBox::StandardButtons(QMessageBox::Yes | QMessageBox::No));
            box->button(button)->click();
        });
        QCOMPARE(dialogs.msgBox("Would you like to overwrite EMP?", MsgBoxStyle::YesNo, "Overwrite?"),
                 answer);
    }
}

void QtDialogsTest::inputBoxAnswersTheTextOrNothingOnCancel() {
    QtDialogs dialogs;
    whenShown([](QWidget* widget) {
        auto* input = qobject_cast<QInputDialog*>(widget);
        QVERIFY(input);
        QCOMPARE(input->windowTitle(), QStringLiteral("Tablewright"));
        QCOMPARE(input->labelText(), QStringLiteral("Enter new name of EMP:"));
        QCOMPARE(input->textValue(), QStringLiteral("EMP"));
        input->setTextValue(QStringLiteral("EMP 2"));
        input->accept();
    });
    QCOMPARE(dialogs.inputBox("Enter new name of EMP:", QString(), "EMP"), QStringLiteral("EMP 2"));

    whenShown([](QWidget* widget) { qobject_cast<QDialog*>(widget)->reject(); });
    QCOMPARE(dialogs.inputBox("Enter new name of EMP:", QString(), "EMP"), QString());
}

QTEST_MAIN(QtDialogsTest)
#include "QtDialogsTest.moc"
