#include "ProcessWatcher.h"

#include <QSocketNotifier>
#include <QTimer>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace ornvale {

namespace {

int openPidFd(qint64 pid) {
#ifdef SYS_pidfd_open
    return static_cast<int>(syscall(SYS_pidfd_open, static_cast<pid_t>(pid), 0));
#else
    Q_UNUSED(pid);
    errno = ENOSYS;
    return -1;
#endif
}

// State and process group of one /proc entry; false when it cannot be read.
bool readStat(const char* pid, char& state, long& group) {
    char path[64];
    std::snprintf(path, sizeof path, "/proc/%s/stat", pid);
    const int fd = ::open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    char text[512];
    const ssize_t size = ::read(fd, text, sizeof text - 1);
    ::close(fd);
    if (size <= 0)
        return false;
    text[size] = '\0';
    // "pid (name) state ppid pgrp ...": the name may hold blanks and parentheses.
    const char* close = nullptr;
    for (const char* at = text; *at; ++at) {
        if (*at == ')')
            close = at;
    }
    long parent = 0;
    return close && std::sscanf(close + 1, " %c %ld %ld", &state, &parent, &group) == 3;
}

// A process that has ended but is not reaped yet still belongs to its group; it runs nothing,
// so it does not count (a parent that never reaps must not keep a job waiting).
bool groupHasLiveMember(pid_t group) {
    if (::kill(-group, 0) != 0 && errno == ESRCH)
        return false;
    DIR* proc = ::opendir("/proc");
    if (!proc)
        return true;
    bool found = false;
    while (const dirent* entry = ::readdir(proc)) {
        if (entry->d_name[0] < '1' || entry->d_name[0] > '9')
            continue;
        char state = 0;
        long memberGroup = 0;
        if (readStat(entry->d_name, state, memberGroup) && memberGroup == group && state != 'Z' &&
            state != 'X') {
            found = true;
            break;
        }
    }
    ::closedir(proc);
    return found;
}

} // namespace

// A pidfd becomes readable when its process ends, also for a process that is not our child.
// Kernels without pidfd have the tree polled from the start.
struct ProcessWatcher::Handle {
    int pidFd = -1;
    std::unique_ptr<QSocketNotifier> notifier;

    // The notifier may be the sender of the signal being handled: it goes once that returns.
    ~Handle() {
        if (notifier) {
            notifier->setEnabled(false);
            notifier.release()->deleteLater();
        }
        if (pidFd >= 0)
            ::close(pidFd);
    }
};

void ProcessWatcher::openHandle() {
    m_handle.reset(new Handle);
    m_handle->pidFd = openPidFd(m_program.pid);
    if (m_handle->pidFd >= 0) {
        m_handle->notifier =
            std::make_unique<QSocketNotifier>(m_handle->pidFd, QSocketNotifier::Read);
        connect(m_handle->notifier.get(), &QSocketNotifier::activated, this, [this] {
            m_handle->notifier->setEnabled(false);
            leaderEnded();
        });
        return;
    }
    QTimer::singleShot(0, this, &ProcessWatcher::leaderEnded);
}

void ProcessWatcher::HandleDeleter::operator()(Handle* handle) const {
    delete handle;
}

// The started program leads its own process group, whose id is its process id.
bool ProcessWatcher::treeGone() const {
    return !groupHasLiveMember(static_cast<pid_t>(m_program.pid));
}

void ProcessWatcher::signalTree(bool kill) const {
    const auto pid = static_cast<pid_t>(m_program.pid);
    if (pid <= 1)
        return;
    const int signal = kill ? SIGKILL : SIGTERM;
    // Never this program's own group; a program that left its group is still reached itself.
    if (pid == ::getpgrp() || ::kill(-pid, signal) != 0)
        ::kill(pid, signal);
}

} // namespace ornvale
