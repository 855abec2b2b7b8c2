#pragma once

#include "JobOutcome.h"
#include "RunValues.h"
#include "ScriptWriter.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QObject>
#include <QString>

#include <memory>
#include <optional>

class QFileSystemWatcher;
class QLockFile;
class QTimer;

namespace ornvale {

class ProcessWatcher;
class ProgramStarter;
class Prompter;
class StallWatch;

// What one conversion job needs beside the script: the AutoCAD executable, the lock that keeps
// a second job off the script and the marker, an optional time limit for the wait, and the
// minutes it waits for the next output before it gives AutoCAD up (0: for ever).
struct JobInputs {
    ScriptInputs script;
    QString executable;
    QString lockPath;
    std::optional<double> timeLimitSeconds;
    QList<int> numbers; // each drawing's number in the list, from 1; empty: 1, 2, 3, ...
    int stallMinutes = 0;
};

// One conversion job (ScriptAD): takes the job lock, checks the folders AutoCAD writes into,
// deletes an old completion marker, writes the script, starts AutoCAD on it, waits for the marker
// without blocking the event loop, then collects the sizes and the audit reports. Every message
// goes through the Prompter; finished() carries the outcome.
//
// The lock lives as long as the job, so no other job (another window's or a command line's) can
// share the script and the marker. The job never finishes while the AutoCAD it started, or a
// process that AutoCAD started, still runs: given up, failed or timed out, it ends them first;
// after the marker, it lets AutoCAD quit by itself for a while.
class JobRunner : public QObject {
    Q_OBJECT
public:
    // Ending: the outcome is settled, AutoCAD is being waited for or ended.
    enum class State { Idle, Waiting, Ending };

    JobRunner(Prompter& prompter, ProgramStarter& starter, QObject* parent = nullptr);
    ~JobRunner() override;

    // The job of the listed drawings with the run values of this start.
    static JobInputs inputsFor(const RunValues& run, const ConversionOptions& options,
                               const QList<FileEntry>& files);
    // The start button's checks: false (after the message) for an empty list or a No.
    static bool confirmStart(Prompter& prompter, qsizetype fileCount, const QString& outputFolder,
                             const QString& defaultOutputFolder);
    static QString confirmationText(const QString& outputFolder,
                                    const QString& defaultOutputFolder);
    static QString startErrorMessage();
    static QString abortMessage();
    static QString errorCheckMessage(int step, const QString& path);
    static QString busyMessage();
    static QString timeLimitMessage(double seconds);
    // The job lock beside the script, in the folder of the "Windows directory" role.
    static QString lockPathIn(const QString& windowsDirectory);

    // Runs a job; finished() follows (at once when the lock, a folder, the script or the start
    // fails).
    void start(const JobInputs& inputs);
    // Clear: a waiting job ends with the abort message, once AutoCAD is ended. While AutoCAD is
    // let quit after the marker, the job is given up without a message.
    void abort();

    bool isRunning() const { return m_state != State::Idle; }
    int fileCount() const { return static_cast<int>(m_inputs.script.files.size()); }
    const JobOutcome& outcome() const { return m_outcome; }
    // The last job, kept after it ended so that what it left can be converted.
    const JobInputs& inputs() const { return m_inputs; }
    const QList<ScriptTarget>& targets() const { return m_targets; }
    const QDateTime& jobStart() const { return m_jobStart; }
    // Whether the last job got as far as starting AutoCAD.
    bool startedAutocad() const { return m_errorStep >= 1; }

    // How long a job waits for the marker after AutoCAD has ended.
    static constexpr int kGraceAfterEndMs = 5000;
    // How long AutoCAD may take to quit after it saved the marker.
    static constexpr int kQuitWaitMs = 30000;
    static constexpr int kPollMs = 250;

signals:
    void progress(int seen, int total);
    void finished(const ornvale::JobOutcome& outcome);

private:
    bool takeLock(const QString& path);
    void checkMarker();
    void countOutputs();
    void programEnded();
    void timeLimitReached();
    void stallReached();
    void collect();
    void finish(JobOutcome::Status status, const QString& message);
    void complete();
    void stopWaiting();

    Prompter& m_prompter;
    ProgramStarter& m_starter;
    ProcessWatcher* m_process = nullptr;
    QFileSystemWatcher* m_folderWatch = nullptr;
    QTimer* m_poll = nullptr;
    QTimer* m_grace = nullptr;
    QTimer* m_limit = nullptr;
    QTimer* m_quitWait = nullptr;
    StallWatch* m_stall = nullptr;
    std::unique_ptr<QLockFile> m_lock;
    QElapsedTimer m_waited; // since AutoCAD was started

    State m_state = State::Idle;
    bool m_markerSeen = false;
    JobInputs m_inputs;
    QList<ScriptTarget> m_targets;
    QDateTime m_jobStart;
    JobOutcome m_outcome;
    int m_errorStep = 0;
    int m_seen = 0;
    QList<bool> m_targetSeen; // per target, once its output of this job has appeared
};

} // namespace ornvale
