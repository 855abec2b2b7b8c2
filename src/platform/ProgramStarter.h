#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace ornvale {

// Starts a program without waiting for it. The executable and its arguments are passed
// separately, so a path with blanks can never be read as another program plus arguments.
class ProgramStarter {
public:
    virtual ~ProgramStarter() = default;

    // The process id of the started program, nullopt when it could not be started.
    virtual std::optional<qint64> startDetached(const QString& program,
                                                const QStringList& arguments,
                                                const QString& workingDirectory = {}) = 0;
};

class SystemProgramStarter : public ProgramStarter {
public:
    std::optional<qint64> startDetached(const QString& program, const QStringList& arguments,
                                        const QString& workingDirectory = {}) override;
};

} // namespace ornvale
