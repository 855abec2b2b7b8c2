#include "BatchFiles.h"
#include "FileSystemProbe.h"
#include "ProcessList.h"
#include "ProcessWatcher.h"
#include "ProgramStarter.h"
#include "SingleInstance.h"
#include "WindowsDirectoryChoice.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QSignalSpy>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QTimer>

#include <cstdio>
#include <cstdlib>

#ifndef Q_OS_WIN
#include <sys/stat.h>
#endif

using namespace ornvale;
using namespace Qt::StringLiterals;

namespace {

// Started with these variables set, this program plays a part in a test instead of running it.
const char* const kChildMode = "ORNVALE_TEST_CHILD";
const char* const kChildFolder = "ORNVALE_TEST_FOLDER";

QString childFile(const char* name) {
    return QDir(qEnvironmentVariable(kChildFolder)).filePath(QLatin1String(name));
}

bool writeText(const QString& path, const QByteArray& text) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(text) == text.size();
}

// Holds the single-instance lock of the folder until a file "release" appears there.
int holdLock() {
    SingleInstance instance(qEnvironmentVariable(kChildFolder));
    if (!instance.acquire()) {
        std::puts("busy");
        return 3;
    }
    std::puts("held");
    std::fflush(stdout);
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [] {
        if (QFile::exists(childFile("release")))
            QCoreApplication::quit();
    });
    poll.start(20);
    return QCoreApplication::exec();
}

int runChild(const QString& mode) {
    if (mode == u"hold"_s)
        return holdLock();
    if (mode == u"arguments"_s) {
        // The arguments exactly as they arrived.
        const QJsonArray arguments =
            QJsonArray::fromStringList(QCoreApplication::arguments().mid(1));
        return writeText(childFile("arguments.json"), QJsonDocument(arguments).toJson()) ? 0 : 3;
    }
    if (mode == u"sleep"_s) {
        QThread::sleep(600);
        return 0;
    }
    if (mode == u"parent"_s) {
        // Starts a child that outlives it, says which, and ends at once.
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QLatin1String(kChildMode), u"sleep"_s);
        QProcess child;
        child.setProcessEnvironment(environment);
        child.start(QCoreApplication::applicationFilePath(), {});
        if (!child.waitForStarted() ||
            !writeText(childFile("child"), QByteArray::number(child.processId())))
            return 3;
        std::fflush(nullptr);
        std::_Exit(0); // no destructor may end the child
    }
    return 2;
}

bool waitForLine(QProcess& process, const QByteArray& line) {
    for (int i = 0; i < 100; ++i) {
        if (process.canReadLine())
            return process.readLine().trimmed() == line;
        process.waitForReadyRead(100);
    }
    return false;
}

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestPlatform : public QObject {
    Q_OBJECT

private slots:
    void attributeValue_data();
    void attributeValue();
    void existence();
    void batchFilesKnowAFileByAnyName();
    void windowsDirectoryFallsBackToAppData();
    void singleInstanceAcrossProcesses();
    void lockOfADeadInstanceIsTakenOver();
    void lockNamingThisProcessIsALeftover();
    void unusableFolderDoesNotBlockStart();
    void startDetachedKeepsArgumentsApart();
    void startDetachedFailure();
    void watcherEndsTheTreeTheProgramLeftBehind();

private:
    QProcess* startChild(const QString& mode, const QString& folder,
                         const QStringList& arguments = {});
};

void TestPlatform::attributeValue_data() {
    QTest::addColumn<bool>("folder");
    QTest::addColumn<int>("mode"); // permission bits; 0 on Windows: read-only when set
    QTest::addColumn<bool>("readOnly");
    QTest::addColumn<int>("value");

#ifdef Q_OS_WIN
    QTest::newRow("file") << false << 0 << false << 32;
    QTest::newRow("read-only file") << false << 0 << true << 33;
    QTest::newRow("folder") << true << 0 << false << 16;
#else
    QTest::newRow("writable file") << false << 0644 << false << 32;
    QTest::newRow("nobody may write") << false << 0444 << false << 33;
    QTest::newRow("only the group may write") << false << 0464 << false << 32;
    QTest::newRow("only others may write") << false << 0442 << false << 32;
    QTest::newRow("no permissions at all") << false << 0000 << false << 33;
    QTest::newRow("writable folder") << true << 0755 << false << 48;
    QTest::newRow("read-only folder") << true << 0555 << false << 49;
#endif
}

// Judged by the permission bits on Linux, so the answer is the same for root and for a normal
// user; what Windows itself reports there.
void TestPlatform::attributeValue() {
    QFETCH(bool, folder);
    QFETCH(int, mode);
    QFETCH(bool, readOnly);
    QFETCH(int, value);
    QTemporaryDir dir;
    const QString path = dir.filePath(u"item"_s);
    if (folder) {
        QVERIFY(QDir().mkdir(path));
    } else {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
#ifdef Q_OS_WIN
    Q_UNUSED(mode)
    // Qt sets the read-only attribute there.
    if (readOnly)
        QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadUser));
#else
    Q_UNUSED(readOnly)
    QCOMPARE(::chmod(QFile::encodeName(path).constData(), mode_t(mode)), 0);
