#include "CliProcess.h"
#include "FaultCli.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#ifndef Q_OS_WIN
#include <csignal>
#endif

using namespace ornvale::test;
using namespace Qt::StringLiterals;

namespace {

// Upper case turns every "abc" value into "ABC" and touches nothing else of these drawings.
const QStringList kUpper{u"--selection"_s, u"41"_s, u"--case"_s, u"upper"_s};
const QByteArray kEarlier = "an earlier output\r\n";
constexpr int kWait = 300000; // a debug build over a few hundred MB

bool sameFiles(const QString& a, const QString& b) {
    QFile fa(a);
    QFile fb(b);
    if (!fa.open(QIODevice::ReadOnly) || !fb.open(QIODevice::ReadOnly) || fa.size() != fb.size())
        return false;
    while (!fa.atEnd()) {
        if (fa.read(16 << 20) != fb.read(16 << 20))
            return false;
    }
    return true;
}

#ifndef Q_OS_WIN
// Where the process has the output open for writing: its descriptor in /proc, or empty.
// The links in /proc name canonical paths.
QString outputDescriptor(qint64 pid, const QString& folder, const QString& input) {
    const QString fds = u"/proc/%1/fd"_s.arg(pid);
    for (const QFileInfo& fd :
         QDir(fds).entryInfoList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot)) {
        const QString target = fd.symLinkTarget();
        if (target.startsWith(folder + u'/') && target != input)
            return fd.fileName();
    }
    return {};
}

qint64 descriptorPosition(qint64 pid, const QString& fd) {
    QFile info(u"/proc/%1/fdinfo/%2"_s.arg(pid).arg(fd));
    if (!info.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray text = info.readAll();
    const qsizetype at = text.indexOf("pos:");
    return at < 0 ? -1 : text.mid(at + 4, text.indexOf('\n', at) - at - 4).trimmed().toLongLong();
}
#endif

} // namespace

// The text command under faults: a full disk, a kill in the middle of a file, two runs at
// once. Each runs the real ornvale-cli on drawings made in a temporary folder.
class TestTextFaults : public QObject {
    Q_OBJECT
private slots:
    void init();
    void fullDiskFailsOnlyWhatDoesNotFit();
    void killMidFileLeavesNoPartialOutput();
    void concurrentRunsWriteCompleteOutputs();

private:
    QString path(const QString& name) const { return m_home->filePath(name); }
    QString makeDrawing(const QString& name, qint64 entities, const QByteArray& value = "abc");

    std::unique_ptr<QTemporaryDir> m_home;
};

void TestTextFaults::init() {
    m_home = std::make_unique<QTemporaryDir>();
    QVERIFY(m_home->isValid());
}

QString TestTextFaults::makeDrawing(const QString& name, qint64 entities, const QByteArray& value) {
    return writeRepeatedDrawing(path(name), value, entities) ? path(name) : QString();
}

void TestTextFaults::fullDiskFailsOnlyWhatDoesNotFit() {
#ifdef Q_OS_WIN
    QSKIP("no file-size limit to stand in for a full disk there");
#endif
    // 2048 blocks is 1 or 2 MB depending on the shell's block size; the large outputs are
    // about 16 MB, the small one some 40 KB.
    const QString large = makeDrawing(u"large.dxf"_s, 200000);
    const QString fresh = makeDrawing(u"fresh.dxf"_s, 200000);
    const QString small = makeDrawing(u"small.dxf"_s, 500);
    const QString expected = makeDrawing(u"expected.txt"_s, 500, "ABC");
    QVERIFY(!large.isEmpty() && !fresh.isEmpty() && !small.isEmpty() && !expected.isEmpty());
    QVERIFY(writeFile(path(u"large-T.dxf"_s), kEarlier));

    // The command itself keeps the limit's signal from ending it in the middle of the batch.
    QProcess process;
    startCliUnder(process, *m_home, u"ulimit -f 2048"_s, u"text"_s,
                  kUpper + QStringList{u"--json"_s, large, fresh, small});
    QVERIFY(process.waitForFinished(kWait));
    const QString err = QString::fromUtf8(process.readAllStandardError());
    // Only the file that was written counts its changes: one per "abc" value.
    QVERIFY2(
        process.readAllStandardOutput().contains(R"("counters":{"replacedCount":0,)"
                                                 R"("toFullWidthCount":0,"toHalfWidthCount":0,)"
                                                 R"("caseChangedCount":500,)"),
        qPrintable(err));
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), 1);
    // Both large files are named with the output that could not be written; the small one is
    // not named at all.
    for (const QString& failed : {large, fresh}) {
        QVERIFY2(err.contains(failed + u" "_s), qPrintable(err));
        QVERIFY2(err.contains(failed.chopped(4) + u"-T.dxf を書き込めません"_s), qPrintable(err));
    }
    QVERIFY2(!err.contains(small), qPrintable(err));
    QCOMPARE(readFile(path(u"large-T.dxf"_s)), kEarlier);
    QVERIFY(sameFiles(path(u"small-T.dxf"_s), expected));
    // Nothing half written is left under any name.
    QCOMPARE(namesIn(m_home->path()),
             (QStringList{u"expected.txt"_s, u"fresh.dxf"_s, u"large-T.dxf"_s, u"large.dxf"_s,
                          u"small-T.dxf"_s, u"small.dxf"_s}));
}

