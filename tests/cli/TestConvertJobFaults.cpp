#include "CliProcess.h"
#include "FaultCli.h"
#include "ProcessList.h"
#include "ProgramFolders.h"
#include "convert/JobFixture.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTest>
#include <QThread>

#include <cstdio>
#include <cstdlib>

#ifndef Q_OS_WIN
#include <unistd.h>
#endif

using namespace ornvale::test;
using namespace Qt::StringLiterals;

namespace {

const QString kBusy =
    u"　他の変換を実行中です。その変換が終わってから、もう一度実行して下さい。　　　"_s;

// A folder no file can be made in, not even by root (an immutable folder), for as long as the
// guard lives.
class UnwritableFolder {
public:
    explicit UnwritableFolder(const QString& folder) : m_folder(folder) {
        QDir().mkpath(folder);
#ifdef Q_OS_WIN
        // A read-only folder there still takes new files.
#else
        if (::geteuid() == 0)
            m_ok = chattr(u"+i"_s);
        else
            m_ok = QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner);
#endif
    }
    ~UnwritableFolder() {
#ifndef Q_OS_WIN
        if (::geteuid() == 0)
            chattr(u"-i"_s);
        else
            QFile::setPermissions(m_folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
#endif
    }
    bool ok() const {
        return m_ok;
    }

private:
    bool chattr(const QString& flag) const {
        return QProcess::execute(u"chattr"_s, {flag, m_folder}) == 0;
    }
    QString m_folder;
    bool m_ok = false;
};

// This test program also stands in for AutoCAD: started with this variable set, it runs the
// simulator ($SIMULATOR) on the arguments it was given, the way the variable says.
const char* const kLauncherMode = "ORNVALE_TEST_LAUNCHER";

int runAsLauncher(const QString& mode) {
    const QString simulator = qEnvironmentVariable("SIMULATOR");
    const QStringList arguments = QCoreApplication::arguments().mid(1);
    if (mode == u"gated"_s) {
        // Says it has started, then waits for the test to open the gate.
        QFile started(qEnvironmentVariable("LAUNCHER_STARTED"));
        if (!started.open(QIODevice::WriteOnly))
            return 3;
        started.close();
        while (!QFile::exists(qEnvironmentVariable("LAUNCHER_GATE")))
            QThread::msleep(50);
        return QProcess::execute(simulator, arguments);
    }
    QProcess child;
    child.start(simulator, arguments);
    if (!child.waitForStarted())
        return 3;
    if (mode == u"leave"_s) {
        // Gone at once, its child left running (no destructor may end it).
        std::fflush(nullptr);
        std::_Exit(0);
    }
    child.waitForFinished(-1);
    return 0;
}

} // namespace

// The conversion job of the real ornvale-cli against the AutoCAD simulator, under conditions
// chosen to break it: a second job beside a running one, folders AutoCAD cannot write, a time
// limit over a program that leaves children behind.
class TestConvertJobFaults : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void secondJobIsRefusedWhileOneRuns();
    void foldersAutoCadCannotWriteAreNamedFirst_data();
    void foldersAutoCadCannotWriteAreNamedFirst();
    void timeLimitEndsTheWholeTree_data();
    void timeLimitEndsTheWholeTree();

private:
    QString path(const QString& name) const {
        return QDir::toNativeSeparators(m_home->filePath(name));
    }
    // This program standing in for AutoCAD, running the simulator as `mode` says.
    QString launcher(const QString& mode);
    QStringList convertArgs(const QString& acad, const QStringList& more) const;
    static QJsonObject json(const CliRun& run) {
        return QJsonDocument::fromJson(run.outBytes).object();
    }
    bool programsStillRun() const;

    std::unique_ptr<QTemporaryDir> m_home;
    ProgramFolders m_folders;
};

void TestConvertJobFaults::init() {
    m_home = std::make_unique<QTemporaryDir>();
    QVERIFY(m_home->isValid());
    m_folders = programFolders(*m_home);
    clearProgramFolders(m_folders);
    QVERIFY(writeFileBytes(path(u"src/a.dwg"_s), dwgBytes(10240)));
    QVERIFY(writeFileBytes(path(u"src/b.dxf"_s), dxfBytes(8192)));
    qputenv("ACADSIM_SELECTION", "41");
    qputenv("SIMULATOR", simulatorExecutable().toUtf8());
}

