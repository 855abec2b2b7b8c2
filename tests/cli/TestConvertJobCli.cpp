#include "CliProcess.h"
#include "ProcessList.h"
#include "ProgramFolders.h"
#include "convert/JobFixture.h"

#include <QDirIterator>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTest>

#ifndef Q_OS_WIN
#include <csignal>
#endif

using namespace ornvale::test;
using namespace Qt::StringLiterals;

// The whole job from the command line: the real ornvale-cli starts the AutoCAD simulator.
class TestConvertJobCli : public QObject {
    Q_OBJECT
private slots:
    void init();
    void everyProductAndFormat_data();
    void everyProductAndFormat();
    void tableOnStdout();
    void faults_data();
    void faults();
    void missingExecutableStillWritesTheScript();
    void staleOutputIsMissing();
    void oldMarkerDoesNotEndTheWait();
    void timeoutEndsTheProgram();
    void interruptEndsTheProgram_data();
    void interruptEndsTheProgram();
    void tinyFilesShowEmptyFigures();
    void shortReportGivesAnEmptyMarkedSummary();
    void stallLimitEndsTheProgram_data();
    void stallLimitEndsTheProgram();
    void stallInAResumedJobKeepsTheListsNumbers();
    void folderArgumentsBringTheirDrawings();

private:
    QString path(const QString& name) const {
        return QDir::toNativeSeparators(m_home->filePath(name));
    }
    CliRun convert(int selection, const QStringList& args, QMap<QString, QString> env = {});
    static QJsonObject json(const CliRun& run);
    bool simulatorStillRuns() const;

    std::unique_ptr<QTemporaryDir> m_home;
    ProgramFolders m_folders;
};

void TestConvertJobCli::init() {
    m_home = std::make_unique<QTemporaryDir>();
    QVERIFY(m_home->isValid());
    m_folders = programFolders(*m_home);
    clearProgramFolders(m_folders);
    // a.dwg: 10 240 bytes, b.dxf: 8 192 bytes, both release 2000 (every product opens it).
    QVERIFY(writeFileBytes(path(u"src/a.dwg"_s), dwgBytes(10240)));
    QVERIFY(writeFileBytes(path(u"src/b.dxf"_s), dxfBytes(8192)));
}

CliRun TestConvertJobCli::convert(int selection, const QStringList& args,
                                  QMap<QString, QString> env) {
    env.insert(u"ACADSIM_SELECTION"_s, QString::number(selection));
    return runCli(*m_home, u"convert"_s,
                  QStringList{u"--selection"_s, QString::number(selection), u"--acad"_s,
                              simulatorExecutable(), u"--output"_s, path(u"out"_s)} +
                      args,
                  env);
}

QJsonObject TestConvertJobCli::json(const CliRun& run) {
    return QJsonDocument::fromJson(run.outBytes).object();
}

// The test's simulator: the only simulator whose command line names this home.
bool TestConvertJobCli::simulatorStillRuns() const {
    return !processesOf(u"ornvale-acad-sim"_s, m_home->path()).isEmpty();
}

void TestConvertJobCli::everyProductAndFormat_data() {
    QTest::addColumn<int>("selection");
    QTest::addColumn<QString>("format");
    for (int code : everySelectionCode()) {
        QTest::addRow("%d dwg", code) << code << u"dwg"_s;
        QTest::addRow("%d dxf", code) << code << u"dxf"_s;
    }
}

