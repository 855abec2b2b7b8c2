#include "ProcessWatcher.h"

#include <QTimer>
#include <QWinEventNotifier>

#include <windows.h>

namespace ornvale {

// The process handle is signalled when the program itself ends; the job object counts the
// processes of the tree that still run.
struct ProcessWatcher::Handle {
    HANDLE process = nullptr;
    std::unique_ptr<QWinEventNotifier> notifier;

    // The notifier may be the sender of the signal being handled: it goes once that returns.
    ~Handle() {
        if (notifier) {
            notifier->setEnabled(false);
            notifier.release()->deleteLater();
        }
        if (process)
            CloseHandle(process);
    }
};

void ProcessWatcher::openHandle() {
    m_handle.reset(new Handle);
    m_handle->process =
        OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, static_cast<DWORD>(m_program.pid));
    if (!m_handle->process) {
        QTimer::singleShot(0, this, &ProcessWatcher::leaderEnded);
        return;
    }
    m_handle->notifier = std::make_unique<QWinEventNotifier>(m_handle->process);
    connect(m_handle->notifier.get(), &QWinEventNotifier::activated, this, [this] {
        m_handle->notifier->setEnabled(false);
        leaderEnded();
    });
}

void ProcessWatcher::HandleDeleter::operator()(Handle* handle) const {
    delete handle;
}

bool ProcessWatcher::treeGone() const {
    if (m_program.job) {
        JOBOBJECT_BASIC_ACCOUNTING_INFORMATION info{};
        if (QueryInformationJobObject(static_cast<HANDLE>(m_program.job.get()),
                                      JobObjectBasicAccountingInformation, &info, sizeof info,
                                      nullptr))
            return info.ActiveProcesses == 0;
    }
    return !m_handle || !m_handle->process ||
           WaitForSingleObject(m_handle->process, 0) == WAIT_OBJECT_0;
}

// Windows has no polite request that every program heeds: both steps end the tree at once.
void ProcessWatcher::signalTree(bool) const {
    if (m_program.job && TerminateJobObject(static_cast<HANDLE>(m_program.job.get()), 1))
        return;
    if (m_handle && m_handle->process)
        TerminateProcess(m_handle->process, 1);
}

} // namespace ornvale
