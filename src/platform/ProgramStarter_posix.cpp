#include "ProgramStarter.h"

#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <vector>

namespace ornvale {

namespace {

// Everything the started program gets, made before the fork: between fork and exec only
// async-signal-safe calls may run, so nothing there allocates.
struct ExecPlan {
    QByteArray file;
    QByteArray folder;
    QList<QByteArray> arguments;
    std::vector<char*> argv;
};

bool readWhole(int fd, void* into, size_t size) {
    auto* bytes = static_cast<char*>(into);
    size_t done = 0;
    while (done < size) {
        const ssize_t got = ::read(fd, bytes + done, size - done);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return false;
        done += size_t(got);
    }
    return true;
}

void report(int fd, int value) {
    while (::write(fd, &value, sizeof value) < 0 && errno == EINTR) {
    }
}

// The program leads a session of its own, so its process group holds it and every process it
// starts, and a terminal's Ctrl-C does not reach it behind this program's back. Signals this
// program ignores (a file-size limit's signal, for one) would stay ignored across exec: the
// program gets the defaults back.
[[noreturn]] void runProgram(const ExecPlan& plan, int reportFd) {
    ::setsid();
    struct sigaction byDefault {};
    byDefault.sa_handler = SIG_DFL;
    for (int number : {SIGXFSZ, SIGPIPE, SIGINT, SIGTERM, SIGHUP, SIGQUIT})
        ::sigaction(number, &byDefault, nullptr);
    sigset_t none;
    ::sigemptyset(&none);
    ::sigprocmask(SIG_SETMASK, &none, nullptr);
    report(reportFd, int(::getpid()));
    if (!plan.folder.isEmpty() && ::chdir(plan.folder.constData()) != 0) {
        report(reportFd, errno);
        ::_exit(127);
    }
    ::execve(plan.file.constData(), plan.argv.data(), environ);
    report(reportFd, errno);
    ::_exit(127);
}

} // namespace

// Started through a child that ends at once, so the program is not this process's child: it
// outlives this program like any detached program and leaves no zombie behind. The program
// itself reports its process id, then whether exec failed, through a pipe that exec closes.
std::optional<StartedProgram> SystemProgramStarter::startDetached(const QString& program,
                                                                  const QStringList& arguments,
                                                                  const QString& workingDirectory) {
    if (program.isEmpty())
        return std::nullopt;
    // Found before the working folder changes, as a shell would find it.
    const QString resolved = program.contains(u'/') ? QFileInfo(program).absoluteFilePath()
                                                    : QStandardPaths::findExecutable(program);
    if (resolved.isEmpty())
        return std::nullopt;
    ExecPlan plan;
    plan.file = QFile::encodeName(resolved);
    plan.folder = QFile::encodeName(workingDirectory);
    plan.arguments.append(QFile::encodeName(program));
    for (const QString& argument : arguments)
        plan.arguments.append(argument.toLocal8Bit());
    for (QByteArray& argument : plan.arguments)
        plan.argv.push_back(argument.data());
    plan.argv.push_back(nullptr);

    int pipeFds[2];
    if (::pipe2(pipeFds, O_CLOEXEC) != 0)
        return std::nullopt;
    const pid_t middle = ::fork();
    if (middle == 0) {
        ::close(pipeFds[0]);
        const pid_t child = ::fork();
        if (child == 0)
            runProgram(plan, pipeFds[1]);
        ::_exit(child < 0 ? 1 : 0);
    }
    ::close(pipeFds[1]);
    if (middle > 0) {
        int status = 0;
        while (::waitpid(middle, &status, 0) < 0 && errno == EINTR) {
        }
    }
    int pid = 0;
    int execError = 0;
    const bool started =
        middle > 0 && readWhole(pipeFds[0], &pid, sizeof pid) && pid > 0 &&
        !readWhole(pipeFds[0], &execError, sizeof execError); // nothing more: exec went well
    ::close(pipeFds[0]);
    if (!started)
        return std::nullopt;
    return StartedProgram{pid, {}};
}

} // namespace ornvale