// What a failed check left running is ended, so it cannot disturb the next test.
void TestConvertJobFaults::cleanup() {
    for (const char* name :
         {"ACADSIM_HANG", "ACADSIM_ARGS_LOG", "LAUNCHER_STARTED", "LAUNCHER_GATE", kLauncherMode})
        qunsetenv(name);
    for (const QString& program : {u"ornvale-acad-sim"_s, u"TestConvertJobFaults"_s})
        for (qint64 pid : processesOf(program, m_home->path()))
            killProcess(pid);
}

QString TestConvertJobFaults::launcher(const QString& mode) {
    qputenv(kLauncherMode, mode.toUtf8());
    return QDir::toNativeSeparators(QCoreApplication::applicationFilePath());
}

QStringList TestConvertJobFaults::convertArgs(const QString& acad, const QStringList& more) const {
    return QStringList{u"--selection"_s, u"41"_s,        u"--acad"_s, acad,
                       u"--output"_s,    path(u"out"_s), u"--json"_s} +
           more;
}

// A program of this test still running: the simulator, or this program as a launcher (its
// command line names the script, in the test's home).
bool TestConvertJobFaults::programsStillRun() const {
    return !processesOf(u"ornvale-acad-sim"_s, m_home->path()).isEmpty() ||
           !processesOf(u"TestConvertJobFaults"_s, m_home->path()).isEmpty();
}

// The first job's AutoCAD waits at a gate the test opens; meanwhile a second job must leave
// the script, the marker and its own output folder untouched, and the first completes whole.
void TestConvertJobFaults::secondJobIsRefusedWhileOneRuns() {
    qputenv("LAUNCHER_STARTED", path(u"started"_s).toUtf8());
    qputenv("LAUNCHER_GATE", path(u"gate"_s).toUtf8());
    const QString gated = launcher(u"gated"_s);
    QProcess first;
    startCliUnder(first, *m_home, u":"_s, u"convert"_s,
                  convertArgs(gated, {path(u"src/a.dwg"_s), path(u"src/b.dxf"_s)}));
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(path(u"started"_s)), 60000);
    const QByteArray script = readFile(m_folders.scriptFile());
    QVERIFY(script.contains(path(u"src/b.dxf"_s).toUtf8()));

    QVERIFY(writeFileBytes(path(u"src/c.dwg"_s), dwgBytes(4096)));
    const QStringList secondArgs{
        u"--selection"_s, u"41"_s,         u"--acad"_s, simulatorExecutable(),
        u"--output"_s,    path(u"out2"_s), u"--json"_s, path(u"src/c.dwg"_s)};
    const CliRun second = runCli(*m_home, u"convert"_s, secondArgs);
    QCOMPARE(second.exitCode, 1);
    QCOMPARE(json(second)[u"status"_s].toString(), u"failed"_s);
    QCOMPARE(json(second)[u"message"_s].toString(), kBusy);
    QVERIFY2(second.err.contains(kBusy), qPrintable(second.err));
    QCOMPARE(readFile(m_folders.scriptFile()), script);
    QVERIFY(!QFile::exists(path(u"out2"_s)));

    QVERIFY(writeFileBytes(path(u"gate"_s), {}));
    QVERIFY(first.waitForFinished(60000));
    const QByteArray firstOut = first.readAllStandardOutput();
    QVERIFY2(first.exitCode() == 0, first.readAllStandardError().constData());
    const QJsonObject done = QJsonDocument::fromJson(firstOut).object();
    QCOMPARE(done[u"status"_s].toString(), u"completed"_s);
    QCOMPARE(done[u"conversions"_s].toArray().size(), 1);
    QCOMPARE(readFile(path(u"out/b.dxf"_s)).size(), 8192);
    QVERIFY(QFile::exists(path(u"out/a.dxf"_s)));
    QVERIFY(!programsStillRun());

    // The lock went with the first job.
    const CliRun third = runCli(*m_home, u"convert"_s, secondArgs);
    QVERIFY2(third.exitCode == 0, qPrintable(third.err));
    QVERIFY(QFile::exists(path(u"out2/c.dxf"_s)));
}

