#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <memory>
#include <optional>

namespace ornvale {

// A program this one started, together with every process it starts in turn: on Linux it leads
// a process group (and session) of its own, whose id is its process id; on Windows it runs in a
// job object. So the whole tree can be watched and ended, not only the program itself.
struct StartedProgram {
    qint64 pid = 0;
    // The job object on Windows; empty elsewhere.
    std::shared_ptr<void> job;
};

// Starts a program without waiting for it. The executable and its arguments are passed
// separately, so a path with blanks can never be read as another program plus arguments.
class ProgramStarter {
public:
    virtual ~ProgramStarter() = default;

    // The started program, nullopt when it could not be started.
    virtual std::optional<StartedProgram> startDetached(const QString& program,
                                                        const QStringList& arguments,
                                                        const QString& workingDirectory = {}) = 0;
};

class SystemProgramStarter : public ProgramStarter {
public:
    std::optional<StartedProgram> startDetached(const QString& program,
                                                const QStringList& arguments,
                                                const QString& workingDirectory = {}) override;
};

} // namespace ornvale
