#include "FileSystemProbe.h"
#include "FolderRoles.h"
#include "ProcessWatcher.h"
#include "ProgramStarter.h"
#include "SingleInstance.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QSocketNotifier>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/stat.h>

#include <cstdio>
#include <unistd.h>

using namespace ornvale;

namespace {

const char* const kHolderVariable = "ORNVALE_TEST_LOCK_HOLDER";

// Child mode: hold the single-instance lock of a folder until stdin closes, reporting on stdout.
int holdLock() {
    SingleInstance instance(qEnvironmentVariable(kHolderVariable));
    if (!instance.acquire()) {
        std::puts("busy");
        return 3;
    }
    std::puts("held");
    std::fflush(stdout);
    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, [] {
        char buffer[64];
        if (::read(STDIN_FILENO, buffer, sizeof buffer) <= 0)
            QCoreApplication::quit();
    });
    return QCoreApplication::exec();
}

bool waitForLine(QProcess& process, const QByteArray& line) {
    for (int i = 0; i < 100; ++i) {
        if (process.canReadLine())
            return process.readLine().trimmed() == line;
        process.waitForReadyRead(100);
    }
    return false;
}

void setMode(const QString& path, mode_t mode) {
    QCOMPARE(::chmod(QFile::encodeName(path).constData(), mode), 0);
}

} // namespace

class TestPlatform : public QObject {
    Q_OBJECT

private slots:
    void attributeValue_data();
    void attributeValue();
    void existence();
    void folderRolesFollowXdg();
    void desktopFromUserDirs();
    void singleInstanceAcrossProcesses();
    void lockOfADeadInstanceIsTakenOver();
    void unusableFolderDoesNotBlockStart();
    void startDetachedKeepsArgumentsApart();
    void startDetachedFailure();
    void watcherEndsTheTreeTheProgramLeftBehind();

private:
    QProcess* startHolder(const QString& folder);
};

void TestPlatform::attributeValue_data() {
    QTest::addColumn<bool>("folder");
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("value");

    QTest::newRow("writable file") << false << 0644 << 32;
    QTest::newRow("nobody may write") << false << 0444 << 33;
    QTest::newRow("only the group may write") << false << 0464 << 32;
    QTest::newRow("only others may write") << false << 0442 << 32;
    QTest::newRow("no permissions at all") << false << 0000 << 33;
    QTest::newRow("writable folder") << true << 0755 << 48;
    QTest::newRow("read-only folder") << true << 0555 << 49;
}

// Judged by the permission bits, so the answer is the same for root and for a normal user.
void TestPlatform::attributeValue() {
    QFETCH(bool, folder);
    QFETCH(int, mode);
    QFETCH(int, value);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("item"));
    if (folder) {
        QVERIFY(QDir().mkdir(path));
    } else {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    setMode(path, static_cast<mode_t>(mode));
    SystemFileSystemProbe probe;
    QCOMPARE(probe.attributeValue(path), std::optional<int>(value));
    setMode(path, 0755);
}

void TestPlatform::existence() {
    QTemporaryDir dir;
    SystemFileSystemProbe probe;
    const QString file = dir.filePath(QStringLiteral("名前 with blank.exe"));
    QVERIFY(!probe.exists(file));
    QCOMPARE(probe.attributeValue(file), std::nullopt);
    QFile created(file);
    QVERIFY(created.open(QIODevice::WriteOnly));
    created.close();
    QVERIFY(probe.exists(file));
    QVERIFY(probe.exists(dir.path()));
    QVERIFY(!probe.exists(QString()));
}

void TestPlatform::folderRolesFollowXdg() {
    QTemporaryDir home;
    qputenv("HOME", QFile::encodeName(home.path()));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.filePath(QStringLiteral("cfg"))));
    qputenv("XDG_DATA_HOME", QFile::encodeName(home.filePath(QStringLiteral("data"))));
    SystemFolderRoles roles;
    const QString windows = roles.windowsDirectory();
    QCOMPARE(windows, home.filePath(QStringLiteral("cfg/ornvale")));
    QVERIFY(QFileInfo(windows).isDir()); // created on demand
    QCOMPARE(roles.appDataFolder(), std::optional(home.filePath(QStringLiteral("data/ornvale"))));
    QCOMPARE(roles.desktopFolder(), std::optional(home.filePath(QStringLiteral("Desktop"))));

    qunsetenv("XDG_CONFIG_HOME");
    QCOMPARE(roles.windowsDirectory(), home.filePath(QStringLiteral(".config/ornvale")));
}

void TestPlatform::desktopFromUserDirs() {
    QTemporaryDir home;
    qputenv("HOME", QFile::encodeName(home.path()));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.filePath(QStringLiteral("cfg"))));
    QVERIFY(QDir().mkpath(home.filePath(QStringLiteral("cfg"))));
    QFile dirs(home.filePath(QStringLiteral("cfg/user-dirs.dirs")));
    QVERIFY(dirs.open(QIODevice::WriteOnly));
    dirs.write("XDG_DESKTOP_DIR=\"$HOME/デスクトップ\"\n");
    dirs.close();
    SystemFolderRoles roles;
    QCOMPARE(roles.desktopFolder(), std::optional(home.filePath(QStringLiteral("デスクトップ"))));
}

