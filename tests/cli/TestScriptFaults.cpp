#include "CliProcess.h"
#include "FaultCli.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#ifndef Q_OS_WIN
#include <unistd.h>
#endif

using namespace ornvale::test;
using namespace Qt::StringLiterals;

namespace {

const QByteArray kEarlier = "an earlier script\r\n";

} // namespace

// `ornvale-cli convert --script-out` where the script cannot be written, or must not be: the
// message names the script, the exit code says so, and nothing is left half written under the
// script's name or written over a drawing.
class TestScriptFaults : public QObject {
    Q_OBJECT
private slots:
    void init();
    void folderThatIsAFile();
    void folderWithoutWritePermission();
    void fullDiskKeepsTheEarlierScript();
    void scriptNamingADrawingOfTheBatchIsRefused_data();
    void scriptNamingADrawingOfTheBatchIsRefused();

private:
    QString path(const QString& name) const {
        return QDir::toNativeSeparators(m_home->filePath(name));
    }
    QStringList drawings(int count);
    QStringList scriptArgs(const QString& script, int count);
    void expectRefused(int exitCode, const QString& err, const QString& script);

    std::unique_ptr<QTemporaryDir> m_home;
};

void TestScriptFaults::init() {
    m_home = std::make_unique<QTemporaryDir>();
    QVERIFY(m_home->isValid());
}

// DWG files with long names, so that the script of a few dozen takes some KB.
QStringList TestScriptFaults::drawings(int count) {
    QStringList paths;
    for (int i = 0; i < count; ++i) {
        const QString name = u"a drawing with a rather long name number %1.dwg"_s.arg(i);
        if (writeFile(path(name), "AC1018" + QByteArray(64, '\x01')))
            paths.append(path(name));
    }
    return paths;
}

QStringList TestScriptFaults::scriptArgs(const QString& script, int count) {
    return QStringList{u"--selection"_s, u"41"_s,           u"--output"_s,
                       path(u"out"_s),   u"--script-out"_s, script} +
           drawings(count);
}

void TestScriptFaults::expectRefused(int exitCode, const QString& err, const QString& script) {
    QVERIFY(exitCode != 0);
    QVERIFY2(err.contains(QDir::toNativeSeparators(script)), qPrintable(err));
}

void TestScriptFaults::folderThatIsAFile() {
    QVERIFY(writeFile(path(u"scripts"_s), "not a folder"));
    const QString script = path(u"scripts/s.scr"_s);
    const CliRun run = runCli(*m_home, u"convert"_s, scriptArgs(script, 2));
    expectRefused(run.exitCode, run.err, script);
    QCOMPARE(readFile(path(u"scripts"_s)), QByteArray("not a folder"));
}

void TestScriptFaults::folderWithoutWritePermission() {
#ifdef Q_OS_WIN
    QSKIP("a read-only folder there still takes new files");
#else
    if (::geteuid() == 0)
        QSKIP("runs as root, which writes into a folder without write permission");
#endif
    QVERIFY(QDir(m_home->path()).mkdir(u"locked"_s));
    const QString script = path(u"locked/s.scr"_s);
    QVERIFY(writeFile(script, kEarlier));
    QVERIFY(QFile::setPermissions(path(u"locked"_s), QFile::ReadOwner | QFile::ExeOwner));
    const CliRun run = runCli(*m_home, u"convert"_s, scriptArgs(script, 2));
    QFile::setPermissions(path(u"locked"_s),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    expectRefused(run.exitCode, run.err, script);
    QCOMPARE(readFile(script), kEarlier);
    QCOMPARE(namesIn(path(u"locked"_s)), QStringList{u"s.scr"_s});
}

void TestScriptFaults::fullDiskKeepsTheEarlierScript() {
#ifdef Q_OS_WIN
    QSKIP("no file-size limit to stand in for a full disk there");
#endif
    QVERIFY(QDir(m_home->path()).mkdir(u"scripts"_s));
    const QString script = path(u"scripts/s.scr"_s);
    QVERIFY(writeFile(script, kEarlier));
    // Two blocks are 1 or 2 KB depending on the shell; thirty drawings make a script of some KB.
    // The command itself keeps the limit's signal from ending it.
    QProcess process;
    startCliUnder(process, *m_home, u"ulimit -f 2"_s, u"convert"_s, scriptArgs(script, 30));
    QVERIFY(process.waitForFinished(60000));
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    expectRefused(process.exitCode(), QString::fromUtf8(process.readAllStandardError()), script);
    QCOMPARE(readFile(script), kEarlier);
    QCOMPARE(namesIn(path(u"scripts"_s)), QStringList{u"s.scr"_s});

    // Without the limit the same command writes the script whole.
    const CliRun run = runCli(*m_home, u"convert"_s, scriptArgs(script, 30));
    QVERIFY2(run.exitCode == 0, qPrintable(run.err));
    QVERIFY(readFile(script).size() > 4096);
}

void TestScriptFaults::scriptNamingADrawingOfTheBatchIsRefused_data() {
    QTest::addColumn<QString>("script");
    QTest::addColumn<QString>("reason");
    QTest::newRow("the drawing itself")
        << u"a.dxf"_s
        << u"変換する図面 <home>/a.dxf と同じファイルのため、スクリプトを書き込めません。"_s;
#ifndef Q_OS_WIN // links made there are shell shortcuts, plain files to the file system
    QTest::newRow("a link to the drawing")
        << u"link.scr"_s
        << u"変換する図面 <home>/a.dxf と同じファイルのため、スクリプトを書き込めません。"_s;
#endif
    QTest::newRow("where the drawing is saved")
        << u"out/a.dxf"_s
        << u"図面の保存先 <home>/out/a.dxf と同じファイルのため、スクリプトを書き込めません。"_s;
}

// The drawing keeps its bytes; --json still prints the outcome, with the message.
void TestScriptFaults::scriptNamingADrawingOfTheBatchIsRefused() {
    QFETCH(QString, script);
    QFETCH(QString, reason);
    reason.replace(u"<home>/a.dxf"_s, path(u"a.dxf"_s))
        .replace(u"<home>/out/a.dxf"_s, path(u"out/a.dxf"_s));
    const QByteArray drawing = "  0\r\nSECTION\r\n  2\r\nHEADER\r\n  9\r\n$ACADVER\r\n  1\r\n"
                               "AC1015\r\n  0\r\nENDSEC\r\n  0\r\nEOF\r\n";
    QVERIFY(writeFile(path(u"a.dxf"_s), drawing));
#ifndef Q_OS_WIN
    QVERIFY(QFile::link(path(u"a.dxf"_s), path(u"link.scr"_s)));
#endif
    const CliRun run = runCli(*m_home, u"convert"_s,
                              {u"--selection"_s, u"41"_s, u"--output"_s, path(u"out"_s),
                               u"--json"_s, u"--script-out"_s, path(script), path(u"a.dxf"_s)});
    QCOMPARE(run.exitCode, 1);
    const QString message = path(script) + u" は、 \r\n\r\n"_s + reason;
    QCOMPARE(QJsonDocument::fromJson(run.outBytes).object()[u"message"_s].toString(), message);
    QVERIFY2(run.err.contains(QString(message).replace(u"\r\n"_s, u"\n"_s)), qPrintable(run.err));
    QCOMPARE(readFile(path(u"a.dxf"_s)), drawing);
    QVERIFY(!QFile::exists(path(u"out/a.dxf"_s)));
}

QTEST_GUILESS_MAIN(TestScriptFaults)
#include "TestScriptFaults.moc"
