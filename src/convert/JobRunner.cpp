#include "JobRunner.h"

#include "AuditReport.h"
#include "FileSystemProbe.h"
#include "JobFolderCheck.h"
#include "Messages.h"
#include "OutputCheck.h"
#include "OutputReview.h"
#include "ProcessWatcher.h"
#include "ProgramStarter.h"
#include "Prompter.h"
#include "ResultCollector.h"
#include "ResumePlan.h"
#include "StallWatch.h"
#include "StalledJob.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QLocale>
#include <QLockFile>
#include <QTimer>

#include <cmath>
#include <limits>

namespace ornvale {

namespace {

// A limit of any size: whole milliseconds, rounded up, and waited for in slices a timer takes.
qint64 limitMs(double seconds) {
    constexpr double kLongest = 1e15;
    return qint64(std::ceil(qMin(seconds * 1000.0, kLongest)));
}

int timerSlice(qint64 ms) {
    return int(qMin<qint64>(ms, std::numeric_limits<int>::max()));
}

} // namespace

JobRunner::JobRunner(Prompter& prompter, ProgramStarter& starter, QObject* parent)
    : QObject(parent), m_prompter(prompter), m_starter(starter),
      m_process(new ProcessWatcher(this)), m_folderWatch(new QFileSystemWatcher(this)),
      m_poll(new QTimer(this)), m_grace(new QTimer(this)), m_limit(new QTimer(this)),
      m_quitWait(new QTimer(this)), m_stall(new StallWatch(this)) {
    // The folder watch notices the marker at once; the slow poll covers file systems that do
    // not report changes.
    m_poll->setInterval(kPollMs);
    m_grace->setSingleShot(true);
    m_grace->setInterval(kGraceAfterEndMs);
    m_quitWait->setSingleShot(true);
    m_quitWait->setInterval(kQuitWaitMs);
    // A coarse timer may fire a few per cent early; the limit must never be cut short.
    m_limit->setSingleShot(true);
    m_limit->setTimerType(Qt::PreciseTimer);
    connect(m_poll, &QTimer::timeout, this, &JobRunner::checkMarker);
    connect(m_folderWatch, &QFileSystemWatcher::directoryChanged, this, &JobRunner::checkMarker);
    connect(m_process, &ProcessWatcher::ended, this, &JobRunner::programEnded);
    connect(m_grace, &QTimer::timeout, this, [this] {
        checkMarker();
        if (m_state == State::Waiting)
            finish(JobOutcome::Status::Aborted, abortMessage());
    });
    connect(m_limit, &QTimer::timeout, this, &JobRunner::timeLimitReached);
    connect(m_quitWait, &QTimer::timeout, m_process, &ProcessWatcher::terminate);
    connect(m_stall, &StallWatch::stalled, this, &JobRunner::stallReached);
}

// A job cut short by the program's end must not leave its AutoCAD working on.
JobRunner::~JobRunner() {
    m_process->terminateAndWait();
}

JobInputs JobRunner::inputsFor(const RunValues& run, const ConversionOptions& options,
                               const QList<FileEntry>& files) {
    JobInputs inputs;
    inputs.script.options = options;
    inputs.script.files = files;
    inputs.script.outputFolder = run.outputFolder;
    inputs.script.selectionCode = run.autocadSelection;
    inputs.script.singleDocumentMode = run.singleDocumentMode;
    inputs.script.markerPath = ScriptWriter::markerPathIn(run.appDataFolder);
    inputs.script.scriptPath = run.scriptPath;
    inputs.executable = run.autocadExePath;
    inputs.lockPath = lockPathIn(run.windowsDirectory);
    inputs.stallMinutes = run.stallMinutes;
    return inputs;
}

QString JobRunner::lockPathIn(const QString& windowsDirectory) {
    return QDir::toNativeSeparators(
        QDir(windowsDirectory).filePath(QStringLiteral("conversion.lock")));
}

QString JobRunner::confirmationText(const QString& outputFolder,
                                    const QString& defaultOutputFolder) {
    const bool isDefault = QDir::cleanPath(QDir::fromNativeSeparators(outputFolder)) ==
                           QDir::cleanPath(QDir::fromNativeSeparators(defaultOutputFolder));
    const QString where = isDefault ? QStringLiteral("デスクトップ上の「Ornvale」")
                                    : QStringLiteral("「") + outputFolder + QStringLiteral("」");
    return QStringLiteral("\r\n変換しますか？\r\n\r\n変換されたファイルは、") + where +
           QStringLiteral("フォルダに格納されます。\r\n\r\n");
}

bool JobRunner::confirmStart(Prompter& prompter, qsizetype fileCount, const QString& outputFolder,
                             const QString& defaultOutputFolder) {
    if (fileCount == 0) {
        prompter.inform(noFilesMessage(), confirmTitle());
        return false;
    }
    return prompter.askYesNo(confirmationText(outputFolder, defaultOutputFolder), confirmTitle());
}

QString JobRunner::startErrorMessage() {
    return QStringLiteral("　AutoCADを起動できません！　　　");
}

QString JobRunner::abortMessage() {
    return QStringLiteral(
        "　無効または不完全なAutoCADファイルが含まれていた可能性があります！　　　");
}

QString JobRunner::busyMessage() {
    return QStringLiteral(
        "　他の変換を実行中です。その変換が終わってから、もう一度実行して下さい。　　　");
}

QString JobRunner::timeLimitMessage(double seconds) {
    return QStringLiteral(
               "　制限時間（%1秒）を過ぎたため、AutoCADを終了して変換を中止しました。　　　")
        .arg(QLocale::c().toString(seconds, 'f', QLocale::FloatingPointShortest));
}

QString JobRunner::errorCheckMessage(int step, const QString& path) {
    QString text = QStringLiteral("　エラーチェックNo = ") + QString::number(step);
    if (!path.isEmpty())
        text += QStringLiteral("\r\n") + path;
    return text;
}

void JobRunner::start(const JobInputs& inputs) {
    if (isRunning())
        return;
    m_inputs = inputs;
    m_outcome = JobOutcome();
    m_outcome.audit = inputs.script.options.audit;
    m_targets.clear();
    m_targetSeen.clear();
    m_seen = 0;
    m_errorStep = 0;
    m_markerSeen = false;
    m_jobStart = QDateTime::currentDateTime();
    m_state = State::Waiting;

    // Refused before anything is touched: the script and the marker belong to the running job.
    if (!takeLock(inputs.lockPath)) {
        finish(JobOutcome::Status::Failed, busyMessage());
        return;
    }
    if (const std::optional<QString> problem = jobFolderProblem(inputs.script)) {
        finish(JobOutcome::Status::Failed, *problem);
        return;
    }

    // A marker left by an earlier job would end this wait at once.
    const QString& marker = inputs.script.markerPath;
    QFile::remove(marker);
    const QString markerFolder = QFileInfo(marker).absolutePath();

    SystemFileSystemProbe probe;
    const ScriptWriteResult written = ScriptWriter(probe).write(inputs.script);
    if (!written.ok()) {
        finish(JobOutcome::Status::Failed, written.error);
        return;
    }
    m_targets = written.targets;

    const std::optional<StartedProgram> program = m_starter.startDetached(
        inputs.executable, {QStringLiteral("/b"), inputs.script.scriptPath});
    if (!program) {
        finish(JobOutcome::Status::Failed, startErrorMessage());
        return;
    }
    m_errorStep = 1;
    m_process->watch(*program);
    m_waited.start();
    m_folderWatch->addPath(markerFolder);
    m_poll->start();
    if (inputs.timeLimitSeconds)
        m_limit->start(timerSlice(limitMs(*inputs.timeLimitSeconds)));
    m_stall->start(StallWatch::limitMs(inputs.stallMinutes));
    emit progress(0, fileCount());
    checkMarker();
}

// Stale only when its process is gone: a job killed without a word gives the lock back at once.
// A lock that cannot be made at all is no refusal: the script beside it cannot be written then
// either, and that failure says why.
bool JobRunner::takeLock(const QString& path) {
    if (path.isEmpty())
        return true;
    QDir().mkpath(QFileInfo(path).absolutePath());
    auto lock = std::make_unique<QLockFile>(path);
    lock->setStaleLockTime(0);
    if (lock->tryLock(0)) {
        m_lock = std::move(lock);
        return true;
    }
    return lock->error() != QLockFile::LockFailedError;
}

void JobRunner::abort() {
    if (m_state == State::Waiting) {
        finish(JobOutcome::Status::Aborted, abortMessage());
    } else if (m_state == State::Ending && m_outcome.status == JobOutcome::Status::Completed) {
        m_outcome.status = JobOutcome::Status::Aborted;
        m_outcome.conversions.clear();
        m_outcome.audits.clear();
        m_outcome.outputs.clear();
        m_quitWait->stop();
        m_process->terminate();
    }
}

// Timers may fire a little early: the rest of the limit is waited for again.
void JobRunner::timeLimitReached() {
    if (m_state != State::Waiting || !m_inputs.timeLimitSeconds)
        return;
    const qint64 left = limitMs(*m_inputs.timeLimitSeconds) - m_waited.elapsed();
    if (left > 0) {
        m_limit->start(timerSlice(left));
        return;
    }
    finish(JobOutcome::Status::Aborted, timeLimitMessage(*m_inputs.timeLimitSeconds));
}

// AutoCAD ended as for Clear; what it wrote is shown (with the audits of those drawings), with
// the drawing it did not get past.
void JobRunner::stallReached() {
    const int seen = m_seen;
    checkMarker();
    if (m_state != State::Waiting || m_seen != seen)
        return;
    const QList<FileEntry>& files = m_inputs.script.files;
    m_outcome.stalled = true;
    m_outcome.waitingFor = StalledJob::waitingFor(files, m_targetSeen);
    m_outcome.conversions = StalledJob::writtenRows(files, m_targets, m_jobStart);
    const ConversionOptions& options = m_inputs.script.options;
    if (options.audit)
        m_outcome.audits = StalledJob::writtenAudits(
            files, m_targets, m_inputs.script.selectionCode, options.keepAuditReport, m_jobStart);
    ResumePlan::renumber(m_outcome, m_inputs.numbers);
    finish(JobOutcome::Status::Aborted,
           StalledJob::message(m_inputs.stallMinutes, m_outcome.waitingFor));
}

void JobRunner::checkMarker() {
    if (m_state != State::Waiting)
        return;
    countOutputs();
    // Only a marker of this job counts: one whose deletion failed is older than the start.
    if (ResultCollector::isFromJob(m_inputs.script.markerPath, m_jobStart)) {
        m_markerSeen = true;
        collect();
    }
}

// AutoCAD saves the drawings in list order, so new outputs appear just past the first one not
// seen yet: only a short stretch from there is looked at on each pass, which keeps a pass cheap
// however long the list is. An output that never comes does not stop the count behind it.
void JobRunner::countOutputs() {
    constexpr int kLookAhead = 16;
    m_targetSeen.resize(m_targets.size(), false);
    int seen = m_seen;
    int unseenInARow = 0;
    for (qsizetype i = m_targetSeen.indexOf(false); i >= 0 && i < m_targets.size(); ++i) {
        if (m_targetSeen[i])
            continue;
        if (ResultCollector::isFromJob(m_targets[i].targetPath, m_jobStart)) {
            m_targetSeen[i] = true;
            ++seen;
            unseenInARow = 0;
        } else if (++unseenInARow == kLookAhead) {
            break;
        }
    }
    if (seen != m_seen) {
        m_seen = seen;
        m_stall->outputSeen();
        emit progress(m_seen, fileCount());
    }
}

// AutoCAD saves the marker last; once it has ended the marker comes soon or never.
void JobRunner::programEnded() {
    if (m_state == State::Waiting)
        m_grace->start();
    else if (m_state == State::Ending)
        complete();
}

void JobRunner::collect() {
    stopWaiting();
    m_errorStep = 2;
    const QList<FileEntry>& files = m_inputs.script.files;
    const ResultCollector::Result sizes = ResultCollector::collect(files, m_targets, m_jobStart);
    if (sizes.failure) {
        finish(JobOutcome::Status::Failed, errorCheckMessage(2, sizes.failure->path));
        return;
    }
    m_outcome.conversions = sizes.rows;
    const ConversionOptions& options = m_inputs.script.options;
    if (options.audit) {
        m_errorStep = 3;
        const AuditReport::Result audits = AuditReport::collect(
            files, m_targets, m_inputs.script.selectionCode, options.keepAuditReport, m_jobStart);
        if (audits.failure) {
            finish(JobOutcome::Status::Failed, errorCheckMessage(3, audits.failure->path));
            return;
        }
        m_outcome.audits = audits.rows;
    }
    OutputReview::review(m_outcome, files, m_targets,
                         OutputCheck::expectedVersion(options, m_inputs.script.selectionCode),
                         m_jobStart);
    ResumePlan::renumber(m_outcome, m_inputs.numbers);
    finish(JobOutcome::Status::Completed, {});
}

void JobRunner::stopWaiting() {
    m_poll->stop();
    m_grace->stop();
    m_limit->stop();
    m_stall->stop();
    const QStringList watched = m_folderWatch->directories();
    if (!watched.isEmpty())
        m_folderWatch->removePaths(watched);
}

// The outcome is settled here; the job ends once nothing it started runs any more. After the
// marker AutoCAD only quits, and ending it then could cut short what it restores on its way out.
void JobRunner::finish(JobOutcome::Status status, const QString& message) {
    stopWaiting();
    m_outcome.status = status;
    m_outcome.message = message;
    if (status != JobOutcome::Status::Completed && !m_outcome.stalled) {
        m_outcome.conversions.clear();
        m_outcome.audits.clear();
        m_outcome.outputs.clear();
    }
    if (!m_process->isRunning()) {
        complete();
        return;
    }
    m_state = State::Ending;
    if (m_markerSeen)
        m_quitWait->start();
    else
        m_process->terminate();
}

void JobRunner::complete() {
    m_quitWait->stop();
    m_process->stop();
    m_lock.reset();
    m_state = State::Idle;
    if (!m_outcome.message.isEmpty())
        m_prompter.warnRetry(m_outcome.message, confirmTitle());
    emit finished(m_outcome);
}

} // namespace ornvale
