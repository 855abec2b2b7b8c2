#pragma once

#include "ProgramStarter.h"

#include <QList>

namespace ornvale::test {

// Records what would have been started; answers with a preset process id (nullopt = failure).
class FakeProgramStarter : public ProgramStarter {
public:
    struct Start {
        QString program;
        QStringList arguments;
        QString workingDirectory;
    };
    QList<Start> starts;
    std::optional<qint64> nextPid = 4242;

    std::optional<qint64> startDetached(const QString& program, const QStringList& arguments,
                                        const QString& workingDirectory = {}) override {
        starts.append({program, arguments, workingDirectory});
        return nextPid;
    }
};

} // namespace ornvale::test