void TestConvertJobFaults::foldersAutoCadCannotWriteAreNamedFirst_data() {
    QTest::addColumn<QString>("folder");
    QTest::addColumn<bool>("isFile");
    QTest::addColumn<QString>("reason");
    const QString check = u"フォルダの書き込み権限を確認して下さい。"_s;
#ifndef Q_OS_WIN // there the marker's folder is the machine's AppData, not one of the test's
    QTest::newRow("marker folder is a file")
        << u"data/ornvale"_s << true << u"完了マーカー（10000.dxf）のフォルダを作成できません。"_s;
    QTest::newRow("marker folder cannot be written")
        << u"data/ornvale"_s << false
        << u"完了マーカー（10000.dxf）のフォルダに書き込めません。"_s + check;
#endif
    QTest::newRow("output folder is a file")
        << u"out"_s << true << u"出力フォルダを作成できません。"_s;
    QTest::newRow("output folder cannot be written")
        << u"out"_s << false << u"出力フォルダに書き込めません。"_s + check;
}

// AutoCAD is never started: the job names the folder instead of waiting and blaming drawings.
void TestConvertJobFaults::foldersAutoCadCannotWriteAreNamedFirst() {
    QFETCH(QString, folder);
    QFETCH(bool, isFile);
    QFETCH(QString, reason);
    std::optional<UnwritableFolder> locked;
    if (isFile) {
        QVERIFY(writeFileBytes(path(folder), "a file"));
    } else {
        locked.emplace(path(folder));
        if (!locked->ok())
            QSKIP("this file system cannot make a folder unwritable");
    }
    qputenv("ACADSIM_ARGS_LOG", path(u"started.json"_s).toUtf8());
    const CliRun run =
        runCli(*m_home, u"convert"_s, convertArgs(simulatorExecutable(), {path(u"src/b.dxf"_s)}));
    QCOMPARE(run.exitCode, 1);
    const QString message = path(folder) + u" は、 \r\n\r\n"_s + reason;
    QCOMPARE(json(run)[u"status"_s].toString(), u"failed"_s);
    QCOMPARE(json(run)[u"message"_s].toString(), message);
    QVERIFY(!QFile::exists(path(u"started.json"_s)));
    QVERIFY(!QFile::exists(path(u"out/b.dxf"_s)));
}

void TestConvertJobFaults::timeLimitEndsTheWholeTree_data() {
    QTest::addColumn<QString>("body");
    QTest::newRow("launcher waiting for its child") << u"wait"_s;
    QTest::newRow("launcher leaving its child behind") << u"leave"_s;
}

// AutoCAD started through a launcher hangs; at the limit, and not before, the job ends the
// launcher and everything it started, and says it was the time limit.
void TestConvertJobFaults::timeLimitEndsTheWholeTree() {
    QFETCH(QString, body);
    const QString acad = launcher(body);
    qputenv("ACADSIM_HANG", "b");
    QElapsedTimer elapsed;
    elapsed.start();
    const CliRun run = runCli(*m_home, u"convert"_s,
                              convertArgs(acad, {u"--timeout"_s, u"1.5"_s, path(u"src/b.dxf"_s)}));
    const qint64 ms = elapsed.elapsed();
    QCOMPARE(run.exitCode, 1);
    QCOMPARE(json(run)[u"status"_s].toString(), u"aborted"_s);
    QCOMPARE(json(run)[u"message"_s].toString(),
             u"　制限時間（1.5秒）を過ぎたため、AutoCADを終了して変換を中止しました。　　　"_s);
    QVERIFY2(ms >= 1500, qPrintable(QString::number(ms)));
    QVERIFY(!programsStillRun());
}

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    if (qEnvironmentVariableIsSet(kLauncherMode))
        return runAsLauncher(qEnvironmentVariable(kLauncherMode));
    TestConvertJobFaults test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}
#include "TestConvertJobFaults.moc"
