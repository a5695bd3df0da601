#pragma once

#include <QWidget>
#include <memory>

#include "db/ConnectionTarget.h"
#include "db/ConnectionValues.h"
#include "ui/ErrorBox.h"
#include "ui/Services.h"
#include "ui/Skin.h"
#include "ui/WindowPointer.h"

class QGroupBox;
class QLabel;

namespace tw {

class Form2;
struct ConnectionWindowLink;
class PushButton;
class TextBox;

// The connection window: the Oracle login, the SQL Anywhere data source name, their tests and
// help, and "Next >". Its four text boxes are the live connection values of the whole program.
class Form1 : public QWidget {
    Q_OBJECT
public:
    explicit Form1(const Services& services, QWidget* parent = nullptr);
    ~Form1() override;

    // Runs once at start, before any window is visible.
    void Form_Load();

    // The connection values as the boxes hold them now; every database operation reads them
    // at the moment it connects.
    ConnectionValues connectionValues() const;
    // The values and the way back, for the tables window.
    ConnectionWindowLink link();

    void PushButton1_Click();  // Test Connection, SQL Anywhere
    void PushButton2_Click();  // Next >
    void PushButton3_Click();  // Test Connection, Oracle
    void PushButton4_Click();  // Help, SQL Anywhere
    void PushButton5_Click();  // Help, Oracle
    void PushButton6_Click();  // "?" beside the SID

    // Shows the window centred on the screen.
    void showCentred();
    // Shows the window, centred when it has never been shown before.
    void showCentredFirstTime();

    // The tables window once it has been created, else null.
    Form2* tablesWindow() const { return m_tablesWindow.get(); }

    WindowPointer& pointer() { return m_pointer; }

    QGroupBox* Frame1;
    QLabel* Label2;
    TextBox* Text1;
    PushButton* PushButton6;
    QLabel* Label1;
    TextBox* Text2;
    QLabel* Label4;
    TextBox* Text3;
    PushButton* PushButton3;
    PushButton* PushButton5;
    QGroupBox* Frame2;
    QLabel* Label3;
    TextBox* Text4;
    PushButton* PushButton1;
    PushButton* PushButton4;
    PushButton* PushButton2;
    SkinFramework SkinFramework1;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void createControls();
    Form2& createTablesWindow();
    void wireSettings();
    void wirePointerRule();
    void wireButtons();
    void testConnection(const QString& procedure, const ConnectionTarget& target);
    void sayValuesAreNotKept();

    Services m_services;
    WindowPointer m_pointer;
    ErrorBox m_errorBox{m_services.dialogs};
    std::unique_ptr<Form2> m_tablesWindow;
    bool m_everShown = false;
    bool m_toldValuesNotKept = false;
};

}  // namespace tw
