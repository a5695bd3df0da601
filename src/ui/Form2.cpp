#include "ui/Form2.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QStyle>

#include "db/Oracle.h"
#include "db/Sybase.h"
#include "maintenance/DeleteTables.h"
#include "maintenance/RenameTable.h"
#include "shell/LoggingFrontEnd.h"
#include "shell/Procedure.h"
#include "shell/SettingsStore.h"
#include "shell/TransferSettings.h"
#include "transfer/CopyEngine.h"
#include "ui/AppIcon.h"
#include "ui/AppTitle.h"
#include "ui/CommandsDisabled.h"
#include "ui/Dialogs.h"
#include "ui/FilterBox.h"
#include "ui/Form2Layout.h"
#include "ui/FormColours.h"
#include "ui/Frame.h"
#include "ui/Layout.h"
#include "ui/MouseMoveNotifier.h"
#include "ui/ProgressBar.h"
#include "ui/PushButton.h"
#include "ui/TableListBox.h"
#include "ui/Twips.h"

namespace tw {

namespace {

// Address of the maker's contact page, shown by "Help".
const QString kContactPage = QStringLiteral("https://tablewright.example/contact");

// The outer height is the bottom of "< Back" plus this margin; the window frame takes its
// share of it.
constexpr int kBottomMarginTwips = 580;
constexpr int kDesignFrameTwips = 5965 - 5505;

// The send buttons copy in batches of this many rows unless the settings file says otherwise.
constexpr int kWindowBatchRows = 1000;

}  // namespace

Form2::Form2(const Services& services, ConnectionWindowLink connectionWindow, QWidget* parent)
    : QWidget(parent, kResizableWindowFlags),
      m_services(services),
      m_connectionWindow(std::move(connectionWindow)),
      m_pointer(*this),
      m_frontEnd(
          m_services.dialogs,
          {.showBusy =
               [this](bool busy) { m_pointer.set(busy ? MousePointer::Hourglass : MousePointer::Default); },
           .showProgress = [this](double percent) { ProgressBar1->setPosition(percent); },
           .showRows = [this](const QString& table, qint64 done,
                              qint64 total) { ProgressBar1->showRows(table, done, total); },
           .resetProgress =
               [this] {
                   ProgressBar1->setPosition(0);
                   ProgressBar1->setText(ProgressBar::kDesignText);
               },
           .processEvents = [this] { m_services.processEvents(); },
           .stopRequested = [this] { return m_transferStopAsked; }}) {
    setObjectName(QStringLiteral("Form2"));
    setFont(arialFont(9, true));
    resize(kForm2DesignSize);
    setMinimumSize(kForm2DesignSize);
    createControls();
    wirePointerRule();
    wireButtons();
}

void Form2::createControls() {
    auto button = [](QWidget* parent, const char* name, const char* caption, QRect geometry) {
        return place(new PushButton(QString::fromUtf8(caption), parent), QString::fromUtf8(name), geometry);
    };
    Frame2 = place(new Frame(QStringLiteral("Sybase iAnywhere Tables"), this), "Frame2",
                   twipsRect(120, 120, 3840, 4215));
    List1 = place(new TableListBox(Frame2), "List1", twipsRect(240, 360, 3330, 1635));
    Frame1 =
        place(new Frame(QStringLiteral("Oracle Tables"), this), "Frame1", twipsRect(4080, 120, 3840, 4215));
    List2 = place(new TableListBox(Frame1), "List2", twipsRect(240, 360, 3330, 1635));

    PushButton10 = button(Frame2, "PushButton10", "Select All", twipsRect(240, 2100, 1600, 405));
    PushButton11 = button(Frame2, "PushButton11", "Deselect All", twipsRect(1960, 2100, 1600, 405));
    PushButton3 = button(Frame2, "PushButton3", "Send Table/s To Oracle", twipsRect(240, 2600, 3330, 405));
    PushButton1 = button(Frame2, "PushButton1", "Delete Table/s", twipsRect(240, 3100, 3330, 405));
    PushButton6 = button(Frame2, "PushButton6", "Rename Table", twipsRect(240, 3600, 3330, 405));
    PushButton8 = button(Frame1, "PushButton8", "Select All", twipsRect(240, 2100, 1600, 405));
    PushButton9 = button(Frame1, "PushButton9", "Deselect All", twipsRect(1960, 2100, 1600, 405));
    PushButton4 =
        button(Frame1, "PushButton4", "Send Table/s To Sybase iAny", twipsRect(240, 2600, 3330, 405));
    PushButton5 = button(Frame1, "PushButton5", "Delete Table/s", twipsRect(240, 3100, 3330, 405));
    PushButton7 = button(Frame1, "PushButton7", "Rename Table", twipsRect(240, 3600, 3330, 405));

    ProgressBar1 = place(new ProgressBar(this), "ProgressBar1", twipsRect(120, 4460, 7800, 405));
    PushButton2 = button(this, "PushButton2", "< Back", twipsRect(120, 4980, 3840, 405));
    PushButton12 = button(this, "PushButton12", "Help", twipsRect(4080, 4980, 3840, 405));

    QWidget* tabOrder[] = {List1,       List2,       PushButton10, PushButton11, PushButton3,
                           PushButton1, PushButton6, PushButton8,  PushButton9,  PushButton4,
                           PushButton5, PushButton7, ProgressBar1, PushButton2,  PushButton12};
    for (size_t i = 1; i < std::size(tabOrder); ++i) setTabOrder(tabOrder[i - 1], tabOrder[i]);
    createListTools();
}

// The filter boxes, the counts lines and the refresh button. Tab goes round the design's
// controls as it always did, so these stay out of its way: typing into a list or Ctrl+F opens
// the filter of the list in use, F5 does what the button does.
void Form2::createListTools() {
    const auto filter = [this](QGroupBox* frame, const char* name, TableListBox* list) {
        auto* box = new FilterBox(frame);
        box->setObjectName(QString::fromUtf8(name));
        box->setPlaceholderText(QStringLiteral("Filter"));
        box->setClearButtonEnabled(true);
        box->setFocusPolicy(Qt::ClickFocus);
        box->setToolTip(
            QStringLiteral("Shows only the tables whose names contain this text (Escape closes it)"));
        connect(box, &QLineEdit::textChanged, list, &TableListBox::setFilter);
        connect(list, &TableListBox::typed, box, [box](const QString& text) { box->open(text); });
        connect(box, &FilterBox::keyboardBack, list, [list] { list->setFocus(Qt::OtherFocusReason); });
        connect(box, &FilterBox::shownChanged, this, &Form2::applyLayout);
        return box;
    };
    // The counts are the list's tooltip too, where the window has no room for their line.
    const auto counts = [](QGroupBox* frame, const char* name, TableListBox* list) {
        auto* label = new QLabel(frame);
        label->setObjectName(QString::fromUtf8(name));
        label->setFont(arialFont(8, false));
        const auto update = [label, list] {
            label->setText(list->countsText());
            list->setToolTip(list->countsText() + QStringLiteral(" (type to filter)"));
        };
        connect(list, &TableListBox::countsChanged, label, update);
        update();
        return label;
    };
    Filter1 = filter(Frame2, "Filter1", List1);
    Filter2 = filter(Frame1, "Filter2", List2);
    Counts1 = counts(Frame2, "Counts1", List1);
    Counts2 = counts(Frame1, "Counts2", List2);
    Refresh = new PushButton(QString(), this);
    Refresh->setObjectName(QStringLiteral("Refresh"));
    Refresh->setIcon(style()->standardIcon(QStyle::SP_BrowserReload));
    Refresh->setToolTip(QStringLiteral("Read both lists again from the databases (F5)"));
    Refresh->setAccessibleName(QStringLiteral("Refresh"));
    Refresh->setFocusPolicy(Qt::NoFocus);
    applyLayout();
}

void Form2::applyLayout() {
    const bool filterShown[2] = {!Filter1->isHidden(), !Filter2->isHidden()};
    const Form2Layout layout = Form2Layout::forSize(size(), filterShown);
    struct Controls {
        QGroupBox* frame;
        FilterBox* filter;
        TableListBox* list;
        QLabel* counts;
        PushButton *selectAll, *deselectAll, *send, *remove, *rename;
    };
    const Controls sides[2] = {
        {Frame2, Filter1, List1, Counts1, PushButton10, PushButton11, PushButton3, PushButton1, PushButton6},
        {Frame1, Filter2, List2, Counts2, PushButton8, PushButton9, PushButton4, PushButton5, PushButton7}};
    for (int i = 0; i < 2; ++i) {
        const Form2Layout::Side& at = layout.sides[i];
        const Controls& side = sides[i];
        side.frame->setGeometry(at.frame);
        side.filter->setGeometry(at.filter);
        side.list->setGeometry(at.list);
        side.counts->setGeometry(at.counts);
        side.counts->setVisible(at.countsShown);
        side.selectAll->setGeometry(at.selectAll);
        side.deselectAll->setGeometry(at.deselectAll);
        side.send->setGeometry(at.send);
        side.remove->setGeometry(at.remove);
        side.rename->setGeometry(at.rename);
    }
    ProgressBar1->setGeometry(layout.progress);
    Refresh->setGeometry(layout.refresh);
    PushButton2->setGeometry(layout.back);
    PushButton12->setGeometry(layout.help);
}

void Form2::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    applyLayout();
}

