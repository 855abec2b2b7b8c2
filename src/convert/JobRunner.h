#pragma once

#include "JobOutcome.h"
#include "RunValues.h"
#include "ScriptWriter.h"

#include <QDateTime>
#include <QObject>
#include <QString>

class QFileSystemWatcher;
class QTimer;

namespace ornvale {

class ProcessWatcher;
class ProgramStarter;
class Prompter;

// What one conversion job needs beside the script: the AutoCAD executable.
struct JobInputs {
    ScriptInputs script;
    QString executable;
};

// One conversion job (ScriptAD): deletes an old completion marker, writes the script, starts
// AutoCAD on it, waits for the marker without blocking the event loop, then collects the sizes
// and the audit reports. Every message goes through the Prompter; finished() carries the outcome.
class JobRunner : public QObject {
    Q_OBJECT
public:
    enum class State { Idle, Waiting };

    JobRunner(Prompter& prompter, ProgramStarter& starter, QObject* parent = nullptr);
    ~JobRunner() override;

    // The job of the listed drawings with the run values of this start.
    static JobInputs inputsFor(const RunValues& run, const ConversionOptions& options,
                               const QList<FileEntry>& files);
    // The output folder the settings start with: the desktop's "Ornvale" folder.
    static QString defaultOutputFolder(const RunValues& run);

    // The start button's checks: false (after the message) for an empty list or a No.
    static bool confirmStart(Prompter& prompter, qsizetype fileCount, const QString& outputFolder,
                             const QString& defaultOutputFolder);
    static QString emptyListMessage();
    static QString confirmationText(const QString& outputFolder,
                                    const QString& defaultOutputFolder);
    static QString startErrorMessage();
    static QString abortMessage();
    static QString errorCheckMessage(int step, const QString& path);

    // Runs a job; finished() follows (at once when the script or the start fails).
    void start(const JobInputs& inputs);
    // Clear: a waiting job ends with the abort message. AutoCAD is left running.
    void abort();
    // Ends the AutoCAD process this job started, when it still runs.
    void terminateProgram();

    bool isRunning() const { return m_state != State::Idle; }
    int fileCount() const { return static_cast<int>(m_inputs.script.files.size()); }
    const JobOutcome& outcome() const { return m_outcome; }

    // How long a job waits for the marker after AutoCAD has ended.
    static constexpr int kGraceAfterEndMs = 5000;
    static constexpr int kPollMs = 250;

signals:
    void progress(int seen, int total);
    void finished(const ornvale::JobOutcome& outcome);

private:
    void checkMarker();
    void countOutputs();
    void programEnded();
    void collect();
    void finish(JobOutcome::Status status, const QString& message);
    void stopWaiting();

    Prompter& m_prompter;
    ProgramStarter& m_starter;
    ProcessWatcher* m_process = nullptr;
    QFileSystemWatcher* m_folderWatch = nullptr;
    QTimer* m_poll = nullptr;
    QTimer* m_grace = nullptr;

    State m_state = State::Idle;
    JobInputs m_inputs;
    QList<ScriptTarget> m_targets;
    QDateTime m_jobStart;
    JobOutcome m_outcome;
    int m_errorStep = 0;
    int m_seen = 0;
    QList<bool> m_targetSeen; // per target, once its output of this job has appeared
};

} // namespace ornvale
