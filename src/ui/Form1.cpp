#include "ui/Form1.h"

#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>

#include "shell/AppTitle.h"
#include "shell/FileExists.h"
#include "shell/FormColours.h"
#include "shell/Procedure.h"
#include "shell/ProgramFolder.h"
#include "shell/SettingsStore.h"
#include "ui/AppIcon.h"
#include "ui/CursorFile.h"
#include "ui/Frame.h"
#include "ui/MouseMoveNotifier.h"
#include "ui/PushButton.h"
#include "ui/TextBox.h"
#include "ui/Twips.h"

namespace tw {

namespace {

QFont arial9(bool bold) {
    QFont font(QStringLiteral("Arial"));
    font.setPointSize(9);
    font.setBold(bold);
    return font;
}

template <typename Control>
Control* place(Control* control, const QString& name, const QRect& geometry) {
    control->setObjectName(name);
    control->setGeometry(geometry);
    return control;
}

QGroupBox* frame(QWidget* parent, const QString& name, const QString& caption, QRect geometry) {
    auto* box = place(new Frame(caption, parent), name, geometry);
    box->setFont(arial9(true));
    return box;
}

QLabel* label(QWidget* parent, const QString& name, const QString& caption, QRect geometry) {
    auto* text = place(new QLabel(caption, parent), name, geometry);
    text->setFont(arial9(true));
    stopMouseMoves(*text);  // labels have no pointer rule of their own
    return text;
}

TextBox* textBox(QWidget* parent, const QString& name, QRect geometry) {
    auto* box = place(new TextBox(parent), name, geometry);
    box->setFont(arial9(true));
    return box;
}

PushButton* button(QWidget* parent, const QString& name, const QString& caption, QRect geometry) {
    return place(new PushButton(caption, parent), name, geometry);
}

}  // namespace

Form1::Form1(SettingsStore& settings, Dialogs& dialogs, QString programFolder, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      m_settings(settings),
      m_dialogs(dialogs),
      m_programFolder(std::move(programFolder)),
      m_pointer(*this) {
    setObjectName(QStringLiteral("Form1"));
    setFont(arial9(false));
    setFixedSize(twipsToPixels(8025), twipsToPixels(4650));
    createControls();
    paintFormBackground(*this, Qt::white);
    wireSettings();
    wirePointerRule();
}

void Form1::createControls() {
    Frame1 = frame(this, "Frame1", "Oracle Login", twipsRect(120, 120, 7800, 2385));
    Label2 = label(Frame1, "Label2", "SID:", twipsRect(240, 405, 975, 255));
    Text1 = textBox(Frame1, "Text1", twipsRect(1320, 330, 5535, 345));
    PushButton6 = button(Frame1, "PushButton6", "?", twipsRect(6960, 330, 615, 345));
    Label1 = label(Frame1, "Label1", "Username:", twipsRect(240, 885, 1095, 255));
    Text2 = textBox(Frame1, "Text2", twipsRect(1320, 840, 6255, 345));
    Label4 = label(Frame1, "Label4", "Password:", twipsRect(240, 1365, 1095, 255));
    Text3 = textBox(Frame1, "Text3", twipsRect(1320, 1320, 6255, 345));
    PushButton3 = button(Frame1, "PushButton3", "Test Connection", twipsRect(240, 1800, 3600, 405));
    PushButton5 = button(Frame1, "PushButton5", "Help", twipsRect(3960, 1800, 3600, 405));

    Frame2 = frame(this, "Frame2", "Sybase iAnywhere Database", twipsRect(120, 2580, 7800, 1395));
    Label3 = label(Frame2, "Label3", "Data Source Name:", twipsRect(240, 405, 1695, 255));
    Text4 = textBox(Frame2, "Text4", twipsRect(2040, 360, 5535, 345));
    PushButton1 = button(Frame2, "PushButton1", "Test Connection", twipsRect(240, 840, 3600, 405));
    PushButton4 = button(Frame2, "PushButton4", "Help", twipsRect(3960, 840, 3600, 405));

    PushButton2 = button(this, "PushButton2", "Next >", twipsRect(120, 4110, 7800, 405));

    Text3->maskWith(QLatin1Char('*'));

    QWidget* tabOrder[] = {Text1,       Text2,       Text3,       Text4,       PushButton6,
                           PushButton3, PushButton5, PushButton1, PushButton4, PushButton2};
    for (size_t i = 1; i < std::size(tabOrder); ++i) setTabOrder(tabOrder[i - 1], tabOrder[i]);
    Text1->setFocus();
}

// Every change of a box, typed or assigned, is remembered at once.
void Form1::wireSettings() {
    const std::pair<TextBox*, QString> boxes[] = {{Text1, SettingKey::OracleServer},
                                                  {Text2, SettingKey::OracleUser},
                                                  {Text3, SettingKey::OraclePassword},
                                                  {Text4, SettingKey::DataSourceName}};
    for (const auto& [box, key] : boxes) {
        connect(box, &QLineEdit::textChanged, this, [this, key](const QString& text) {
            if (!m_settings.save(kSettingsApplication, kSettingsSection, key, text)) {
                qWarning("Could not save the setting %s", qPrintable(key));
            }
        });
    }
}

// Hand over the buttons, default elsewhere; the hourglass stays while the window is busy,
// except over the data source box.
void Form1::wirePointerRule() {
    for (PushButton* pushButton :
         {PushButton1, PushButton2, PushButton3, PushButton4, PushButton5, PushButton6}) {
        connect(pushButton, &PushButton::mouseMove, this, [this] {
            if (!m_pointer.isBusy()) m_pointer.set(MousePointer::Custom);
        });
    }
    for (QWidget* plain : std::initializer_list<QWidget*>{this, Frame1, Frame2, Text1, Text2, Text3}) {
        onMouseMove(*plain, [this] {
            if (!m_pointer.isBusy()) m_pointer.set(MousePointer::Default);
        });
    }
    onMouseMove(*Text4, [this] { m_pointer.set(MousePointer::Default); });
}

void Form1::Form_Load() {
    Procedure proc(m_dialogs, QStringLiteral("Form1.Form_Load"));
    proc.step(100, [&] { ApplySkin(*this, SkinFramework1, m_programFolder); });
    proc.step(104, [&] {
        setWindowTitle(kProductTitle);
        setWindowIcon(applicationIcon());
        SetAppTitle();
    });
    const QString handPointer = m_programFolder + kHandPointerFile;
    if (proc.test(124, [&] { return FileExists(handPointer); })) {
        proc.step(126, [&] { m_pointer.setCustomImage(loadCursorFile(handPointer)); });
    }
    const std::pair<TextBox*, QString> boxes[] = {{Text1, SettingKey::OracleServer},
                                                  {Text2, SettingKey::OracleUser},
                                                  {Text3, SettingKey::OraclePassword},
                                                  {Text4, SettingKey::DataSourceName}};
    int line = 128;
    for (const auto& [box, key] : boxes) {
        proc.step(line, [&] { box->setText(m_settings.value(kSettingsApplication, kSettingsSection, key)); });
        line += 2;
    }
}

void Form1::showCentred() {
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect placed = geometry();
        placed.moveCenter(screen->availableGeometry().center());
        move(placed.topLeft());
    }
    show();
}

}  // namespace tw