#endif
    SystemFileSystemProbe probe;
    QCOMPARE(probe.attributeValue(path), std::optional<int>(value));
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

void TestPlatform::existence() {
    QTemporaryDir dir;
    SystemFileSystemProbe probe;
    const QString file = dir.filePath(u"名前 with blank.exe"_s);
    QVERIFY(!probe.exists(file));
    QCOMPARE(probe.attributeValue(file), std::nullopt);
    QFile created(file);
    QVERIFY(created.open(QIODevice::WriteOnly));
    created.close();
    QVERIFY(probe.exists(file));
    QVERIFY(probe.exists(dir.path()));
    QVERIFY(!probe.exists(QString()));
}

// Another spelling, a link or (where names ignore case) another case names the same file of
// the batch; a file that does not exist yet is named through its folder.
void TestPlatform::batchFilesKnowAFileByAnyName() {
    QTemporaryDir dir;
    const QString plan = dir.filePath(u"plan.dxf"_s);
    QFile created(plan);
    QVERIFY(created.open(QIODevice::WriteOnly));
    created.close();
    QVERIFY(QDir().mkpath(dir.filePath(u"sub"_s)));
    const QString later = dir.filePath(u"sub/later.dxf"_s);
    const BatchFiles batch({plan, dir.filePath(u"sub/../plan.dxf"_s), later});
    QCOMPARE(batch.replacedBy(dir.filePath(u"sub/../plan.dxf"_s)), std::optional<QString>(plan));
    QCOMPARE(batch.replacedBy(dir.filePath(u"./sub/later.dxf"_s)), std::optional<QString>(later));
    QCOMPARE(batch.replacedBy(dir.filePath(u"plan-T.dxf"_s)), std::nullopt);
#ifdef Q_OS_WIN
    QCOMPARE(batch.replacedBy(dir.filePath(u"PLAN.DXF"_s)), std::optional<QString>(plan));
#else
    const QString link = dir.filePath(u"link.dxf"_s);
    QVERIFY(QFile::link(plan, link));
    QCOMPARE(batch.replacedBy(link), std::optional<QString>(plan));
    QCOMPARE(batch.replacedBy(dir.filePath(u"PLAN.DXF"_s)), std::nullopt);
#endif
    QCOMPARE(BatchFiles().replacedBy(plan), std::nullopt);
}

// A Windows directory that cannot be written (a path below a plain file cannot, even for an
// administrator) gives way to AppData's Ornvale folder, which takes over reziz.ini once.
void TestPlatform::windowsDirectoryFallsBackToAppData() {
    QTemporaryDir dir;
    const QString system = dir.filePath(u"Windows"_s);
    const QString appData = dir.filePath(u"AppData"_s);
    QVERIFY(QDir().mkpath(system) && QDir().mkpath(appData));
    QVERIFY(folderTakesNewFiles(system));
    QCOMPARE(chooseWindowsDirectory(system, appData), QDir::toNativeSeparators(system));
    QCOMPARE(QDir(system).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList());

    const QString plainFile = dir.filePath(u"plain-file"_s);
    QVERIFY(writeText(plainFile, "x"));
    const QString unwritable = plainFile + u"/Windows"_s;
    QVERIFY(!folderTakesNewFiles(unwritable));
    const QString own = QDir::toNativeSeparators(appData + u"/Ornvale"_s);
    QCOMPARE(chooseWindowsDirectory(unwritable, appData), own);
    QVERIFY(QFileInfo(own).isDir());
    QCOMPARE(chooseWindowsDirectory(unwritable, std::nullopt),
             QDir::toNativeSeparators(unwritable));

    // Settings found in the Windows directory are carried over, once.
    QVERIFY(writeText(system + u"/reziz.ini"_s, "old settings"));
    QCOMPARE(ownSettingsFolder(system, appData), own);
    QCOMPARE(readFile(own + u"/reziz.ini"_s), QByteArray("old settings"));
    QVERIFY(writeText(own + u"/reziz.ini"_s, "newer settings"));
    QCOMPARE(ownSettingsFolder(system, appData), own);
    QCOMPARE(readFile(own + u"/reziz.ini"_s), QByteArray("newer settings"));
}

QProcess* TestPlatform::startChild(const QString& mode, const QString& folder,
                                   const QStringList& arguments) {
    auto* process = new QProcess(this);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QLatin1String(kChildMode), mode);
    env.insert(QLatin1String(kChildFolder), folder);
    process->setProcessEnvironment(env);
    process->start(QCoreApplication::applicationFilePath(), arguments);
    return process;
}

void TestPlatform::singleInstanceAcrossProcesses() {
    QTemporaryDir dir;
    QProcess* first = startChild(u"hold"_s, dir.path());
    QVERIFY(waitForLine(*first, "held"));

    SingleInstance second(dir.path());
    QVERIFY(!second.acquire());
    QProcess* third = startChild(u"hold"_s, dir.path());
    QVERIFY(third->waitForFinished(10000));
    QCOMPARE(third->exitCode(), 3);

    QVERIFY(writeText(dir.filePath(u"release"_s), {}));
    QVERIFY(first->waitForFinished(10000));
    QCOMPARE(first->exitCode(), 0);
    QVERIFY(second.acquire());
}

