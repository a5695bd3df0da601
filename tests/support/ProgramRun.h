#pragma once

#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>

namespace tw::test {

// What the built program did when run with some arguments.
struct ProgramRun {
    int exitCode = -1;
    QString out;
    QString err;
};

// Runs the built program as a user would from a shell with no display: no DISPLAY, no
// WAYLAND_DISPLAY, no QT_QPA_PLATFORM. Standard input is empty and not a terminal.
inline ProgramRun runProgram(const QStringList& arguments, const QProcessEnvironment& extra = {}) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) environment.remove(name);
    for (const QString& name : extra.keys()) environment.insert(name, extra.value(name));
    QProcess program;
    program.setProcessEnvironment(environment);
    program.start(QStringLiteral(TW_PROGRAM), arguments);
    program.closeWriteChannel();
    program.waitForFinished(120000);
    return {program.exitStatus() == QProcess::NormalExit ? program.exitCode() : -1,
            QString::fromUtf8(program.readAllStandardOutput()),
            QString::fromUtf8(program.readAllStandardError())};
}

}  // namespace tw::test