// a shrinks to 5 120 bytes, b doubles; b has two audit errors, fixed, and its report is kept.
void TestConvertJobCli::everyProductAndFormat() {
    QFETCH(int, selection);
    QFETCH(QString, format);
    const CliRun run =
        convert(selection,
                {u"--format"_s, format, u"--fix"_s, u"--keep-report"_s, u"--json"_s,
                 path(u"src/a.dwg"_s), path(u"src/b.dxf"_s)},
                {{u"ACADSIM_SIZE"_s, u"a=5120;b=200%"_s}, {u"ACADSIM_AUDIT_ERRORS"_s, u"b=2"_s}});
    QVERIFY2(run.exitCode == 0, qPrintable(run.err + run.out));
    const QJsonObject root = json(run);
    QCOMPARE(root[u"status"_s].toString(), u"completed"_s);
    QCOMPARE(root[u"message"_s].toString(), QString());

    // Only the drawing saved in its own format has a size row.
    const QJsonArray conversions = root[u"conversions"_s].toArray();
    QCOMPARE(conversions.size(), 1);
    const QJsonObject row = conversions[0].toObject();
    if (format == u"dwg"_s) {
        QCOMPARE(row[u"number"_s].toInt(), 1);
        QCOMPARE(row[u"name"_s].toString(), u"a.dwg"_s);
        QCOMPARE(row[u"before"_s].toString(), u"10 KB"_s);
        QCOMPARE(row[u"after"_s].toString(), u"5 KB"_s);
        QCOMPARE(row[u"ratio"_s].toString(), u"50%"_s);
        QCOMPARE(row[u"mark"_s].toString(), u"shrank"_s);
    } else {
        QCOMPARE(row[u"number"_s].toInt(), 2);
        QCOMPARE(row[u"name"_s].toString(), u"b.dxf"_s);
        QCOMPARE(row[u"before"_s].toString(), u"8 KB"_s);
        QCOMPARE(row[u"after"_s].toString(), u"16 KB"_s);
        QCOMPARE(row[u"ratio"_s].toString(), u"200%"_s);
        QCOMPARE(row[u"mark"_s].toString(), u"grew"_s);
    }
    QCOMPARE(row[u"output"_s].toString(), path(u"out/"_s + row[u"name"_s].toString()));
    QVERIFY(QFile::exists(row[u"output"_s].toString()));

    const QJsonArray audits = root[u"audits"_s].toArray();
    QCOMPARE(audits.size(), 2);
    const QJsonObject clean = audits[0].toObject();
    const QJsonObject faulty = audits[1].toObject();
    QCOMPARE(clean[u"name"_s].toString(), u"a."_s + format);
    QCOMPARE(clean[u"summary"_s].toString(), zeroSummaryOf(selection));
    QCOMPARE(clean[u"errors"_s].toBool(), false);
    QCOMPARE(clean[u"reportKept"_s].toBool(), false);
    QVERIFY(!QFile::exists(path(u"src/a.adt"_s)));
    QCOMPARE(faulty[u"number"_s].toInt(), 2);
    QCOMPARE(faulty[u"summary"_s].toString(), zeroSummaryOf(selection, 2, 2));
    QCOMPARE(faulty[u"errors"_s].toBool(), true);
    QCOMPARE(faulty[u"report"_s].toString(), path(u"src/b.adt"_s));
    QCOMPARE(faulty[u"reportKept"_s].toBool(), true);
    QVERIFY(QFile::exists(path(u"src/b.adt"_s)));
}

void TestConvertJobCli::tableOnStdout() {
    const CliRun run = convert(17, {u"--format"_s, u"dwg"_s, u"--audit"_s, path(u"src/a.dwg"_s)},
                               {{u"ACADSIM_AUDIT_ERRORS"_s, u"a=1"_s}});
    QVERIFY2(run.exitCode == 0, qPrintable(run.err));
    QVERIFY2(
        run.out.startsWith(u"No\tファイル名\tBefore\tAfter\t比率\n1\ta.dwg\t10 KB\t10 KB\t100%"_s),
        qPrintable(run.out));
    QVERIFY2(run.out.contains(zeroSummaryOf(17, 1, 0)), qPrintable(run.out));
    // Errors found, but reports are not kept without --keep-report.
    QVERIFY(!QFile::exists(path(u"src/a.adt"_s)));
}

