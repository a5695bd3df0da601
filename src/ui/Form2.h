#pragma once

#include <QWidget>
#include <functional>

#include "maintenance/DatabaseSide.h"
#include "shell/LoggingFrontEnd.h"
#include "transfer/TransferProfile.h"
#include "ui/ErrorBox.h"
#include "ui/Services.h"
#include "ui/WindowFrontEnd.h"
#include "ui/WindowPointer.h"

class QGroupBox;
class QLabel;

namespace tw {

class FilterBox;
class Procedure;
class ProgressBar;
class PushButton;
class TableListBox;

// What the tables window needs of the connection window: the connection values as they are
// now, and the way back to it.
struct ConnectionWindowLink {
    std::function<ConnectionValues()> values;
    std::function<void()> showAgain;
};

// The tables window: the SQL Anywhere tables on the left, the Oracle tables on the right, each
// with buttons to select, send, delete and rename; the transfer progress below. It starts at the
// design's size, or at the size and place the user left it at last time, and can be made larger
// or maximised: the lists take the room. Typing into a list or Ctrl+F opens a filter box over
// it, which shows the names that hold its text; the counts of each list are its tooltip, and a
// line under it in a window made taller; F5 and the small button beside the bar read both lists
// again.
class Form2 : public QWidget {
    Q_OBJECT
public:
    Form2(const Services& services, ConnectionWindowLink connectionWindow, QWidget* parent = nullptr);

    // Paints the window and fills both lists from the databases; run at creation and by
    // "Next >" each time before the window is shown.
    void Form_Load();

    WindowPointer& pointer() { return m_pointer; }

    // Where the window first shows: where the user left it last time, else centred on the screen.
    void placeAsRemembered();

    void PushButton1_Click();   // Delete Table/s, SQL Anywhere
    void PushButton2_Click();   // < Back
    void PushButton3_Click();   // Send Table/s To Oracle
    void PushButton4_Click();   // Send Table/s To Sybase iAny
    void PushButton5_Click();   // Delete Table/s, Oracle
    void PushButton6_Click();   // Rename Table, SQL Anywhere
    void PushButton7_Click();   // Rename Table, Oracle
    void PushButton8_Click();   // Select All, Oracle
    void PushButton9_Click();   // Deselect All, Oracle
    void PushButton10_Click();  // Select All, SQL Anywhere
    void PushButton11_Click();  // Deselect All, SQL Anywhere
    void PushButton12_Click();  // Help

    // Reads both lists again from the databases; each keeps its filter, its selected names that
    // it still shows, and its current name.
    void refreshLists();

    // Copies the selected tables of one list into the other list's database, as the two send
    // buttons do, with the commands resting meanwhile.
    void sendTables(const TransferProfile& profile, TableListBox& source, TableListBox& target);

    QGroupBox* Frame2;
    TableListBox* List1;
    QGroupBox* Frame1;
    TableListBox* List2;
    PushButton* PushButton10;
    PushButton* PushButton11;
    PushButton* PushButton3;
    PushButton* PushButton1;
    PushButton* PushButton6;
    PushButton* PushButton8;
    PushButton* PushButton9;
    PushButton* PushButton4;
    PushButton* PushButton5;
    PushButton* PushButton7;
    ProgressBar* ProgressBar1;
    PushButton* PushButton2;
    PushButton* PushButton12;
    FilterBox* Filter1;  // over List1, while in use
    FilterBox* Filter2;  // over List2
    QLabel* Counts1;     // under List1 in a taller window: "12 of 38 tables shown, 3 selected"
    QLabel* Counts2;
    PushButton* Refresh;

    // The question Escape asks while a transfer runs.
    static const QString kStopQuestion;

protected:
    void closeEvent(QCloseEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void createControls();
    void loadLists(Procedure& proc);
    void createListTools();
    void applyLayout();
    void wirePointerRule();
    void wireButtons();
    void selectAll(const QString& procedure, TableListBox& list, bool selected);
    void rememberPlace();
    LoggingFrontEnd logged(const QString& what);

    Services m_services;
    ConnectionWindowLink m_connectionWindow;
    WindowPointer m_pointer;
    ErrorBox m_errorBox{m_services.dialogs};
    WindowFrontEnd m_frontEnd;
    bool m_transferRunning = false;
    bool m_transferStopAsked = false;
    bool m_refreshing = false;
    bool m_everShown = false;        // until then Form_Load gives the window its starting height
    bool m_placeRemembered = false;  // placed where the user left it: its height too
};

}  // namespace tw
