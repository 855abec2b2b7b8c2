#pragma once

#include <QString>

namespace ornvale::acadsim {

// Exit codes of the simulator.
enum ExitCode : int {
    ExitQuit = 0,       // the script ran to "quit" and its answer
    ExitUnanswered = 1, // a line did not answer the prompt shown, or the script ended at a prompt
    ExitUsage = 2,      // bad arguments, an unreadable script or a bad environment variable
    ExitRefused = 3,    // a drawing could not be opened, or a file could not be written
    ExitCrashed = 4,    // the simulated crash
};

// Ends the session where it stands: the rest of the script is not run, so no completion marker
// is saved. The message goes to stderr.
class SimStop {
public:
    SimStop(ExitCode exitCode, QString message)
        : m_exitCode(exitCode), m_message(std::move(message)) {}

    ExitCode exitCode() const { return m_exitCode; }
    const QString& message() const { return m_message; }

private:
    ExitCode m_exitCode;
    QString m_message;
};

} // namespace ornvale::acadsim