void TestConvertJobCli::faults_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("variable");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("status");
    QTest::addColumn<QString>("message");
    const QString abort =
        u"　無効または不完全なAutoCADファイルが含まれていた可能性があります！　　　"_s;
    QTest::newRow("a drawing that fails to open leaves no marker")
        << QStringList{} << u"ACADSIM_FAIL_OPEN"_s << u"b"_s << u"aborted"_s << abort;
    QTest::newRow("the program dies before the marker")
        << QStringList{} << u"ACADSIM_CRASH"_s << u"marker"_s << u"aborted"_s << abort;
    QTest::newRow("missing output names the file")
        << QStringList{u"--format"_s, u"dwg"_s} << u"ACADSIM_NO_OUTPUT"_s << u"a"_s << u"failed"_s
        << u"　エラーチェックNo = 2\r\n<home>/out/a.dwg"_s;
    QTest::newRow("missing report names the file")
        << QStringList{u"--audit"_s} << u"ACADSIM_NO_REPORT"_s << u"b.dxf"_s << u"failed"_s
        << u"　エラーチェックNo = 3\r\n<home>/src/b.adt"_s;
}

void TestConvertJobCli::faults() {
    QFETCH(QStringList, args);
    QFETCH(QString, variable);
    QFETCH(QString, value);
    QFETCH(QString, status);
    QFETCH(QString, message);
    // The rows are made before the home of each run exists.
    const qsizetype home = message.indexOf(u"<home>/"_s);
    if (home >= 0)
        message = message.left(home) + path(message.mid(home + 7));
    const CliRun run =
        convert(41, args + QStringList{u"--json"_s, path(u"src/a.dwg"_s), path(u"src/b.dxf"_s)},
                {{variable, value}});
    QCOMPARE(run.exitCode, 1);
    const QJsonObject root = json(run);
    QCOMPARE(root[u"status"_s].toString(), status);
    QCOMPARE(root[u"message"_s].toString(), message);
    QVERIFY(root[u"conversions"_s].toArray().isEmpty());
    QVERIFY(root[u"audits"_s].toArray().isEmpty());
    QVERIFY2(run.err.contains(QString(message).replace(u"\r\n"_s, u"\n"_s)), qPrintable(run.err));
}

void TestConvertJobCli::missingExecutableStillWritesTheScript() {
    const CliRun run = runCli(*m_home, u"convert"_s,
                              {u"--selection"_s, u"17"_s, u"--acad"_s, path(u"no/acad.exe"_s),
                               u"--json"_s, path(u"src/a.dwg"_s)});
    QCOMPARE(run.exitCode, 1);
    QCOMPARE(json(run)[u"message"_s].toString(), u"　AutoCADを起動できません！　　　"_s);
    QCOMPARE(json(run)[u"status"_s].toString(), u"failed"_s);
    QFile script(m_folders.scriptFile());
    QVERIFY(script.open(QIODevice::ReadOnly));
    QVERIFY(script.readAll().contains(path(u"src/a.dwg"_s).toUtf8()));
}

// An output left from earlier that the program did not write again is not this job's output.
void TestConvertJobCli::staleOutputIsMissing() {
    const QString stale = path(u"out/a.dwg"_s);
    QVERIFY(writeFileBytes(stale, dwgBytes(4096)));
    QFile file(stale);
    QVERIFY(file.open(QIODevice::ReadWrite));
    QVERIFY(file.setFileTime(QDateTime::currentDateTime().addDays(-1),
                             QFileDevice::FileModificationTime));
    file.close();
    const CliRun run = convert(17, {u"--format"_s, u"dwg"_s, u"--json"_s, path(u"src/a.dwg"_s)},
                               {{u"ACADSIM_NO_OUTPUT"_s, u"a"_s}});
    QCOMPARE(run.exitCode, 1);
    QCOMPARE(json(run)[u"message"_s].toString(), u"　エラーチェックNo = 2\r\n"_s + stale);
}

