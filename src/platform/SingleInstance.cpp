#include "SingleInstance.h"

#include <QDir>
#include <QFile>

namespace ornvale {

SingleInstance::SingleInstance(const QString& folder, QObject* parent)
    : QObject(parent), m_folder(folder) {
    connect(&m_watcher, &QFileSystemWatcher::directoryChanged, this,
            &SingleInstance::checkRaiseRequest);
}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::lockPath() const {
    return QDir(m_folder).filePath(QStringLiteral("ornvale.lock"));
}

QString SingleInstance::raiseRequestPath() const {
    return QDir(m_folder).filePath(QStringLiteral("ornvale.raise"));
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
    if (!lock->tryLock(0)) {
        if (lock->error() == QLockFile::LockFailedError)
            return false;
        return true;
    }
    m_lock = std::move(lock);
    QFile::remove(raiseRequestPath());
    m_watcher.addPath(m_folder);
    return true;
}

void SingleInstance::requestRaise() {
    QFile request(raiseRequestPath());
    if (request.open(QIODevice::WriteOnly))
        request.close();
}

void SingleInstance::checkRaiseRequest() {
    if (!m_lock || !QFile::exists(raiseRequestPath()))
        return;
    QFile::remove(raiseRequestPath());
    emit raiseRequested();
}

} // namespace ornvale
