#include "ProcessWatcher.h"

#include <QSocketNotifier>
#include <QTimer>

#include <cerrno>
#include <csignal>
#include <sys/syscall.h>
#include <unistd.h>

namespace ornvale {

namespace {

constexpr int kFallbackPollMs = 250;

int openPidFd(qint64 pid) {
#ifdef SYS_pidfd_open
    return static_cast<int>(syscall(SYS_pidfd_open, static_cast<pid_t>(pid), 0));
#else
    Q_UNUSED(pid);
    errno = ENOSYS;
    return -1;
#endif
}

bool processGone(qint64 pid) {
    return ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH;
}

} // namespace

// A pidfd becomes readable when its process ends, also for a process that is not our child.
// Kernels without pidfd fall back to a slow probe of the process id.
struct ProcessWatcher::Handle {
    int pidFd = -1;
    std::unique_ptr<QSocketNotifier> notifier;
    std::unique_ptr<QTimer> probe;

    // Either may be the sender of the signal being handled: they go once it has returned.
    ~Handle() {
        if (notifier) {
            notifier->setEnabled(false);
            notifier.release()->deleteLater();
        }
        if (probe) {
            probe->stop();
            probe.release()->deleteLater();
        }
        if (pidFd >= 0)
            ::close(pidFd);
    }
};

ProcessWatcher::ProcessWatcher(QObject* parent) : QObject(parent) {}

ProcessWatcher::~ProcessWatcher() = default;

void ProcessWatcher::watch(qint64 pid) {
    stop();
    m_pid = pid;
    m_running = true;
    m_handle = std::make_unique<Handle>();
    m_handle->pidFd = openPidFd(pid);
    if (m_handle->pidFd >= 0) {
        m_handle->notifier =
            std::make_unique<QSocketNotifier>(m_handle->pidFd, QSocketNotifier::Read);
        connect(m_handle->notifier.get(), &QSocketNotifier::activated, this,
                &ProcessWatcher::markEnded);
        return;
    }
    if (errno == ESRCH) {
        QTimer::singleShot(0, this, &ProcessWatcher::markEnded);
        return;
    }
    m_handle->probe = std::make_unique<QTimer>();
    m_handle->probe->setInterval(kFallbackPollMs);
    connect(m_handle->probe.get(), &QTimer::timeout, this, [this] {
        if (processGone(m_pid))
            markEnded();
    });
    m_handle->probe->start();
}

void ProcessWatcher::stop() {
    m_handle.reset();
    m_running = false;
}

void ProcessWatcher::terminate() {
    if (m_running && m_pid > 0)
        ::kill(static_cast<pid_t>(m_pid), SIGTERM);
}

void ProcessWatcher::markEnded() {
    if (!m_running)
        return;
    stop();
    emit ended();
}

} // namespace ornvale
