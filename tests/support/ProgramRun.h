#pragma once

#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>
#include <memory>

namespace tw::test {

// What the built program did when run with some arguments.
struct ProgramRun {
    int exitCode = -1;
    QString out;
    QString err;
};

// Starts the built program as a user would from a shell with no display: no DISPLAY, no
// WAYLAND_DISPLAY, no QT_QPA_PLATFORM. Standard input is empty and not a terminal. A wrapper is
// a command that runs the program, given after the wrapper's own arguments.
inline std::unique_ptr<QProcess> startProgram(const QStringList& arguments,
                                              const QProcessEnvironment& extra = {},
                                              const QStringList& wrapper = {}) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) environment.remove(name);
    for (const QString& name : extra.keys()) environment.insert(name, extra.value(name));
    auto program = std::make_unique<QProcess>();
    program->setProcessEnvironment(environment);
    const QStringList command = wrapper + QStringList{QStringLiteral(TW_PROGRAM)} + arguments;
    program->start(command.first(), command.mid(1));
    program->closeWriteChannel();
    return program;
}

// What a started program did, once it has ended (-1 when it did not end by itself).
inline ProgramRun endOf(QProcess& program) {
    program.waitForFinished(120000);
    return {program.exitStatus() == QProcess::NormalExit ? program.exitCode() : -1,
            QString::fromUtf8(program.readAllStandardOutput()),
            QString::fromUtf8(program.readAllStandardError())};
}

inline ProgramRun runProgram(const QStringList& arguments, const QProcessEnvironment& extra = {}) {
    return endOf(*startProgram(arguments, extra));
}

}  // namespace tw::test