void TestPlatform::lockOfADeadInstanceIsTakenOver() {
    QTemporaryDir dir;
    QProcess* holder = startChild(u"hold"_s, dir.path());
    QVERIFY(waitForLine(*holder, "held"));
    holder->kill();
    QVERIFY(holder->waitForFinished(10000));
    QVERIFY(QFile::exists(dir.filePath(u"ornvale.lock"_s)));
    SingleInstance next(dir.path());
    QVERIFY(next.acquire());
}

// Left by an earlier process that had this process's id (Wine gives the first program of a
// session the same one every time): this process holds no such lock, so it takes it over.
void TestPlatform::lockNamingThisProcessIsALeftover() {
    QTemporaryDir dir;
    const QString name = QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
    QVERIFY(writeText(dir.filePath(u"ornvale.lock"_s),
                      QByteArray::number(QCoreApplication::applicationPid()) + '\n' +
                          name.toUtf8() + '\n' + QSysInfo::machineHostName().toUtf8() + '\n'));
    SingleInstance instance(dir.path());
    QVERIFY(instance.acquire());
    QProcess* other = startChild(u"hold"_s, dir.path());
    QVERIFY(other->waitForFinished(10000));
    QCOMPARE(other->exitCode(), 3);
}

void TestPlatform::unusableFolderDoesNotBlockStart() {
    QTemporaryDir dir;
    const QString file = dir.filePath(u"plain-file"_s);
    QVERIFY(writeText(file, {}));
    SingleInstance instance(file + u"/below"_s);
    QVERIFY(instance.acquire());
    SingleInstance nowhere{QString()};
    QVERIFY(nowhere.acquire());
}

// Every argument arrives whole, whatever a command line would make of it: blanks, quotes, a
// trailing backslash (which Windows' quoting rules treat specially), Japanese, shell syntax.
void TestPlatform::startDetachedKeepsArgumentsApart() {
    QTemporaryDir dir;
    const QStringList arguments{u"/b"_s,
                                u"C:\\Program Files\\図面 フォルダ\\scriptC.scr"_s,
                                u"C:\\ends in a backslash\\"_s,
                                u"say \"hello\" twice"_s,
                                u"x; touch hacked & del *"_s,
                                QString()};
    qputenv(kChildMode, "arguments");
    qputenv(kChildFolder, dir.path().toUtf8());
    SystemProgramStarter starter;
    const std::optional<StartedProgram> started =
        starter.startDetached(QCoreApplication::applicationFilePath(), arguments, dir.path());
    qunsetenv(kChildMode);
    qunsetenv(kChildFolder);
    QVERIFY(started.has_value());
    QVERIFY(started->pid > 0);
    const QString written = dir.filePath(u"arguments.json"_s);
    QTRY_VERIFY_WITH_TIMEOUT(QJsonDocument::fromJson(readFile(written)).isArray(), 20000);
    QCOMPARE(QJsonDocument::fromJson(readFile(written)).array().toVariantList(),
             QVariant(arguments).toList());
    QVERIFY(!QFile::exists(dir.filePath(u"hacked"_s)));
}

void TestPlatform::startDetachedFailure() {
    SystemProgramStarter starter;
    QVERIFY(!starter.startDetached(u"/nonexistent/acad.exe"_s, {}));
    QVERIFY(!starter.startDetached(QString(), {}));
}

// The started program starts a child and ends at once: the tree still runs, so no end is
// reported, until terminate() ends the child too.
void TestPlatform::watcherEndsTheTreeTheProgramLeftBehind() {
    QTemporaryDir dir;
    qputenv(kChildMode, "parent");
    qputenv(kChildFolder, dir.path().toUtf8());
    SystemProgramStarter starter;
    const std::optional<StartedProgram> started =
        starter.startDetached(QCoreApplication::applicationFilePath(), {});
    qunsetenv(kChildMode);
    qunsetenv(kChildFolder);
    QVERIFY(started.has_value());
    ProcessWatcher watcher;
    QSignalSpy ended(&watcher, &ProcessWatcher::ended);
    watcher.watch(*started);
    const auto childPid = [&dir] { return readFile(dir.filePath(u"child"_s)).toLongLong(); };
    QTRY_VERIFY_WITH_TIMEOUT(childPid() > 0, 20000);
    QTRY_VERIFY_WITH_TIMEOUT(!test::processRuns(started->pid), 20000);
    QCoreApplication::processEvents();
    QVERIFY(watcher.isRunning());
    QVERIFY(ended.isEmpty());
    QVERIFY(test::processRuns(childPid()));

    watcher.terminate();
    QVERIFY(ended.wait(20000));
    QVERIFY(!watcher.isRunning());
    QTRY_VERIFY_WITH_TIMEOUT(!test::processRuns(childPid()), 20000);
}

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    if (qEnvironmentVariableIsSet(kChildMode))
        return runChild(qEnvironmentVariable(kChildMode));
    TestPlatform test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "TestPlatform.moc"