void TestConvertJobCli::oldMarkerDoesNotEndTheWait() {
    const QString marker = m_folders.markerFile();
    QVERIFY(writeFileBytes(marker, dxfBytes(200)));
    const CliRun run = convert(41, {u"--format"_s, u"dwg"_s, u"--json"_s, path(u"src/a.dwg"_s)},
                               {{u"ACADSIM_DELAY_MS"_s, u"300"_s}});
    QVERIFY2(run.exitCode == 0, qPrintable(run.err));
    QCOMPARE(json(run)[u"conversions"_s].toArray().size(), 1);
    QVERIFY(QFile::exists(marker));
}

void TestConvertJobCli::timeoutEndsTheProgram() {
    const CliRun run = convert(41, {u"--timeout"_s, u"0.5"_s, u"--json"_s, path(u"src/a.dwg"_s)},
                               {{u"ACADSIM_HANG"_s, u"a"_s}});
    QCOMPARE(run.exitCode, 1);
    QCOMPARE(json(run)[u"status"_s].toString(), u"aborted"_s);
    QTRY_VERIFY(!simulatorStillRuns());
}

void TestConvertJobCli::interruptEndsTheProgram_data() {
    QTest::addColumn<int>("sent");
#ifndef Q_OS_WIN
    QTest::newRow("Ctrl-C") << int(SIGINT);
    QTest::newRow("the terminal closed") << int(SIGHUP);
#endif
}