void Form2::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    m_everShown = true;
}

void Form2::placeAsRemembered() {
    const QByteArray kept = QByteArray::fromBase64(
        m_services.settings.value(kSettingsApplication, kSettingsSection, SettingKey::TablesWindowPlace)
            .toLatin1());
    // Qt puts a window it restores back on a screen that is there now.
    m_placeRemembered = !kept.isEmpty() && restoreGeometry(kept);
    if (!m_placeRemembered) centreOnScreen(*this);
}

// Written when the window goes (hidden by "< Back", or closed), not at every move.
void Form2::rememberPlace() {
    if (!m_everShown) return;
    m_services.settings.save(kSettingsApplication, kSettingsSection, SettingKey::TablesWindowPlace,
                             QString::fromLatin1(saveGeometry().toBase64()));
}

void Form2::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    if (!event->spontaneous()) rememberPlace();
}

// Hand over the buttons, default over the background, frames and lists; in this window only
// the handler that put the hourglass up takes it down.
void Form2::wirePointerRule() {
    for (PushButton* pushButton : findChildren<PushButton*>()) {
        connect(pushButton, &PushButton::mouseMove, this, [this] {
            if (!m_pointer.isBusy()) m_pointer.set(MousePointer::Custom);
        });
    }
    const auto toDefault = [this] {
        if (!m_pointer.isBusy()) m_pointer.set(MousePointer::Default);
    };
    for (QWidget* plain : std::initializer_list<QWidget*>{this, Frame1, Frame2, List1, List1->viewport(),
                                                          List2, List2->viewport(), Counts1, Counts2}) {
        onMouseMove(*plain, toDefault);
    }
    stopMouseMoves(*ProgressBar1);
}

