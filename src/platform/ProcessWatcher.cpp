#include "ProcessWatcher.h"

#include <QDeadlineTimer>
#include <QThread>
#include <QTimer>

namespace ornvale {

ProcessWatcher::ProcessWatcher(QObject* parent)
    : QObject(parent), m_treePoll(new QTimer(this)), m_forceTimer(new QTimer(this)) {
    m_treePoll->setInterval(kTreePollMs);
    m_forceTimer->setSingleShot(true);
    m_forceTimer->setInterval(kForceAfterMs);
    connect(m_treePoll, &QTimer::timeout, this, &ProcessWatcher::checkTree);
    connect(m_forceTimer, &QTimer::timeout, this, [this] {
        if (m_running)
            signalTree(true);
    });
}

ProcessWatcher::~ProcessWatcher() = default;

void ProcessWatcher::watch(const StartedProgram& program) {
    stop();
    m_program = program;
    m_running = true;
    openHandle();
}

void ProcessWatcher::stop() {
    m_handle.reset();
    m_treePoll->stop();
    m_forceTimer->stop();
    m_running = false;
}

// What the program started may outlive it: the tree is looked at until it is empty. While the
// program itself runs, nothing is polled.
void ProcessWatcher::leaderEnded() {
    if (!m_running)
        return;
    checkTree();
    if (m_running)
        m_treePoll->start();
}

void ProcessWatcher::checkTree() {
    if (m_running && treeGone())
        markEnded();
}

void ProcessWatcher::terminate() {
    if (!m_running)
        return;
    signalTree(false);
    m_forceTimer->start();
    m_treePoll->start();
}

void ProcessWatcher::terminateAndWait() {
    if (!m_running)
        return;
    constexpr int kStepMs = 20;
    constexpr int kAfterKillMs = 2000;
    signalTree(false);
    for (int round = 0; round < 2 && !treeGone(); ++round) {
        if (round == 1)
            signalTree(true);
        const QDeadlineTimer deadline(round == 0 ? kForceAfterMs : kAfterKillMs);
        while (!deadline.hasExpired() && !treeGone())
            QThread::msleep(kStepMs);
    }
    stop();
}

void ProcessWatcher::markEnded() {
    if (!m_running)
        return;
    stop();
    emit ended();
}

} // namespace ornvale