// Ctrl-C during the wait: the command ends the program it started and reports the abort.
void TestConvertJobCli::interruptEndsTheProgram() {
#ifdef Q_OS_WIN
    QSKIP("a program without a console there gets no Ctrl-C to send");
#else
    QFETCH(int, sent);
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(u"HOME"_s, m_home->path());
    env.insert(u"XDG_CONFIG_HOME"_s, path(u"config"_s));
    env.insert(u"XDG_DATA_HOME"_s, path(u"data"_s));
    env.insert(u"ACADSIM_SELECTION"_s, u"41"_s);
    env.insert(u"ACADSIM_HANG"_s, u"a"_s);
    process.setProcessEnvironment(env);
    process.start(QStringLiteral(ORNVALE_BINARY_DIR "/src/cli/ornvale-cli" ORNVALE_EXE_SUFFIX),
                  {u"convert"_s, u"--selection"_s, u"41"_s, u"--acad"_s, simulatorExecutable(),
                   u"--json"_s, path(u"src/a.dwg"_s)});
    QVERIFY(process.waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(simulatorStillRuns(), 20000);
    ::kill(static_cast<pid_t>(process.processId()), sent);
    QVERIFY(process.waitForFinished(20000));
    QVERIFY2(process.exitCode() == 1, process.readAllStandardError().constData());
    const QJsonObject root = QJsonDocument::fromJson(process.readAllStandardOutput()).object();
    QCOMPARE(root[u"status"_s].toString(), u"aborted"_s);
    QTRY_VERIFY(!simulatorStillRuns());
#endif
}

// Below half a kilobyte the figures are empty and so is the ratio; the job still completes.
void TestConvertJobCli::tinyFilesShowEmptyFigures() {
    QVERIFY(writeFileBytes(path(u"src/t.dwg"_s), dwgBytes(300)));
    const CliRun run = convert(41, {u"--format"_s, u"dwg"_s, u"--json"_s, path(u"src/t.dwg"_s)},
                               {{u"ACADSIM_SIZE"_s, u"t=1000"_s}});
    QVERIFY2(run.exitCode == 0, qPrintable(run.err));
    const QJsonObject row = json(run)[u"conversions"_s].toArray()[0].toObject();
    QCOMPARE(row[u"before"_s].toString(), u" KB"_s);
    QCOMPARE(row[u"after"_s].toString(), u"1 KB"_s);
    QCOMPARE(row[u"ratio"_s].toString(), QString());
    QCOMPARE(row[u"mark"_s].toString(), QString());
}

// A report too short for its summary line never borrows another drawing's summary.
void TestConvertJobCli::shortReportGivesAnEmptyMarkedSummary() {
    const CliRun run =
        convert(17, {u"--keep-report"_s, u"--json"_s, path(u"src/a.dwg"_s), path(u"src/b.dxf"_s)},
                {{u"ACADSIM_SHORT_REPORT"_s, u"b"_s}});
    QVERIFY2(run.exitCode == 0, qPrintable(run.err));
    const QJsonArray audits = json(run)[u"audits"_s].toArray();
    QCOMPARE(audits.size(), 2);
    QCOMPARE(audits[0].toObject()[u"summary"_s].toString(), zeroSummaryOf(17));
    const QJsonObject shortOne = audits[1].toObject();
    QCOMPARE(shortOne[u"summary"_s].toString(), QString());
    QCOMPARE(shortOne[u"errors"_s].toBool(), true);
    QCOMPARE(shortOne[u"reportKept"_s].toBool(), true);
    QVERIFY(QFile::exists(path(u"src/b.adt"_s)));
}

void TestConvertJobCli::stallLimitEndsTheProgram_data() {
    QTest::addColumn<QByteArray>("stored"); // the settings window's value, "" for none
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("message");
    const QString stalled =
        u"　1分間、次の図面が出力されないため、AutoCADを終了して変換を中止しました。　　　\r\n"_s;
    QTest::newRow("--stall-timeout")
        << QByteArray() << QStringList{u"--stall-timeout"_s, u"1"_s} << stalled;
    QTest::newRow("from the settings")
        << QByteArray("StallMinutes=1\r\n") << QStringList{} << stalled;
    // 0 lifts the stored limit: only the time limit ends the wait.
    QTest::newRow("--stall-timeout 0 over the settings")
        << QByteArray("StallMinutes=1\r\n")
        << QStringList{u"--stall-timeout"_s, u"0"_s, u"--timeout"_s, u"3"_s}
        << u"　制限時間（3秒）を過ぎたため、AutoCADを終了して変換を中止しました。　　　"_s;
}

// The simulator hangs on the first drawing, so no output ever comes: a limit of one minute,
// made 300 ms long for the test, ends the job naming that drawing, and AutoCAD with it.
void TestConvertJobCli::stallLimitEndsTheProgram() {
    QFETCH(QByteArray, stored);
    QFETCH(QStringList, args);
    QFETCH(QString, message);
    if (!stored.isEmpty())
        QVERIFY(writeFileBytes(m_folders.jobSettingsFile(), stored));
    const CliRun run =
        convert(41, args + QStringList{u"--json"_s, path(u"src/a.dwg"_s), path(u"src/b.dxf"_s)},
                {{u"ACADSIM_HANG"_s, u"a"_s}, {u"ORNVALE_TEST_STALL_MINUTE_MS"_s, u"300"_s}});
    QVERIFY2(run.exitCode == 1, qPrintable(run.err));
    const QJsonObject root = json(run);
    QCOMPARE(root[u"status"_s].toString(), u"aborted"_s);
    const QString expected = message.endsWith(u'\n') ? message + path(u"src/a.dwg"_s) : message;
    QCOMPARE(root[u"message"_s].toString(), expected);
    QCOMPARE(root[u"conversions"_s].toArray().size(), 0);
    QVERIFY(run.err.contains(QString(expected).replace(u"\r\n"_s, u"\n"_s)));
    QTRY_VERIFY(!simulatorStillRuns());
}

// A stall in a resumed job: the rows of what was written, conversions and audits alike, carry
// the numbers of the whole list, and a report without errors is deleted as after a whole job.
void TestConvertJobCli::stallInAResumedJobKeepsTheListsNumbers() {
    QVERIFY(writeFileBytes(path(u"src/c.dwg"_s), dwgBytes(4096)));
    QVERIFY(writeFileBytes(path(u"src/d.dwg"_s), dwgBytes(4096)));
    const QStringList sources{path(u"src/a.dwg"_s), path(u"src/c.dwg"_s), path(u"src/d.dwg"_s)};
    const QStringList options{u"--format"_s, u"dwg"_s, u"--audit"_s, u"--json"_s};
    CliRun run = convert(41, options + QStringList{sources[0]});
    QVERIFY2(run.exitCode == 0, qPrintable(run.err));

    run = convert(41, options + QStringList{u"--resume"_s, u"--stall-timeout"_s, u"1"_s} + sources,
                  {{u"ACADSIM_HANG"_s, u"d"_s}, {u"ORNVALE_TEST_STALL_MINUTE_MS"_s, u"300"_s}});
    QCOMPARE(run.exitCode, 1);
    const QJsonObject root = json(run);
    QCOMPARE(root[u"status"_s].toString(), u"aborted"_s);
    QVERIFY(root[u"message"_s].toString().endsWith(path(u"src/d.dwg"_s)));
    const QJsonArray rows = root[u"conversions"_s].toArray();
    QCOMPARE(rows.size(), 1);
    QCOMPARE(rows[0][u"number"_s].toInt(), 2);
    QCOMPARE(rows[0][u"source"_s].toString(), path(u"src/c.dwg"_s));
    const QJsonArray audits = root[u"audits"_s].toArray();
    QCOMPARE(audits.size(), 1);
    QCOMPARE(audits[0][u"number"_s].toInt(), 2);
    QCOMPARE(audits[0][u"summary"_s].toString(), zeroSummaryOf(41));
    QVERIFY(!QFile::exists(path(u"src/c.adt"_s)));
    QTRY_VERIFY(!simulatorStillRuns());
}

// A folder argument stands for the drawings in it and its subfolders, in path order.
void TestConvertJobCli::folderArgumentsBringTheirDrawings() {
    QVERIFY(writeFileBytes(path(u"set/2/c.dwg"_s), dwgBytes(3072)));
    QVERIFY(writeFileBytes(path(u"set/1/deep/d.dxf"_s), dxfBytes(2048)));
    QVERIFY(writeFileBytes(path(u"set/1.dwg"_s), dwgBytes(1024)));
    QVERIFY(writeFileBytes(path(u"set/2/list.csv"_s), "a,b"));
    const CliRun run = convert(41, {u"--format"_s, u"dwg"_s, u"--json"_s, path(u"set"_s)});
    QVERIFY2(run.exitCode == 0, qPrintable(run.err));
    QVERIFY2(!run.err.contains(u"list.csv"_s), qPrintable(run.err)); // left out without a word
    const QJsonArray rows = json(run)[u"conversions"_s].toArray();
    QCOMPARE(rows.size(), 2);
    QCOMPARE(rows[0].toObject()[u"number"_s].toInt(), 2);
    QCOMPARE(rows[0].toObject()[u"source"_s].toString(), path(u"set/1.dwg"_s));
    QCOMPARE(rows[1].toObject()[u"number"_s].toInt(), 3);
    QCOMPARE(rows[1].toObject()[u"source"_s].toString(), path(u"set/2/c.dwg"_s));
    QVERIFY(QFile::exists(path(u"out/d.dwg"_s)));

    // --script-out lists each drawing; a folder with none is refused by name.
    QVERIFY(QDir().mkpath(path(u"none"_s)));
    const CliRun script = convert(
        41, {u"--script-out"_s, path(u"s.scr"_s), u"--json"_s, path(u"none"_s), path(u"set/2"_s)});
    QCOMPARE(script.exitCode, 1);
    const QJsonArray files = json(script)[u"files"_s].toArray();
    QCOMPARE(files.size(), 2);
    QCOMPARE(files[0].toObject()[u"input"_s].toString(), path(u"none"_s));
    QCOMPARE(files[0].toObject()[u"status"_s].toString(), u"refused"_s);
    QCOMPARE(files[1].toObject()[u"input"_s].toString(), path(u"set/2/c.dwg"_s));
    QCOMPARE(files[1].toObject()[u"status"_s].toString(), u"listed"_s);
    QVERIFY2(script.err.endsWith(path(u"none"_s) +
                                 u" は、 \n\nDWG・DXFファイルが含まれていません。\n"_s),
             qPrintable(script.err));
}

QTEST_GUILESS_MAIN(TestConvertJobCli)
#include "TestConvertJobCli.moc"