void Form2::wireButtons() {
    connect(PushButton1, &QPushButton::clicked, this, &Form2::PushButton1_Click);
    connect(PushButton2, &QPushButton::clicked, this, &Form2::PushButton2_Click);
    connect(PushButton3, &QPushButton::clicked, this, &Form2::PushButton3_Click);
    connect(PushButton4, &QPushButton::clicked, this, &Form2::PushButton4_Click);
    connect(PushButton5, &QPushButton::clicked, this, &Form2::PushButton5_Click);
    connect(PushButton6, &QPushButton::clicked, this, &Form2::PushButton6_Click);
    connect(PushButton7, &QPushButton::clicked, this, &Form2::PushButton7_Click);
    connect(PushButton8, &QPushButton::clicked, this, &Form2::PushButton8_Click);
    connect(PushButton9, &QPushButton::clicked, this, &Form2::PushButton9_Click);
    connect(PushButton10, &QPushButton::clicked, this, &Form2::PushButton10_Click);
    connect(PushButton11, &QPushButton::clicked, this, &Form2::PushButton11_Click);
    connect(PushButton12, &QPushButton::clicked, this, &Form2::PushButton12_Click);
    connect(Refresh, &QPushButton::clicked, this, &Form2::refreshLists);
}

void Form2::Form_Load() {
    Procedure proc(m_errorBox, QStringLiteral("Form2.Form_Load"));
    proc.step(100, [&] { ApplyFormColours(*this); });
    proc.step(102, [&] { setWindowIcon(applicationIcon()); });
    loadHandPointer(proc, 106, m_pointer, m_services.programFolder);
    proc.step(110, [&] { setWindowTitle(kProductTitle); });
    loadLists(proc);
    // The starting height, and the least the window may have; a window the user made larger
    // keeps its size when it comes back.
    proc.step(116, [&] {
        const int outer = twipsToPixels(4980 + 405 + kBottomMarginTwips);
        int frame = frameGeometry().height() - height();
        if (frame <= 0) frame = twipsToPixels(kDesignFrameTwips);  // not yet framed by the WM
        const int starting = outer - frame;
        setMinimumHeight(starting);
        setMaximumHeight(QWIDGETSIZE_MAX);
        if ((!m_everShown && !m_placeRemembered) || height() < starting) resize(width(), starting);
    });
}

