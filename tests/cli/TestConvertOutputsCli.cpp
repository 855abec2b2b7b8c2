#include "CliProcess.h"
#include "ProgramFolders.h"
#include "convert/JobFixture.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

using namespace ornvale::test;
using namespace Qt::StringLiterals;

// `convert` reads every output back (--json "version", "versionOk", "outputs"; the exit code),
// and `convert --resume` converts only what is missing or failed; the real ornvale-cli on the
// AutoCAD simulator.
class TestConvertOutputsCli : public QObject {
    Q_OBJECT
private slots:
    void init();
    void outputsAreReadBack();
    void everyOutputGoodExitsZero();
    void resumeConvertsOnlyWhatIsLeft();
    void resumeWithNothingLeftStartsNothing();

private:
    QString path(const QString& name) const {
        return QDir::toNativeSeparators(m_home->filePath(name));
    }
    QStringList sources() const {
        return {path(u"src/a.dwg"_s), path(u"src/b.dwg"_s), path(u"src/c.dxf"_s)};
    }
    CliRun convert(const QStringList& args, QMap<QString, QString> env = {});
    QStringList openedByScript() const;

    std::unique_ptr<QTemporaryDir> m_home;
    ProgramFolders m_folders;
};

void TestConvertOutputsCli::init() {
    m_home = std::make_unique<QTemporaryDir>();
    QVERIFY(m_home->isValid());
    m_folders = programFolders(*m_home);
    clearProgramFolders(m_folders);
    QVERIFY(writeFileBytes(path(u"src/a.dwg"_s), dwgBytes(10240)));
    QVERIFY(writeFileBytes(path(u"src/b.dwg"_s), dwgBytes(4096)));
    QVERIFY(writeFileBytes(path(u"src/c.dxf"_s), dxfBytes(8192)));
}

// AutoCAD 2007, DWG release 2004 (AC1018).
CliRun TestConvertOutputsCli::convert(const QStringList& args, QMap<QString, QString> env) {
    env.insert(u"ACADSIM_SELECTION"_s, u"41"_s);
    return runCli(*m_home, u"convert"_s,
                  QStringList{u"--selection"_s, u"41"_s, u"--acad"_s, simulatorExecutable(),
                              u"--output"_s, path(u"out"_s), u"--format"_s, u"dwg"_s,
                              u"--release"_s, u"1"_s, u"--json"_s} +
                      args,
                  env);
}

QStringList TestConvertOutputsCli::openedByScript() const {
    QFile file(m_folders.scriptFile());
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QList<QByteArray> lines = file.readAll().split('\n');
    QStringList opened;
    for (qsizetype i = 0; i + 1 < lines.size(); ++i) {
        if (lines[i] == "open\r")
            opened.append(
                QFileInfo(QString::fromLocal8Bit(lines[i + 1].trimmed().mid(1).chopped(1)))
                    .fileName());
    }
    return opened;
}

// a saved as 2000, c (no grid row) cut short: both fail, b passes; the job completed, but the
// command fails, and the window's list of c is on stderr.
void TestConvertOutputsCli::outputsAreReadBack() {
    const CliRun run = convert(
        sources(), {{u"ACADSIM_WRONG_RELEASE"_s, u"a=AC1015"_s}, {u"ACADSIM_TRUNCATE"_s, u"c"_s}});
    QCOMPARE(run.exitCode, 1);
    const QJsonObject root = QJsonDocument::fromJson(run.outBytes).object();
    QCOMPARE(root[u"status"_s].toString(), u"completed"_s);
    const QJsonArray rows = root[u"conversions"_s].toArray();
    QCOMPARE(rows.size(), 2);
    QCOMPARE(rows[0][u"version"_s].toString(), u"AC1015"_s);
    QCOMPARE(rows[0][u"versionOk"_s].toBool(), false);
    QCOMPARE(rows[1][u"version"_s].toString(), u"AC1018"_s);
    QCOMPARE(rows[1][u"versionOk"_s].toBool(), true);

    const QJsonArray outputs = root[u"outputs"_s].toArray();
    QCOMPARE(outputs.size(), 3);
    QCOMPARE(outputs[2][u"number"_s].toInt(), 3);
    QCOMPARE(outputs[2][u"name"_s].toString(), u"c.dwg"_s);
    QCOMPARE(outputs[2][u"source"_s].toString(), path(u"src/c.dxf"_s));
    QCOMPARE(outputs[2][u"output"_s].toString(), path(u"out/c.dwg"_s));
    QCOMPARE(outputs[2][u"version"_s].toString(), QString());
    QCOMPARE(outputs[2][u"versionOk"_s].toBool(), false);
    QCOMPARE(outputs[2][u"finding"_s].toString(), u"出力ファイルが空です。"_s);
    QCOMPARE(outputs[0][u"versionOk"_s].toBool(), false);
    QCOMPARE(outputs[1][u"versionOk"_s].toBool(), true);
    QCOMPARE(outputs[1][u"kept"_s].toBool(), false);
    QVERIFY2(run.err.contains(u"次の図面の出力は、指定したリリースの完全な図面ではありません。"_s),
             qPrintable(run.err));
    QVERIFY2(run.err.contains(path(u"out/c.dwg"_s)), qPrintable(run.err));
    QVERIFY2(!run.err.contains(path(u"out/a.dwg"_s)), qPrintable(run.err)); // a has its row

    // The table shows what was found at the end of the row.
    const CliRun table = runCli(
        *m_home, u"convert"_s,
        {u"--selection"_s, u"41"_s, u"--acad"_s, simulatorExecutable(), u"--output"_s,
         path(u"out"_s), u"--format"_s, u"dwg"_s, u"--release"_s, u"1"_s, path(u"src/a.dwg"_s)},
        {{u"ACADSIM_SELECTION"_s, u"41"_s}, {u"ACADSIM_WRONG_RELEASE"_s, u"a=AC1015"_s}});
    QCOMPARE(table.exitCode, 1);
    QVERIFY2(
        table.out.contains(
            u"\t100%\t\t出力ファイルのバージョンは AC1015 です（指定したリリースは AC1018）。\n"_s),
        qPrintable(table.out));
}