QProcess* TestPlatform::startHolder(const QString& folder) {
    auto* process = new QProcess(this);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QLatin1String(kHolderVariable), folder);
    process->setProcessEnvironment(env);
    process->start(QCoreApplication::applicationFilePath(), {});
    return process;
}

void TestPlatform::singleInstanceAcrossProcesses() {
    QTemporaryDir dir;
    QProcess* first = startHolder(dir.path());
    QVERIFY(waitForLine(*first, "held"));

    SingleInstance second(dir.path());
    QVERIFY(!second.acquire());
    QProcess* third = startHolder(dir.path());
    QVERIFY(third->waitForFinished(10000));
    QCOMPARE(third->exitCode(), 3);

    first->closeWriteChannel();
    QVERIFY(first->waitForFinished(10000));
    QCOMPARE(first->exitCode(), 0);
    QVERIFY(second.acquire());
}

void TestPlatform::lockOfADeadInstanceIsTakenOver() {
    QTemporaryDir dir;
    QProcess* holder = startHolder(dir.path());
    QVERIFY(waitForLine(*holder, "held"));
    holder->kill();
    QVERIFY(holder->waitForFinished(10000));
    QVERIFY(QFile::exists(dir.filePath(QStringLiteral("ornvale.lock"))));
    SingleInstance next(dir.path());
    QVERIFY(next.acquire());
}

void TestPlatform::unusableFolderDoesNotBlockStart() {
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("plain-file"));
    QFile created(file);
    QVERIFY(created.open(QIODevice::WriteOnly));
    created.close();
    SingleInstance instance(file + QStringLiteral("/below"));
    QVERIFY(instance.acquire());
    SingleInstance nowhere{QString()};
    QVERIFY(nowhere.acquire());
}

void TestPlatform::startDetachedKeepsArgumentsApart() {
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("args.txt"));
    SystemProgramStarter starter;
    const std::optional<StartedProgram> started = starter.startDetached(
        QStringLiteral("/bin/sh"),
        {QStringLiteral("-c"), QStringLiteral("printf '%s\\n' \"$@\" > \"$0\""), out,
         QStringLiteral("C:\\Program Files\\a.scr"), QStringLiteral("x; touch hacked")},
        dir.path());
    QVERIFY(started.has_value());
    QVERIFY(started->pid > 0);
    const auto content = [&out] {
        QFile file(out);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    };
    QTRY_COMPARE_WITH_TIMEOUT(content(), QByteArray("C:\\Program Files\\a.scr\nx; touch hacked\n"),
                              10000);
    QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("hacked"))));
}

void TestPlatform::startDetachedFailure() {
    SystemProgramStarter starter;
    QVERIFY(!starter.startDetached(QStringLiteral("/nonexistent/acad.exe"), {}));
    QVERIFY(!starter.startDetached(QString(), {}));
}

// The started program starts a child and ends at once: the tree still runs, so no end is
// reported, until terminate() ends the child too.
void TestPlatform::watcherEndsTheTreeTheProgramLeftBehind() {
    QTemporaryDir dir;
    const QString childFile = dir.filePath(QStringLiteral("child"));
    SystemProgramStarter starter;
    const std::optional<StartedProgram> started = starter.startDetached(
        QStringLiteral("/bin/sh"),
        {QStringLiteral("-c"), QStringLiteral("sleep 600 & echo $! > \"$0\""), childFile});
    QVERIFY(started.has_value());
    ProcessWatcher watcher;
    QSignalSpy ended(&watcher, &ProcessWatcher::ended);
    watcher.watch(*started);
    const auto childPid = [&childFile] {
        QFile file(childFile);
        return file.open(QIODevice::ReadOnly) ? file.readAll().trimmed().toInt() : 0;
    };
    QTRY_VERIFY_WITH_TIMEOUT(childPid() > 0, 10000);
    const auto gone = [](qint64 pid) { return ::kill(pid_t(pid), 0) != 0 && errno == ESRCH; };
    QTRY_VERIFY_WITH_TIMEOUT(gone(started->pid), 10000);
    QCoreApplication::processEvents();
    QVERIFY(watcher.isRunning());
    QVERIFY(ended.isEmpty());

    watcher.terminate();
    QVERIFY(ended.wait(20000));
    QVERIFY(!watcher.isRunning());
    QTRY_VERIFY_WITH_TIMEOUT(gone(childPid()), 10000);
}

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    if (qEnvironmentVariableIsSet(kHolderVariable))
        return holdLock();
    TestPlatform test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "TestPlatform.moc"
