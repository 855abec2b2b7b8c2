#pragma once

#include "ProgramStarter.h"

#include <QList>

namespace ornvale::test {

// Records what would have been started and answers that it could not be. A job ends the
// process tree of what it started, so only a program the test started itself may be answered.
class FakeProgramStarter : public ProgramStarter {
public:
    struct Start {
        QString program;
        QStringList arguments;
        QString workingDirectory;
    };
    QList<Start> starts;
    std::optional<StartedProgram> next;

    std::optional<StartedProgram> startDetached(const QString& program,
                                                const QStringList& arguments,
                                                const QString& workingDirectory = {}) override {
        starts.append({program, arguments, workingDirectory});
        return next;
    }
};

} // namespace ornvale::test
