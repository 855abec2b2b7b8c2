#include "ProgramStarter.h"

#include <QProcess>

#include <windows.h>

#include <tlhelp32.h>

namespace ornvale {

namespace {

// A process created suspended has one thread, which runs once it is in the job.
void resumeThreadsOf(DWORD pid) {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return;
    THREADENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry)) {
        if (entry.th32OwnerProcessID != pid)
            continue;
        if (HANDLE thread = OpenThread(THREAD_SUSPEND_RESUME, FALSE, entry.th32ThreadID)) {
            ResumeThread(thread);
            CloseHandle(thread);
        }
    }
    CloseHandle(snapshot);
}

// The job the program and all it starts belong to; nothing when the program could not be put
// in one (it then runs on its own, and only it can be ended).
std::shared_ptr<void> putInJob(DWORD pid) {
    HANDLE job = CreateJobObjectW(nullptr, nullptr);
    if (!job)
        return {};
    HANDLE process = OpenProcess(PROCESS_SET_QUOTA | PROCESS_TERMINATE, FALSE, pid);
    const bool assigned = process && AssignProcessToJobObject(job, process);
    if (process)
        CloseHandle(process);
    if (!assigned) {
        CloseHandle(job);
        return {};
    }
    return std::shared_ptr<void>(job, [](void* handle) { CloseHandle(handle); });
}

} // namespace

// Qt writes the command line from the separate arguments. The program starts suspended, so it
// is in the job before it can start anything of its own.
std::optional<StartedProgram> SystemProgramStarter::startDetached(const QString& program,
                                                                  const QStringList& arguments,
                                                                  const QString& workingDirectory) {
    if (program.isEmpty())
        return std::nullopt;
    QProcess process;
    process.setProgram(program);
    process.setArguments(arguments);
    process.setWorkingDirectory(workingDirectory);
    process.setCreateProcessArgumentsModifier(
        [](QProcess::CreateProcessArguments* args) { args->flags |= CREATE_SUSPENDED; });
    qint64 pid = 0;
    if (!process.startDetached(&pid) || pid <= 0)
        return std::nullopt;
    StartedProgram started{pid, putInJob(DWORD(pid))};
    resumeThreadsOf(DWORD(pid));
    return started;
}

} // namespace ornvale
