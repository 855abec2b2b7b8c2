#include "CliProcess.h"
#include "FaultCli.h"
#include "convert/JobFixture.h"

#include <QDirIterator>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTest>

#include <csignal>
#include <unistd.h>

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
        if (::geteuid() == 0)
            m_ok = chattr(u"+i"_s);
        else
            m_ok = QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner);
    }
    ~UnwritableFolder() {
        if (::geteuid() == 0)
            chattr(u"-i"_s);
        else
            QFile::setPermissions(m_folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    bool ok() const { return m_ok; }

private:
    bool chattr(const QString& flag) const {
        return QProcess::execute(u"chattr"_s, {flag, m_folder}) == 0;
    }
    QString m_folder;
    bool m_ok = false;
};

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
    // A shell script standing in for AutoCAD that runs the simulator as `body` says.
    QString launcher(const QString& body);
    QStringList convertArgs(const QString& acad, const QStringList& more) const;
    static QJsonObject json(const CliRun& run) {
        return QJsonDocument::fromJson(run.outBytes).object();
    }
    bool programsStillRun() const;

    std::unique_ptr<QTemporaryDir> m_home;
};

void TestConvertJobFaults::init() {
    m_home = std::make_unique<QTemporaryDir>();
    QVERIFY(m_home->isValid());
    QVERIFY(writeFileBytes(path(u"src/a.dwg"_s), dwgBytes(10240)));
    QVERIFY(writeFileBytes(path(u"src/b.dxf"_s), dxfBytes(8192)));
    qputenv("ACADSIM_SELECTION", "41");
    qputenv("SIMULATOR", simulatorExecutable().toUtf8());
}

// What a failed check left running is ended, so it cannot disturb the next test.
void TestConvertJobFaults::cleanup() {
    for (const char* name :
         {"ACADSIM_HANG", "ACADSIM_ARGS_LOG", "LAUNCHER_STARTED", "LAUNCHER_GATE"})
        qunsetenv(name);
    QDirIterator it(u"/proc"_s, QDir::Dirs | QDir::NoDotAndDotDot);
    while (it.hasNext()) {
        const QString entry = it.next();
        const int pid = QFileInfo(entry).fileName().toInt();
        QFile cmdline(entry + u"/cmdline"_s);
        if (pid > 1 && pid != int(::getpid()) && cmdline.open(QIODevice::ReadOnly) &&
            cmdline.readAll().contains(m_home->path().toUtf8()))
            ::kill(pid, SIGKILL);
    }
}

QString TestConvertJobFaults::launcher(const QString& body) {
    const QString script = path(u"launcher.sh"_s);
    if (!writeFileBytes(script, "#!/bin/sh\n" + body.toUtf8() + '\n') ||
        !QFile::setPermissions(script, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner))
        return {};
    return script;
}

QStringList TestConvertJobFaults::convertArgs(const QString& acad, const QStringList& more) const {
    return QStringList{u"--selection"_s, u"41"_s,        u"--acad"_s, acad,
                       u"--output"_s,    path(u"out"_s), u"--json"_s} +
           more;
}

// A program of this test still running: its command line names the test's home (the
// simulator's names the script; a launcher's names itself).
bool TestConvertJobFaults::programsStillRun() const {
    QDirIterator it(u"/proc"_s, QDir::Dirs | QDir::NoDotAndDotDot);
    while (it.hasNext()) {
        QFile cmdline(it.next() + u"/cmdline"_s);
        if (!cmdline.open(QIODevice::ReadOnly))
            continue;
        const QByteArray line = cmdline.readAll();
        if (!line.contains("ornvale-cli") && line.contains(m_home->path().toUtf8()))
            return true;
    }
    return false;
}

// The first job's AutoCAD waits at a gate the test opens; meanwhile a second job must leave
// the script, the marker and its own output folder untouched, and the first completes whole.
void TestConvertJobFaults::secondJobIsRefusedWhileOneRuns() {
    qputenv("LAUNCHER_STARTED", path(u"started"_s).toUtf8());
    qputenv("LAUNCHER_GATE", path(u"gate"_s).toUtf8());
    const QString gated = launcher(u": > \"$LAUNCHER_STARTED\"\n"
                                   "while [ ! -e \"$LAUNCHER_GATE\" ]; do sleep 0.05; done\n"
                                   "exec \"$SIMULATOR\" \"$@\""_s);
    QVERIFY(!gated.isEmpty());
    QProcess first;
    startCliUnder(first, *m_home, u":"_s, u"convert"_s,
                  convertArgs(gated, {path(u"src/a.dwg"_s), path(u"src/b.dxf"_s)}));
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(path(u"started"_s)), 60000);
    const QByteArray script = readFile(path(u"config/ornvale/scriptC.scr"_s));
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
    QCOMPARE(readFile(path(u"config/ornvale/scriptC.scr"_s)), script);
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
    QTest::newRow("marker folder is a file")
        << u"data/ornvale"_s << true << u"完了マーカー（10000.dxf）のフォルダを作成できません。"_s;
    QTest::newRow("marker folder cannot be written")
        << u"data/ornvale"_s << false
        << u"完了マーカー（10000.dxf）のフォルダに書き込めません。"_s + check;
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
    QTest::newRow("launcher waiting for its child") << u"\"$SIMULATOR\" \"$@\" &\nwait"_s;
    QTest::newRow("launcher leaving its child behind") << u"\"$SIMULATOR\" \"$@\" &\nexit 0"_s;
}

// AutoCAD started through a launcher hangs; at the limit, and not before, the job ends the
// launcher and everything it started, and says it was the time limit.
void TestConvertJobFaults::timeLimitEndsTheWholeTree() {
    QFETCH(QString, body);
    const QString acad = launcher(body);
    QVERIFY(!acad.isEmpty());
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

QTEST_GUILESS_MAIN(TestConvertJobFaults)
#include "TestConvertJobFaults.moc"