// Both lists from their databases, at the lines Form_Load has always given them.
void Form2::loadLists(Procedure& proc) {
    proc.step(112, [&] {
        LoadSybaseTables(*List1, m_services.connections, m_connectionWindow.values(),
                         m_services.processEvents);
    });
    proc.step(114, [&] {
        LoadOracleTables(*List2, m_services.connections, m_connectionWindow.values(),
                         m_services.processEvents);
    });
}

void Form2::refreshLists() {
    if (m_refreshing || m_transferRunning) return;
    m_refreshing = true;
    const CommandsDisabled disabled{Frame1, Frame2, PushButton2, PushButton12, Refresh};
    struct Finished {
        bool& refreshing;
        ~Finished() { refreshing = false; }
    } finished{m_refreshing};
    const TableListBox::Choice left = List1->choice();
    const TableListBox::Choice right = List2->choice();
    Procedure proc(m_errorBox, QStringLiteral("Form2.RefreshLists"));
    loadLists(proc);
    List1->choose(left);
    List2->choose(right);
}

void Form2::PushButton2_Click() {
    Procedure proc(m_errorBox, QStringLiteral("Form2.PushButton2_Click"));
    proc.step(100, [&] { m_connectionWindow.showAgain(); });
    proc.step(102, [&] { hide(); });
}

// The window's front end, with what it does put in the transfer log under the heading.
LoggingFrontEnd Form2::logged(const QString& what) {
    return LoggingFrontEnd(
        m_frontEnd, m_services.log,
        what + QStringLiteral(": ") + describeWithoutPassword(m_connectionWindow.values()));
}

void Form2::PushButton1_Click() {
    LoggingFrontEnd front = logged(QStringLiteral("Delete Table/s, SQL Anywhere"));
    List1->makeSelectionCurrent();
    DeleteTables(kSybaseSide, *List1, {front, m_services.connections, m_connectionWindow.values()});
}

void Form2::PushButton5_Click() {
    LoggingFrontEnd front = logged(QStringLiteral("Delete Table/s, Oracle"));
    List2->makeSelectionCurrent();
    DeleteTables(kOracleSide, *List2, {front, m_services.connections, m_connectionWindow.values()});
}

void Form2::PushButton6_Click() {
    LoggingFrontEnd front = logged(QStringLiteral("Rename Table, SQL Anywhere"));
    List1->makeSelectionCurrent();
    RenameTable(kSybaseSide, *List1, {front, m_services.connections, m_connectionWindow.values()});
}

