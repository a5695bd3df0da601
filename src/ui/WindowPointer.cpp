#include "ui/WindowPointer.h"

#include <QCoreApplication>
#include <QWidget>

#include "shell/FileExists.h"
#include "shell/Procedure.h"
#include "shell/ProgramFolder.h"
#include "ui/CursorFile.h"

namespace tw {

WindowPointer::WindowPointer(QWidget& window) : m_window(window) {}

void WindowPointer::set(MousePointer pointer) {
    if (pointer == m_pointer) return;
    m_pointer = pointer;
    apply();
}

void WindowPointer::setCustomImage(const QCursor& cursor) {
    m_custom = cursor;
    if (m_pointer == MousePointer::Custom) apply();
}

void WindowPointer::apply() {
    std::optional<QCursor> shown;
    if (m_pointer == MousePointer::Hourglass) shown = QCursor(Qt::WaitCursor);
    if (m_pointer == MousePointer::Custom) shown = m_custom;

    show(m_window, shown);
    for (QWidget* control : m_window.findChildren<QWidget*>()) show(*control, shown);
    // The hourglass goes up just before work that blocks the window; let the display show it
    // now, without taking any input meanwhile.
    if (m_pointer == MousePointer::Hourglass) {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
}

void WindowPointer::show(QWidget& widget, const std::optional<QCursor>& cursor) {
    const DesignCursor& design = designCursorOf(widget);
    const std::optional<QCursor>& target = cursor ? cursor : design.cursor;
    if (target) {
        widget.setCursor(*target);
    } else {
        widget.unsetCursor();
    }
}

// Remembers, before the first change, the pointer a control was designed with.
const WindowPointer::DesignCursor& WindowPointer::designCursorOf(QWidget& widget) {
    auto found = m_designCursors.find(&widget);
    if (found == m_designCursors.end() || found->widget.isNull()) {
        DesignCursor design{&widget, std::nullopt};
        if (widget.testAttribute(Qt::WA_SetCursor)) design.cursor = widget.cursor();
        found = m_designCursors.insert(&widget, design);
    }
    return *found;
}

void loadHandPointer(Procedure& proc, int testLine, WindowPointer& pointer, const QString& programFolder) {
    const QString file = programFolder + kHandPointerFile;
    if (proc.test(testLine, [&] { return FileExists(file); })) {
        proc.step(testLine + 2, [&] { pointer.setCustomImage(loadCursorFile(file)); });
    }
}

}  // namespace tw
