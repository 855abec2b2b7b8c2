#include "SingleInstance.h"

#include <QCoreApplication>
#include <QDir>

namespace ornvale {

SingleInstance::SingleInstance(const QString& folder) : m_folder(folder) {}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::lockPath() const {
    return QDir(m_folder).filePath(QStringLiteral("ornvale.lock"));
}

// A process holds one such lock at most, so a lock that names this very process was left by an
// earlier one that had the same process id: Wine gives the first program of a session the same
// id every time, and Qt takes a running process of our name for the holder.
bool SingleInstance::takeOverOwnLeftover(QLockFile& lock) {
    qint64 pid = 0;
    if (lock.error() != QLockFile::LockFailedError || !lock.getLockInfo(&pid, nullptr, nullptr) ||
        pid != QCoreApplication::applicationPid())
        return false;
    return lock.removeStaleLockFile() && lock.tryLock(0);
}

bool SingleInstance::acquire() {
    if (m_lock)
        return true;
    if (m_folder.isEmpty() || !QDir().mkpath(m_folder))
        return true;
    auto lock = std::make_unique<QLockFile>(lockPath());
    // Stale only when its process is gone: by age, a long-running instance's lock would be
    // taken over after a while. A lock left by a crashed instance is taken over at once.
    lock->setStaleLockTime(0);
    if (!lock->tryLock(0) && !takeOverOwnLeftover(*lock)) {
        if (lock->error() == QLockFile::LockFailedError)
            return false;
        return true;
    }
    m_lock = std::move(lock);
    return true;
}

} // namespace ornvale