void Form2::PushButton7_Click() {
    LoggingFrontEnd front = logged(QStringLiteral("Rename Table, Oracle"));
    List2->makeSelectionCurrent();
    RenameTable(kOracleSide, *List2, {front, m_services.connections, m_connectionWindow.values()});
}

void Form2::PushButton3_Click() { sendTables(kToOracle, *List1, *List2); }

void Form2::PushButton4_Click() { sendTables(kToSqlAnywhere, *List2, *List1); }

const QString Form2::kStopQuestion = QStringLiteral("Stop the transfer after this row?");

void Form2::sendTables(const TransferProfile& profile, TableListBox& source, TableListBox& target) {
    const CommandsDisabled disabled{Frame1, Frame2, PushButton2, PushButton12, Refresh};
    m_transferRunning = true;
    m_transferStopAsked = false;
    struct Finished {
        bool& running;
        ~Finished() { running = false; }
    } finished{m_transferRunning};
    LoggingFrontEnd front =
        logged(profile.destination == &oracleSide() ? QStringLiteral("Send Table/s To Oracle")
                                                    : QStringLiteral("Send Table/s To Sybase iAny"));
    m_frontEnd.transferBegins();
    source.makeSelectionCurrent();
    TransferRequest request{front, m_services.connections, m_connectionWindow.values(), source, target};
    const TransferSettings settings = readTransferSettings(m_services.settings);
    request.batchRows = settings.batchRows.value_or(kWindowBatchRows);
    request.faithful = settings.faithful.value_or(false);
    request.replaceInPlace = settings.replaceInPlace;
    TransferTables(profile, request);
    m_frontEnd.sayTablesKept();
    m_frontEnd.sayTransferSummary();
}

// Escape is the way out of a long transfer, asked once: the copy ends after the row it is on.
// F5 reads the lists again; Ctrl+F goes to the filter of the list in use.
void Form2::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_F5 && event->modifiers() == Qt::NoModifier) {
        event->accept();
        refreshLists();
        return;
    }
    if (event->matches(QKeySequence::Find)) {
        event->accept();
        (Frame1->isAncestorOf(focusWidget()) ? Filter2 : Filter1)->open();
        return;
    }
    if (event->key() != Qt::Key_Escape || !m_transferRunning) {
        QWidget::keyPressEvent(event);
        return;
    }
    event->accept();
    if (m_transferStopAsked) return;
    if (m_services.dialogs.msgBox(kStopQuestion, MsgBoxStyle::YesNo) == MsgBoxResult::Yes) {
        m_transferStopAsked = true;
    }
}

// Select All selects the names the filter shows; the hidden ones stay out of any action.
void Form2::selectAll(const QString& procedure, TableListBox& list, bool selected) {
    Procedure proc(m_errorBox, procedure);
    for (int i = 0; i < list.count(); ++i) {
        if (list.isShown(i)) proc.step(102, [&] { list.setSelected(i, selected); });
    }
}

void Form2::PushButton8_Click() { selectAll(QStringLiteral("Form2.PushButton8_Click"), *List2, true); }
void Form2::PushButton9_Click() { selectAll(QStringLiteral("Form2.PushButton9_Click"), *List2, false); }
void Form2::PushButton10_Click() { selectAll(QStringLiteral("Form2.PushButton10_Click"), *List1, true); }
void Form2::PushButton11_Click() { selectAll(QStringLiteral("Form2.PushButton11_Click"), *List1, false); }

void Form2::PushButton12_Click() {
    Procedure proc(m_errorBox, QStringLiteral("Form2.PushButton12_Click"));
    proc.step(100, [&] {
        m_services.dialogs.msgBox(QStringLiteral("Questions? Please contact Team Quillmark at ") +
                                  kContactPage);
    });
}

// Closing the tables window ends the program, whatever else is open or running.
void Form2::closeEvent(QCloseEvent* event) {
    event->accept();
    rememberPlace();
    m_services.endProgram();
}

}  // namespace tw
