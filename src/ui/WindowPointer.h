#pragma once

#include <QCursor>
#include <QHash>
#include <QPointer>
#include <optional>

class QWidget;

namespace tw {

class Procedure;

// The values a window's pointer setting takes.
enum class MousePointer { Default = 0, Hourglass = 11, Custom = 99 };

// One pointer setting for a whole window: it shows over the window and every control on it.
// Default gives each control back its own pointer (the text cursor over text boxes); Custom
// shows the window's hand pointer, or the default when none was loaded.
class WindowPointer {
public:
    explicit WindowPointer(QWidget& window);

    MousePointer get() const { return m_pointer; }
    void set(MousePointer pointer);
    bool isBusy() const { return m_pointer == MousePointer::Hourglass; }

    void setCustomImage(const QCursor& cursor);
    bool hasCustomImage() const { return m_custom.has_value(); }

private:
    struct DesignCursor {
        QPointer<QWidget> widget;
        std::optional<QCursor> cursor;
    };

    void apply();
    void show(QWidget& widget, const std::optional<QCursor>& cursor);
    const DesignCursor& designCursorOf(QWidget& widget);

    QWidget& m_window;
    MousePointer m_pointer = MousePointer::Default;
    std::optional<QCursor> m_custom;
    QHash<QWidget*, DesignCursor> m_designCursors;
};

// A load step's two numbered steps for the hand pointer: when the cursor file lies in the
// program folder (testLine), it becomes the window's hand pointer (the next line). A missing
// file is no error; one that cannot be read is reported like any failed step.
void loadHandPointer(Procedure& proc, int testLine, WindowPointer& pointer, const QString& programFolder);

}  // namespace tw
