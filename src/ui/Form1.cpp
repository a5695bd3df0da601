#include "ui/Form1.h"

#include <QCloseEvent>
#include <QDir>
#include <QGroupBox>
#include <QLabel>

#include "db/Connection.h"
#include "db/HelpTexts.h"
#include "db/Oracle.h"
#include "db/RequiredConnection.h"
#include "db/Sybase.h"
#include "shell/Procedure.h"
#include "shell/SettingsStore.h"
#include "ui/AppIcon.h"
#include "ui/AppTitle.h"
#include "ui/CommandsDisabled.h"
#include "ui/Dialogs.h"
#include "ui/Form2.h"
#include "ui/FormColours.h"
#include "ui/Frame.h"
#include "ui/Layout.h"
#include "ui/MouseMoveNotifier.h"
#include "ui/PushButton.h"
#include "ui/TextBox.h"
#include "ui/Twips.h"

namespace tw {

namespace {

QFont arial9(bool bold) { return arialFont(9, bold); }

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

Form1::Form1(const Services& services, QWidget* parent)
    : QWidget(parent, kFixedWindowFlags), m_services(services), m_pointer(*this) {
    setObjectName(QStringLiteral("Form1"));
    setFont(arial9(false));
    setFixedSize(twipsToPixels(8025), twipsToPixels(4650));
    createControls();
    paintFormBackground(*this, Qt::white);
    wireSettings();
    wirePointerRule();
    wireButtons();
}

Form1::~Form1() = default;

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
            if (!m_services.settings.save(kSettingsApplication, kSettingsSection, key, text)) {
                sayValuesAreNotKept();
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

void Form1::wireButtons() {
    connect(PushButton1, &QPushButton::clicked, this, &Form1::PushButton1_Click);
    connect(PushButton2, &QPushButton::clicked, this, &Form1::PushButton2_Click);
    connect(PushButton3, &QPushButton::clicked, this, &Form1::PushButton3_Click);
    connect(PushButton4, &QPushButton::clicked, this, &Form1::PushButton4_Click);
    connect(PushButton5, &QPushButton::clicked, this, &Form1::PushButton5_Click);
    connect(PushButton6, &QPushButton::clicked, this, &Form1::PushButton6_Click);
}

void Form1::Form_Load() {
    Procedure proc(m_errorBox, QStringLiteral("Form1.Form_Load"));
    proc.step(100, [&] { ApplySkin(*this, SkinFramework1, m_services.programFolder); });
    proc.step(104, [&] {
        setWindowTitle(kProductTitle);
        setWindowIcon(applicationIcon());
        SetAppTitle();
    });
    loadHandPointer(proc, 124, m_pointer, m_services.programFolder);
    const std::pair<TextBox*, QString> boxes[] = {{Text1, SettingKey::OracleServer},
                                                  {Text2, SettingKey::OracleUser},
                                                  {Text3, SettingKey::OraclePassword},
                                                  {Text4, SettingKey::DataSourceName}};
    if (!m_services.settings.isReadable(kSettingsApplication)) sayValuesAreNotKept();
    int line = 128;
    for (const auto& [box, key] : boxes) {
        proc.step(line, [&] {
            box->setText(m_services.settings.value(kSettingsApplication, kSettingsSection, key));
        });
        line += 2;
    }

    // With remembered values that work on both sides, the user starts on the tables window.
    if (proc.test(136, [&] { return SybaseCanConnect(m_services.connections, connectionValues()); })) {
        if (proc.test(138, [&] { return OracleCanConnect(m_services.connections, connectionValues()); })) {
            proc.step(140, [&] {
                const bool created = !m_tablesWindow;
                Form2& tables = created ? createTablesWindow() : *m_tablesWindow;
                if (created) tables.Form_Load();
                tables.placeAsRemembered();
                tables.show();
            });
            proc.step(142, [&] { hide(); });
        }
    }
}

// The values still work for this session; the user hears once that they will be gone next time.
void Form1::sayValuesAreNotKept() {
    if (m_toldValuesNotKept) return;
    m_toldValuesNotKept = true;
    m_services.dialogs.msgBox(
        QStringLiteral("The settings file %1 cannot be read or written. The connection values "
                       "work for now but will not be remembered.")
            .arg(QDir::toNativeSeparators(m_services.settings.filePath(kSettingsApplication))),
        MsgBoxStyle::Exclamation);
}

Form2& Form1::createTablesWindow() {
    m_tablesWindow = std::make_unique<Form2>(m_services, link());
    m_tablesWindow->placeAsRemembered();  // where it first shows
    return *m_tablesWindow;
}

void Form1::PushButton2_Click() {
    // Loading the lists lets events through: a second "Next >" or a test meanwhile would run
    // on lists still being filled.
    const CommandsDisabled resting{Frame1, Frame2, PushButton2};
    Procedure proc(m_errorBox, QStringLiteral("Form1.PushButton2_Click"));
    proc.step(100, [&] { m_pointer.set(MousePointer::Hourglass); });
    if (proc.test(102, [&] { return SybaseCanConnect(m_services.connections, connectionValues()); })) {
        if (proc.test(104, [&] { return OracleCanConnect(m_services.connections, connectionValues()); })) {
            proc.step(106, [&] {
                Form2& tables = m_tablesWindow ? *m_tablesWindow : createTablesWindow();
                tables.Form_Load();
            });
            proc.step(108, [&] {
                if (m_tablesWindow) m_tablesWindow->show();
            });
            proc.step(110, [&] { hide(); });
        }
    }
    proc.step(112, [&] { m_pointer.set(MousePointer::Default); });
}

// Closing the connection window ends the program, whatever else is open or running.
void Form1::closeEvent(QCloseEvent* event) {
    event->accept();
    m_services.endProgram();
}

// The boxes as they are now, with the Oracle connection string's template from the settings.
ConnectionValues Form1::connectionValues() const {
    return {Text1->text(), Text2->text(), Text3->text(), Text4->text(),
            m_services.settings.value(kSettingsApplication, kSettingsSection,
                                      SettingKey::OracleConnectionString)};
}

ConnectionWindowLink Form1::link() {
    return {[this] { return connectionValues(); }, [this] { showCentredFirstTime(); }};
}

void Form1::PushButton1_Click() {
    testConnection(QStringLiteral("Form1.PushButton1_Click"), SybaseConnectionTarget(connectionValues()));
}

void Form1::PushButton3_Click() {
    testConnection(QStringLiteral("Form1.PushButton3_Click"), OracleConnectionTarget(connectionValues()));
}

// Tries the connection and says whether it opened. A connection that does not open is the
// user's to sort out, not an application error, so the driver's message is not shown.
void Form1::testConnection(const QString& procedure, const ConnectionTarget& target) {
    Procedure proc(m_errorBox, procedure);
    std::unique_ptr<Connection> connection;
    proc.step(100, [&] { connection = m_services.connections.create(); });

    bool failed = false;
    try {
        m_pointer.set(MousePointer::Hourglass);                               // 102
        required(connection).open(target);                                    // 104
        m_services.dialogs.msgBox(QStringLiteral("Connection successful."));  // 106
        m_pointer.set(MousePointer::Default);                                 // 108
    } catch (const std::exception&) {
        failed = true;
    }
    if (failed) {  // 110
        m_services.dialogs.msgBox(
            QStringLiteral("Could not connect. Please check with your administrator."));  // 112
        m_pointer.set(MousePointer::Default);                                             // 114
    }
}

void Form1::PushButton4_Click() {
    Procedure proc(m_errorBox, QStringLiteral("Form1.PushButton4_Click"));
    proc.step(124, [&] { m_services.dialogs.msgBox(sybaseHelpText()); });
}

void Form1::PushButton5_Click() {
    Procedure proc(m_errorBox, QStringLiteral("Form1.PushButton5_Click"));
    proc.step(126, [&] { m_services.dialogs.msgBox(oracleSidHelpText()); });
    proc.step(128, [&] { m_services.dialogs.msgBox(oracleDataTypeNote()); });
}

void Form1::PushButton6_Click() {
    Procedure proc(m_errorBox, QStringLiteral("Form1.PushButton6_Click"));
    proc.step(126, [&] { m_services.dialogs.msgBox(oracleSidHelpText()); });
}

void Form1::showCentred() {
    centreOnScreen(*this);
    m_everShown = true;
    show();
}

void Form1::showCentredFirstTime() {
    if (m_everShown) {
        show();
    } else {
        showCentred();
    }
}

}  // namespace tw
