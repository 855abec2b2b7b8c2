#include "ProcessWatcher.h"

#include <QTimer>
#include <QWinEventNotifier>

#include <windows.h>

namespace ornvale {

// The process handle is signalled when the process ends.
struct ProcessWatcher::Handle {
    HANDLE process = nullptr;
    std::unique_ptr<QWinEventNotifier> notifier;

    ~Handle() {
        if (notifier) {
            notifier->setEnabled(false);
            notifier.release()->deleteLater();
        }
        if (process)
            CloseHandle(process);
    }
};

ProcessWatcher::ProcessWatcher(QObject* parent) : QObject(parent) {}

ProcessWatcher::~ProcessWatcher() = default;

void ProcessWatcher::watch(qint64 pid) {
    stop();
    m_pid = pid;
    m_running = true;
    m_handle = std::make_unique<Handle>();
    m_handle->process =
        OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, static_cast<DWORD>(pid));
    if (!m_handle->process) {
        QTimer::singleShot(0, this, &ProcessWatcher::markEnded);
        return;
    }
    m_handle->notifier = std::make_unique<QWinEventNotifier>(m_handle->process);
    connect(m_handle->notifier.get(), &QWinEventNotifier::activated, this,
            &ProcessWatcher::markEnded);
}

void ProcessWatcher::stop() {
    m_handle.reset();
    m_running = false;
}

void ProcessWatcher::terminate() {
    if (m_running && m_handle && m_handle->process)
        TerminateProcess(m_handle->process, 1);
}

void ProcessWatcher::markEnded() {
    if (!m_running)
        return;
    stop();
    emit ended();
}

} // namespace ornvale
