#pragma once

#include <QWidget>

#include "shell/Skin.h"
#include "ui/WindowPointer.h"

class QGroupBox;
class QLabel;

namespace tw {

class Dialogs;
class PushButton;
class SettingsStore;
class TextBox;

// The connection window: the Oracle login, the SQL Anywhere data source name, their tests and
// help, and "Next >". Its four text boxes are the live connection values of the whole program.
class Form1 : public QWidget {
    Q_OBJECT
public:
    Form1(SettingsStore& settings, Dialogs& dialogs, QString programFolder,
          QWidget* parent = nullptr);

    // Runs once at start, before any window is visible.
    void Form_Load();

    // Shows the window centred on the screen.
    void showCentred();

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

private:
    void createControls();
    void wireSettings();
    void wirePointerRule();

    SettingsStore& m_settings;
    Dialogs& m_dialogs;
    QString m_programFolder;
    WindowPointer m_pointer;
};

}  // namespace tw
