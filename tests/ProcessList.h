#pragma once

#include <QByteArray>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QList>
#include <QString>

#ifdef Q_OS_WIN
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <tlhelp32.h>
#else
#include <cerrno>
#include <csignal>
#include <unistd.h>
#endif

namespace ornvale::test {

// Processes a test started and must not leave behind. On Linux: those whose program is named
// `program` (any program when empty) and whose command line mentions `mentioning` (the test's
// own folder), this process excepted. On Windows the tests run under Wine with a prefix of
// their own per test program, so every process of that name belongs to the test; `mentioning`
// is not looked at (a command line is not readable there), and an empty name matches nothing.
inline QList<qint64> processesOf(const QString& program, const QString& mentioning) {
    QList<qint64> pids;
#ifdef Q_OS_WIN
    Q_UNUSED(mentioning)
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return pids;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot, &entry); more;
         more = Process32NextW(snapshot, &entry)) {
        const QString name = QString::fromWCharArray(entry.szExeFile);
        if (!program.isEmpty() &&
            name.compare(program + QStringLiteral(".exe"), Qt::CaseInsensitive) == 0 &&
            entry.th32ProcessID != GetCurrentProcessId())
            pids.append(entry.th32ProcessID);
    }
    CloseHandle(snapshot);
#else
    QDirIterator it(QStringLiteral("/proc"), QDir::Dirs | QDir::NoDotAndDotDot);
    while (it.hasNext()) {
        const QString entry = it.next();
        bool isPid = false;
        const qint64 pid = QFileInfo(entry).fileName().toLongLong(&isPid);
        QFile cmdline(entry + QStringLiteral("/cmdline"));
        if (!isPid || pid <= 1 || pid == ::getpid() || !cmdline.open(QIODevice::ReadOnly))
            continue;
        const QByteArray line = cmdline.readAll();
        const QByteArray name = line.split('\0').value(0);
        if ((program.isEmpty() || name.endsWith('/' + program.toUtf8()) ||
             name == program.toUtf8()) &&
            line.contains(mentioning.toUtf8()))
            pids.append(pid);
    }
#endif
    return pids;
}

inline bool processRuns(qint64 pid) {
#ifdef Q_OS_WIN
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, DWORD(pid));
    if (!process)
        return false;
    DWORD code = 0;
    const bool running = GetExitCodeProcess(process, &code) && code == STILL_ACTIVE;
    CloseHandle(process);
    return running;
#else
    return ::kill(pid_t(pid), 0) == 0 || errno != ESRCH;
#endif
}

inline void killProcess(qint64 pid) {
#ifdef Q_OS_WIN
    if (HANDLE process = OpenProcess(PROCESS_TERMINATE, FALSE, DWORD(pid))) {
        TerminateProcess(process, 9);
        CloseHandle(process);
    }
#else
    ::kill(pid_t(pid), SIGKILL);
#endif
}

} // namespace ornvale::test