void TestTextFaults::killMidFileLeavesNoPartialOutput() {
#ifdef Q_OS_WIN
    QSKIP("where the program has got to in its output is read from /proc");
#else
    // About 200 MB of TEXT entities.
    const qint64 entities = 2500000;
    const QString input = makeDrawing(u"huge.dxf"_s, entities);
    QVERIFY(!input.isEmpty());
    const QString output = path(u"huge-T.dxf"_s);
    QVERIFY(writeFile(output, kEarlier));

    QProcess process;
    startCliUnder(process, *m_home, u":"_s, u"text"_s, kUpper + QStringList{input});
    QVERIFY(process.waitForStarted());
    // The shell has exec'd the command once the output is open; kill it some MB into the file.
    const qint64 pid = process.processId();
    bool killed = false;
    while (!killed && process.state() == QProcess::Running) {
        const QString fd = outputDescriptor(pid, QFileInfo(input).canonicalPath(),
                                            QFileInfo(input).canonicalFilePath());
        if (!fd.isEmpty() && descriptorPosition(pid, fd) > (16 << 20))
            killed = ::kill(pid_t(pid), SIGKILL) == 0;
        else
            process.waitForFinished(1);
    }
    QVERIFY2(killed, "the run ended before it could be killed in the middle of the file");
    QVERIFY(process.waitForFinished(kWait));
    QCOMPARE(process.exitStatus(), QProcess::CrashExit);
    QCOMPARE(readFile(output), kEarlier);

    // The next run takes nothing left behind for an output and writes the whole file.
    QProcess again;
    startCliUnder(again, *m_home, u":"_s, u"text"_s, kUpper + QStringList{u"--json"_s, input});
    QVERIFY(again.waitForFinished(kWait));
    QCOMPARE(again.exitCode(), 0);
    QVERIFY(again.readAllStandardOutput().contains("\"output\":\"" + output.toUtf8() + '"'));
    QVERIFY(QFile::remove(input));
    const QString expected = makeDrawing(u"expected.txt"_s, entities, "ABC");
    QVERIFY(sameFiles(output, expected));
#endif
}

void TestTextFaults::concurrentRunsWriteCompleteOutputs() {
    QStringList inputs;
    for (int i = 0; i < 4; ++i)
        inputs.append(makeDrawing(u"d%1.dxf"_s.arg(i), 50000 * (i + 1)));
    QVERIFY(!inputs.contains(QString()));
    // A single run over copies in a folder of its own gives the outputs to compare with.
    QVERIFY(QDir(m_home->path()).mkdir(u"single"_s));
    QStringList copies;
    for (const QString& input : inputs) {
        copies.append(path(u"single/"_s + QFileInfo(input).fileName()));
        QVERIFY(QFile::copy(input, copies.last()));
    }
    const CliRun single = runCli(*m_home, u"text"_s, kUpper + copies);
    QCOMPARE(single.exitCode, 0);

    QProcess first;
    QProcess second;
    startCliUnder(first, *m_home, u":"_s, u"text"_s, kUpper + inputs);
    startCliUnder(second, *m_home, u":"_s, u"text"_s, kUpper + inputs);
    QVERIFY(first.waitForFinished(kWait) && second.waitForFinished(kWait));
    QCOMPARE(first.exitCode(), 0);
    QCOMPARE(second.exitCode(), 0);
    for (int i = 0; i < inputs.size(); ++i) {
        const QString name = u"d%1-T.dxf"_s.arg(i);
        QVERIFY2(sameFiles(path(name), path(u"single/"_s + name)), qPrintable(name));
    }
    QCOMPARE(namesIn(m_home->path()).size(), 2 * inputs.size());
}

QTEST_GUILESS_MAIN(TestTextFaults)
#include "TestTextFaults.moc"
