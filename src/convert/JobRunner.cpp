#include "JobRunner.h"

#include "AuditReport.h"
#include "FileSystemProbe.h"
#include "Messages.h"
#include "ProcessWatcher.h"
#include "ProgramStarter.h"
#include "Prompter.h"
#include "ResultCollector.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QTimer>

namespace ornvale {

JobRunner::JobRunner(Prompter& prompter, ProgramStarter& starter, QObject* parent)
    : QObject(parent), m_prompter(prompter), m_starter(starter),
      m_process(new ProcessWatcher(this)), m_folderWatch(new QFileSystemWatcher(this)),
      m_poll(new QTimer(this)), m_grace(new QTimer(this)) {
    // The folder watch notices the marker at once; the slow poll covers file systems that do
    // not report changes.
    m_poll->setInterval(kPollMs);
    m_grace->setSingleShot(true);
    m_grace->setInterval(kGraceAfterEndMs);
    connect(m_poll, &QTimer::timeout, this, &JobRunner::checkMarker);
    connect(m_folderWatch, &QFileSystemWatcher::directoryChanged, this, &JobRunner::checkMarker);
    connect(m_process, &ProcessWatcher::ended, this, &JobRunner::programEnded);
    connect(m_grace, &QTimer::timeout, this, [this] {
        checkMarker();
        if (m_state == State::Waiting)
            finish(JobOutcome::Status::Aborted, abortMessage());
    });
}

JobRunner::~JobRunner() = default;

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
    return inputs;
}

QString JobRunner::defaultOutputFolder(const RunValues& run) {
    return QDir::toNativeSeparators(QDir(run.desktopFolder).filePath(QStringLiteral("Ornvale")));
}

QString JobRunner::emptyListMessage() {
    return QStringLiteral("ファイルを選択して下さい。");
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
        prompter.inform(emptyListMessage(), confirmTitle());
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
    m_jobStart = QDateTime::currentDateTime();
    m_state = State::Waiting;

    // A marker left by an earlier job would end this wait at once.
    const QString& marker = inputs.script.markerPath;
    QFile::remove(marker);
    const QString markerFolder = QFileInfo(marker).absolutePath();
    QDir().mkpath(markerFolder);

    SystemFileSystemProbe probe;
    const ScriptWriteResult written = ScriptWriter(probe).write(inputs.script);
    if (!written.ok()) {
        finish(JobOutcome::Status::Failed, written.error);
        return;
    }
    m_targets = written.targets;

    const std::optional<qint64> pid = m_starter.startDetached(
        inputs.executable, {QStringLiteral("/b"), inputs.script.scriptPath});
    if (!pid) {
        finish(JobOutcome::Status::Failed, startErrorMessage());
        return;
    }
    m_errorStep = 1;
    m_process->watch(*pid);
    m_folderWatch->addPath(markerFolder);
    m_poll->start();
    emit progress(0, fileCount());
    checkMarker();
}

void JobRunner::abort() {
    if (m_state == State::Waiting)
        finish(JobOutcome::Status::Aborted, abortMessage());
}

void JobRunner::terminateProgram() {
    m_process->terminate();
}

void JobRunner::checkMarker() {
    if (m_state != State::Waiting)
        return;
    countOutputs();
    // Only a marker of this job counts: one whose deletion failed is older than the start.
    if (ResultCollector::isFromJob(m_inputs.script.markerPath, m_jobStart))
        collect();
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
        emit progress(m_seen, fileCount());
    }
}

// AutoCAD saves the marker last; once it has ended the marker comes soon or never.
void JobRunner::programEnded() {
    if (m_state == State::Waiting)
        m_grace->start();
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
    finish(JobOutcome::Status::Completed, {});
}

void JobRunner::stopWaiting() {
    m_poll->stop();
    m_grace->stop();
    const QStringList watched = m_folderWatch->directories();
    if (!watched.isEmpty())
        m_folderWatch->removePaths(watched);
}

void JobRunner::finish(JobOutcome::Status status, const QString& message) {
    stopWaiting();
    m_process->stop();
    m_state = State::Idle;
    m_outcome.status = status;
    m_outcome.message = message;
    if (status != JobOutcome::Status::Completed) {
        m_outcome.conversions.clear();
        m_outcome.audits.clear();
    }
    if (!message.isEmpty())
        m_prompter.warnRetry(message, confirmTitle());
    emit finished(m_outcome);
}

} // namespace ornvale
