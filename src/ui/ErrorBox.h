#pragma once

#include <QString>

#include "shell/FrontEnd.h"

namespace tw {

class Dialogs;

// Address that the error box asks users to send screenshots to.
inline const QString kSupportAddress = QStringLiteral("support@tablewright.example");

// A statement may hold a value of megabytes; the box quotes its beginning only.
inline constexpr qsizetype kShownStatementLength = 1000;

// The text of the Application Error box. The statement, when given, is appended after "sql: ",
// cut after its first kShownStatementLength characters.
QString applicationErrorText(const QString& description, const QString& procedurePath, int line,
                             const QString* statement = nullptr);

// "in TablewrightApp2021/08/31.Form2.PushButton3_Click ": how the box names a procedure.
QString procedurePath(const QString& procedure);

// Shows each failure in the Application Error box. Where the procedure lets the user end the
// run, the box offers "Stop Transfer" beside OK; where asked, "Don't Show Again for This Table"
// after it.
class ErrorBox : public FailureReport {
public:
    enum class Answer { Resume, Stop, NoMoreBoxesForTable };

    explicit ErrorBox(Dialogs& dialogs) : m_dialogs(dialogs) {}
    AfterFailure failed(const Failure& failure) override;
    // The box, offering to show no more boxes for the failure's table when asked to.
    Answer ask(const Failure& failure, bool offerNoMoreBoxes);

    static const QString kStopButton;
    static const QString kNoMoreBoxesButton;

private:
    Dialogs& m_dialogs;
};

}  // namespace tw
