#pragma once

#include <QList>
#include <QWidget>
#include <initializer_list>

namespace tw {

// While a handler lets events through (a copy, loading the lists), nothing else on its window
// can be pressed or change what the handler works on; afterwards everything is as it was,
// however the handler ended.
class CommandsDisabled {
public:
    explicit CommandsDisabled(std::initializer_list<QWidget*> commands) : m_commands(commands) {
        for (QWidget* command : m_commands) command->setEnabled(false);
    }
    ~CommandsDisabled() {
        for (QWidget* command : m_commands) command->setEnabled(true);
    }
    CommandsDisabled(const CommandsDisabled&) = delete;
    CommandsDisabled& operator=(const CommandsDisabled&) = delete;

private:
    QList<QWidget*> m_commands;
};

}  // namespace tw
