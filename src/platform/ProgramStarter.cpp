#include "ProgramStarter.h"

#include <QProcess>

namespace ornvale {

std::optional<qint64> SystemProgramStarter::startDetached(const QString& program,
                                                          const QStringList& arguments,
                                                          const QString& workingDirectory) {
    if (program.isEmpty())
        return std::nullopt;
    qint64 pid = 0;
    if (!QProcess::startDetached(program, arguments, workingDirectory, &pid))
        return std::nullopt;
    return pid;
}

} // namespace ornvale
