#pragma once

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

#include "db/DbError.h"
#include "shell/SettingsStore.h"
#include "shell/TransferLog.h"
#include "support/FakeConnection.h"
#include "support/ScriptedDialogs.h"
#include "ui/Form1.h"
#include "ui/PushButton.h"
#include "ui/TextBox.h"

using namespace tw;

namespace tw::test {

// The connection window as the tests drive it.

inline const QString kResources = QStringLiteral(TW_RESOURCES_DIR);

// A program folder, with or without the optional skin and hand-pointer files.
struct ProgramFolder {
    QTemporaryDir dir;
    void addSkin() {
        QDir(dir.path()).mkpath("x");
        QVERIFY(QFile::copy(kResources + "/x/o.cjs", dir.filePath("x/o.cjs")));
    }
    void addHandPointer(const QByteArray& content = QByteArray()) {
        if (content.isEmpty()) {
            QVERIFY(QFile::copy(kResources + "/HAND-M.CUR", dir.filePath("HAND-M.CUR")));
            return;
        }
        QFile file(dir.filePath("HAND-M.CUR"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
    }
};

// One window over a private settings folder, with scripted boxes and recorded connections.
struct Rig {
    QTemporaryDir configHome;
    SettingsStore settings{configHome.filePath("config")};
    TransferLog log{configHome.filePath("state")};
    ScriptedDialogs dialogs;
    FakeConnectionFactory connections;
    ProgramFolder program;
    std::unique_ptr<Form1> form;

    // Whether the connections work at start; when they do, the load step goes on to the
    // tables window. What the start did to the connections stays in startLog.
    bool connectAtStart = false;
    QStringList startLog;
    int ended = 0;
    std::function<void()> onEvents;  // whenever a handler lets the window process events

    Services services() {
        return {settings,
                dialogs,
                connections,
                program.dir.path(),
                [this] {
                    if (onEvents) onEvents();
                },
                [this] { ++ended; },
                &log};
    }
    // The transfer log's lines, without the time at the start of each heading.
    QStringList logLines() const {
        QFile file(log.filePath());
        if (!file.open(QIODevice::ReadOnly)) return {};
        QStringList lines = QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts);
        for (QString& line : lines) {
            if (!line.startsWith(' ')) line = line.section(' ', 1);
        }
        return lines;
    }
    Form1& load() {
        form = std::make_unique<Form1>(services());
        const auto keep = connections.onOpen;
        if (!connectAtStart) {
            connections.onOpen = [](const QString&) { throw DbError("refused at start"); };
        }
        form->Form_Load();
        connections.onOpen = keep;
        startLog = connections.log;
        connections.log.clear();
        return *form;
    }
    QString stored(const QString& key) const {
        return settings.value(kSettingsApplication, kSettingsSection, key);
    }
};

inline void moveOver(QWidget* widget) {
    const QPoint at = widget->rect().center();
    QMouseEvent move(QEvent::MouseMove, QPointF(at), QPointF(widget->mapToGlobal(at)), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &move);
}

}  // namespace tw::test

using namespace tw::test;