void TestConvertOutputsCli::everyOutputGoodExitsZero() {
    const CliRun run = convert(sources());
    QCOMPARE(run.exitCode, 0);
    const QJsonArray outputs =
        QJsonDocument::fromJson(run.outBytes).object()[u"outputs"_s].toArray();
    QCOMPARE(outputs.size(), 3);
    for (const QJsonValue& output : outputs) {
        QCOMPARE(output[u"version"_s].toString(), u"AC1018"_s);
        QVERIFY(output[u"versionOk"_s].toBool());
    }
}

// A first run leaves b unwritten (the job fails) and saves c as the wrong release. The second,
// with --resume, converts b and c only; a's output is kept and listed as kept. An output older
// than its drawing is converted again.
void TestConvertOutputsCli::resumeConvertsOnlyWhatIsLeft() {
    CliRun run = convert(
        sources(), {{u"ACADSIM_NO_OUTPUT"_s, u"b"_s}, {u"ACADSIM_WRONG_RELEASE"_s, u"c=AC1014"_s}});
    QCOMPARE(run.exitCode, 1);
    QCOMPARE(QJsonDocument::fromJson(run.outBytes).object()[u"status"_s].toString(), u"failed"_s);
    const QString a = path(u"out/a.dwg"_s);
    const QDateTime aWritten = QFileInfo(a).lastModified();

    run = convert(QStringList{u"--resume"_s} + sources());
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(openedByScript(), (QStringList{u"b.dwg"_s, u"c.dxf"_s}));
    QCOMPARE(QFileInfo(a).lastModified(), aWritten);
    QVERIFY2(run.err.contains(u"1 of 3 drawings already converted"_s), qPrintable(run.err));
    const QJsonObject root = QJsonDocument::fromJson(run.outBytes).object();
    const QJsonArray rows = root[u"conversions"_s].toArray();
    QCOMPARE(rows.size(), 1);
    QCOMPARE(rows[0][u"number"_s].toInt(), 2);
    QCOMPARE(rows[0][u"name"_s].toString(), u"b.dwg"_s);
    const QJsonArray outputs = root[u"outputs"_s].toArray();
    QCOMPARE(outputs.size(), 3);
    QList<bool> kept;
    for (const QJsonValue& output : outputs) {
        kept.append(output[u"kept"_s].toBool());
        QVERIFY(output[u"versionOk"_s].toBool());
    }
    QCOMPARE(kept, (QList<bool>{true, false, false}));
    QCOMPARE(outputs[2][u"number"_s].toInt(), 3);

    // a's drawing changes after its output was written.
    QFile source(path(u"src/a.dwg"_s));
    QVERIFY(source.open(QIODevice::ReadWrite));
    QVERIFY(source.setFileTime(QDateTime::currentDateTime().addSecs(3600),
                               QFileDevice::FileModificationTime));
    source.close();
    run = convert(QStringList{u"--resume"_s} + sources());
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(openedByScript(), QStringList{u"a.dwg"_s});
}

void TestConvertOutputsCli::resumeWithNothingLeftStartsNothing() {
    QCOMPARE(convert(sources()).exitCode, 0);
    const QString log = path(u"args.json"_s);
    const CliRun run =
        convert(QStringList{u"--resume"_s} + sources(), {{u"ACADSIM_ARGS_LOG"_s, log}});
    QCOMPARE(run.exitCode, 0);
    QVERIFY(!QFile::exists(log));
    const QJsonObject root = QJsonDocument::fromJson(run.outBytes).object();
    QCOMPARE(root[u"status"_s].toString(), u"completed"_s);
    QCOMPARE(root[u"outputs"_s].toArray().size(), 3);
    QVERIFY(root[u"outputs"_s].toArray()[0][u"kept"_s].toBool());
    QVERIFY2(run.err.contains(u"3 of 3 drawings already converted"_s), qPrintable(run.err));
}

QTEST_GUILESS_MAIN(TestConvertOutputsCli)
#include "TestConvertOutputsCli.moc"
