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

// What a box showed while it was up; read inside the box's own event loop, checked after it
// has returned.
struct Seen {
    bool shown = false;
    bool isMessageBox = false;
    QString title;
    QString text;   // a message box's text or an input box's label
    QString value;  // an input box's value
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
    Qt::TextFormat format = Qt::AutoText;
};

// Records the modal box as soon as it is up and lets the answer act on it. Whatever the answer
// does, the box is closed afterwards, so that a wrong box ends the test with a failure instead
// of waiting for someone to close it.
void whenShown(Seen& seen, std::function<void(QWidget*)> answer) {
    seen = Seen();
    QTimer::singleShot(0, [&seen, answer] {
        QWidget* box = QApplication::activeModalWidget();
        if (!box) return;
        seen.shown = true;
        seen.title = box->windowTitle();
        if (auto* message = qobject_cast<QMessageBox*>(box)) {
            seen.isMessageBox = true;
            seen.text = message->text();
            seen.icon = message->icon();
            seen.buttons = message->standardButtons();
            seen.format = message->textFormat();
        } else if (auto* input = qobject_cast<QInputDialog*>(box)) {
            seen.text = input->labelText();
            seen.value = input->textValue();
        }
        answer(box);
        if (auto* dialog = qobject_cast<QDialog*>(box); dialog && dialog->isVisible()) dialog->reject();
    });
}

void click(QWidget* box, QMessageBox::StandardButton button) {
    if (auto* message = qobject_cast<QMessageBox*>(box); message && message->button(button)) {
        message->button(button)->click();
    }
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
    void furtherButtonsAnswerInTheirOrder();
};

void QtDialogsTest::errorBoxShowsWarningIconOkOnlyAndItsCaption() {
    QtDialogs dialogs;
    Seen seen;
    whenShown(seen, [](QWidget* box) { click(box, QMessageBox::Ok); });
    QCOMPARE(dialogs.msgBox("desc <b>x</b>\r\nin X at line 100\r\rPlease", MsgBoxStyle::Exclamation,
                            "Application Error"),
             MsgBoxResult::Ok);
    QVERIFY(seen.isMessageBox);
    QCOMPARE(seen.title, QStringLiteral("Application Error"));
    QCOMPARE(seen.icon, QMessageBox::Warning);
    QCOMPARE(seen.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    // Windows line ends show as line breaks; markup in a name shows as it is.
    QCOMPARE(seen.text, QStringLiteral("desc <b>x</b>\nin X at line 100\n\nPlease"));
    QCOMPARE(seen.format, Qt::PlainText);
}

void QtDialogsTest::noticeCarriesTheApplicationTitleAndNoIcon() {
    QtDialogs dialogs;
    Seen seen;
    whenShown(seen, [](QWidget* box) { click(box, QMessageBox::Ok); });
    QCOMPARE(dialogs.msgBox("Please select a table"), MsgBoxResult::Ok);
    QVERIFY(seen.isMessageBox);
    QCOMPARE(seen.title, QStringLiteral("Tablewright"));
    QCOMPARE(seen.icon, QMessageBox::NoIcon);
}

void QtDialogsTest::questionAnswersYesOrNo() {
    QtDialogs dialogs;
    for (const auto& [button, answer] :
         {std::pair{QMessageBox::Yes, MsgBoxResult::Yes}, std::pair{QMessageBox::No, MsgBoxResult::No}}) {
        Seen seen;
        whenShown(seen, [button = button](QWidget* box) { click(box, button); });
        QCOMPARE(dialogs.msgBox("Would you like to overwrite EMP?", MsgBoxStyle::YesNo, "Overwrite?"),
                 answer);
        QVERIFY(seen.isMessageBox);
        QCOMPARE(seen.title, QStringLiteral("Overwrite?"));
        QCOMPARE(seen.icon, QMessageBox::NoIcon);
        QCOMPARE(seen.buttons, QMessageBox::StandardButtons(QMessageBox::Yes | QMessageBox::No));
    }
}

void QtDialogsTest::inputBoxAnswersTheTextOrNothingOnCancel() {
    QtDialogs dialogs;
    Seen seen;
    whenShown(seen, [](QWidget* box) {
        if (auto* input = qobject_cast<QInputDialog*>(box)) {
            input->setTextValue(QStringLiteral("EMP 2"));
            input->accept();
        }
    });
    QCOMPARE(dialogs.inputBox("Enter new name of EMP:", QString(), "EMP"), QStringLiteral("EMP 2"));
    QVERIFY(seen.shown && !seen.isMessageBox);
    QCOMPARE(seen.title, QStringLiteral("Tablewright"));
    QCOMPARE(seen.text, QStringLiteral("Enter new name of EMP:"));
    QCOMPARE(seen.value, QStringLiteral("EMP"));

    whenShown(seen, [](QWidget* box) { qobject_cast<QDialog*>(box)->reject(); });
    QCOMPARE(dialogs.inputBox("Enter new name of EMP:", QString(), "EMP"), QString());
    QVERIFY(seen.shown);
}

void QtDialogsTest::furtherButtonsAnswerInTheirOrder() {
    QtDialogs dialogs;
    const QStringList further = {"Yes to All", "No to All"};
    for (int n : {0, 1}) {
        Seen seen;
        whenShown(seen, [&](QWidget* box) {
            for (QAbstractButton* button : qobject_cast<QMessageBox*>(box)->buttons()) {
                if (button->text() == further[n]) button->click();
            }
        });
        QCOMPARE(
            dialogs.msgBox("Would you like to overwrite EMP?", MsgBoxStyle::YesNo, "Overwrite?", further),
            MsgBoxResult::Extra + n);
        QCOMPARE(seen.buttons, QMessageBox::StandardButtons(QMessageBox::Yes | QMessageBox::No));
    }
}

QTEST_MAIN(QtDialogsTest)
#include "QtDialogsTest.moc"
