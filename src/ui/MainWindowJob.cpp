// The main window's conversion job: the start button, Clear during the wait, the progress of
// the wait and the result windows.
#include "MainWindow.h"

#include "AuditReportWindow.h"
#include "ConversionOptionsPanel.h"
#include "ConversionResultWindow.h"
#include "FileListPanel.h"
#include "JobRunner.h"
#include "Messages.h"
#include "OutputFolder.h"
#include "OutputReview.h"
#include "Prompter.h"

#include <QEvent>
#include <QProgressBar>
#include <QPushButton>

namespace ornvale {

namespace {

constexpr int kProgressHeight = 6;

} // namespace

void MainWindow::buildJob() {
    m_job = new JobRunner(m_prompter, m_starter, this);
    m_resultWindow = new ConversionResultWindow;
    m_auditWindow = new AuditReportWindow;
    m_jobProgress = new QProgressBar(this);
    m_jobProgress->setObjectName(QStringLiteral("JobProgress"));
    m_jobProgress->setTextVisible(false);
    m_jobProgress->hide();
    m_fileList->installEventFilter(this);
    connect(m_start, &QPushButton::clicked, this, &MainWindow::startConversion);
    connect(m_fileList, &FileListPanel::cleared, this, &MainWindow::listCleared);
    connect(m_job, &JobRunner::progress, this, &MainWindow::jobProgressed);
    connect(m_job, &JobRunner::finished, this, &MainWindow::jobFinished);
}

void MainWindow::hideResultWindows() {
    m_resultWindow->hide();
    m_auditWindow->hide();
}

void MainWindow::startConversion() {
    if (m_job->isRunning())
        return;
    const QList<FileEntry>& files = m_fileList->fileList().entries();
    if (!JobRunner::confirmStart(m_prompter, files.size(), m_runValues.outputFolder,
                                 defaultOutputFolder(m_runValues.desktopFolder)))
        return;
    runJob(JobRunner::inputsFor(m_runValues, m_options->options(), files));
}

void MainWindow::runJob(const JobInputs& inputs) {
    const int count = static_cast<int>(inputs.script.files.size());
    m_resultWindow->prepare();
    m_auditWindow->prepare(count, inputs.script.options.audit);
    hideResultWindows();
    // One job at a time; Clear stays usable to give up on it.
    m_start->setEnabled(false);
    m_jobProgress->setRange(0, count);
    m_jobProgress->setValue(0);
    placeJobProgress();
    m_jobProgress->show();
    m_job->start(inputs);
}

void MainWindow::listCleared() {
    hideResultWindows();
    m_job->abort();
}

void MainWindow::jobProgressed(int seen, int total) {
    m_jobProgress->setRange(0, total);
    m_jobProgress->setValue(seen);
}

void MainWindow::jobFinished(const JobOutcome& outcome) {
    m_start->setEnabled(true);
    m_jobProgress->hide();
    // A job given up for a stall still shows what AutoCAD wrote before it.
    if (!outcome.completed() && !outcome.stalled) {
        offerResume();
        return;
    }
    m_resultWindow->showRows(outcome.conversions);
    if (m_resultWindow->hasRows())
        m_resultWindow->show();
    // After a stall, the audits of the drawings AutoCAD got through.
    if (outcome.audit && (outcome.completed() || !outcome.audits.isEmpty())) {
        m_auditWindow->showRows(outcome.audits);
        m_auditWindow->show();
    }
    // Outputs with a row are marked there; the others are named here.
    const QString flagged = OutputReview::message(outcome.outputs);
    if (!flagged.isEmpty())
        m_prompter.inform(flagged, confirmTitle());
    if (outcome.stalled)
        offerResume();
}

// The bar lies over the bottom edge of the file list, so it needs no room of its own.
void MainWindow::placeJobProgress() {
    const QRect list = m_fileList->geometry();
    m_jobProgress->setGeometry(list.left(), list.bottom() - kProgressHeight + 1, list.width(),
                               kProgressHeight);
    m_jobProgress->raise();
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_fileList && (event->type() == QEvent::Resize || event->type() == QEvent::Move))
        placeJobProgress();
    return QWidget::eventFilter(watched, event);
}

} // namespace ornvale
