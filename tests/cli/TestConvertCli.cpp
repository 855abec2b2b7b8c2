#include "CliProcess.h"
#include "FileSystemProbe.h"
#include "ProgramFolders.h"
#include "ScriptWriter.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace ornvale;
using ornvale::test::CliRun;
using ornvale::test::runCli;
using namespace Qt::StringLiterals;

// Runs the real ornvale-cli with its folders in a temporary home.
class TestConvertCli : public QObject {
    Q_OBJECT
private slots:
    void init();
    void scriptOutMatchesTheWriter_data();
    void scriptOutMatchesTheWriter();
    void usageErrors_data();
    void usageErrors();
    void unlistedFilesAreReportedAndLeftOut();
    void anOldMarkerIsNeitherAnsweredNorDeleted();
    void help();

private:
    CliRun run(const QStringList& args);
    QString makeDrawing(const QString& name, const QByteArray& version);
    QString path(const QString& name) const {
        return QDir::toNativeSeparators(m_home->filePath(name));
    }

    std::unique_ptr<QTemporaryDir> m_home;
    test::ProgramFolders m_folders;
};

void TestConvertCli::init() {
    m_home = std::make_unique<QTemporaryDir>();
    QVERIFY(m_home->isValid());
    m_folders = test::programFolders(*m_home);
    test::clearProgramFolders(m_folders);
}

CliRun TestConvertCli::run(const QStringList& args) {
    return runCli(*m_home, QStringLiteral("convert"), args);
}

// A DWG's first line or a DXF's eighth line carries the version code.
QString TestConvertCli::makeDrawing(const QString& name, const QByteArray& version) {
    QFile file(m_home->filePath(name));
    if (!file.open(QIODevice::WriteOnly))
        return {};
    if (name.endsWith(u"dxf"_s, Qt::CaseInsensitive))
        file.write("  0\r\nSECTION\r\n  2\r\nHEADER\r\n  9\r\n$ACADVER\r\n  1\r\n" + version +
                   "\r\n  0\r\nENDSEC\r\n  0\r\nEOF\r\n");
    else
        file.write(version + QByteArray(64, '\x01'));
    return path(name);
}

void TestConvertCli::scriptOutMatchesTheWriter_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("selection");
    QTest::addColumn<int>("singleDocument");
    QTest::addColumn<ConversionOptions>("options");

    ConversionOptions defaults;
    QTest::newRow("defaults") << QStringList{} << 41 << 0 << defaults;

    ConversionOptions worked;
    worked.outputFormat = OutputFormat::Dwg;
    worked.dwgVersionIndex = 1;
    worked.viewMode = 1;
    worked.audit = worked.auditFix = true;
    worked.purgeItems = {PurgeItem::Blocks, PurgeItem::Layers};
    QTest::newRow("dwg, release 1, zoom all, fix, two purge items")
        << QStringList{u"--format"_s, u"dwg"_s,   u"--release=1"_s, u"--view"_s,
                       u"all"_s,      u"--fix"_s, u"--purge"_s,     u"LA,B"_s}
        << 17 << 0 << worked;

    ConversionOptions all;
    all.dxfVersionIndex = 3;
    all.viewMode = 2;
    all.audit = all.keepAuditReport = true;
    all.purgeItems = {PurgeItem::All, PurgeItem::TableStyles};
    QTest::newRow("the eighth item turns into all; report implies audit")
        << QStringList{u"--purge"_s,  u"B,LA,LT,SH,T"_s, u"--purge"_s,
                       u"P,D,ST,M"_s, u"--release"_s,    u"3"_s,
                       u"--view"_s,   u"extents"_s,      u"--keep-report"_s}
        << 21 << 1 << all;
}

void TestConvertCli::scriptOutMatchesTheWriter() {
    QFETCH(QStringList, args);
    QFETCH(int, selection);
    QFETCH(int, singleDocument);
    QFETCH(ConversionOptions, options);
    const QString dwg = makeDrawing(u"plan.dwg"_s, "AC1018");
    const QString dxf = makeDrawing(u"図面.dxf"_s, "AC1015");
    const QString script = path(u"scripts/out.scr"_s);
    QVERIFY(QDir().mkpath(m_home->filePath(u"scripts"_s)));
    const QString output = path(u"出力"_s);

    const CliRun result =
        run(args + QStringList{u"--selection"_s, QString::number(selection), u"--output"_s, output,
                               u"--single-document"_s, QString::number(singleDocument),
                               u"--script-out"_s, script, dwg, dxf});
    QVERIFY2(result.exitCode == 0, qPrintable(result.err));
    // No product is installed here, but a selection given is no detection: start-up has
    // nothing to say about it.
    QCOMPARE(result.err, QString());
    QVERIFY(QFileInfo(output).isDir());

    ScriptInputs inputs;
    inputs.options = options;
    inputs.files = {{u" plan.dwg"_s, dwg}, {u" 図面.dxf"_s, dxf}};
    inputs.outputFolder = output;
    inputs.selectionCode = static_cast<quint8>(selection);
    inputs.singleDocumentMode = static_cast<quint8>(singleDocument);
    inputs.markerPath = ScriptWriter::markerPathIn(m_folders.appData);
    SystemFileSystemProbe probe;
    const ScriptText expected = ScriptWriter(probe).compose(inputs);
    QVERIFY(expected.ok());
    QFile written(script);
    QVERIFY(written.open(QIODevice::ReadOnly));
    QCOMPARE(written.readAll(), ScriptWriter::encode(expected.lines, nullptr));
}

void TestConvertCli::usageErrors_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("named");
    const QString script = u"--script-out=s.scr"_s;
    QTest::newRow("unknown option")
        << QStringList{u"--frobnicate"_s, script, u"a.dwg"_s} << u"--frobnicate"_s;
    QTest::newRow("unknown short option") << QStringList{u"-x"_s, script, u"a.dwg"_s} << u"-x"_s;
    QTest::newRow("bad format") << QStringList{u"--format"_s, u"pdf"_s, script, u"a.dwg"_s}
                                << u"--format"_s;
    QTest::newRow("release out of range")
        << QStringList{u"--release"_s, u"4"_s, script, u"a.dwg"_s} << u"--release"_s;
    QTest::newRow("release hidden for 2006")
        << QStringList{u"--selection"_s, u"17"_s, u"--release"_s, u"3"_s, script, u"a.dwg"_s}
        << u"--release"_s;
    QTest::newRow("dwg release 2 hidden for 2006")
        << QStringList{u"--selection"_s, u"17"_s, u"--format"_s, u"dwg"_s,
                       u"--release"_s,   u"2"_s,  script,        u"a.dwg"_s}
        << u"--release"_s;
    QTest::newRow("materials hidden for 2006")
        << QStringList{u"--selection"_s, u"17"_s, u"--purge"_s, u"B,MA"_s, script, u"a.dwg"_s}
        << u"--purge"_s;
    QTest::newRow("unknown purge code")
        << QStringList{u"--purge"_s, u"X"_s, script, u"a.dwg"_s} << u"--purge"_s;
    QTest::newRow("unknown selection")
        << QStringList{u"--selection"_s, u"8"_s, script, u"a.dwg"_s} << u"--selection"_s;
    QTest::newRow("missing value") << QStringList{u"a.dwg"_s, u"--output"_s} << u"--output"_s;
    QTest::newRow("no file") << QStringList{script} << u"FILE"_s;
}

void TestConvertCli::usageErrors() {
    QFETCH(QStringList, args);
    QFETCH(QString, named);
    const CliRun result = run(args);
    QCOMPARE(result.exitCode, 2);
    QVERIFY2(result.err.contains(named), qPrintable(result.err));
    QVERIFY(!QFile::exists(m_home->filePath(u"s.scr"_s)));
}

// The job deletes an old marker before writing, so its script never answers the marker's
// overwrite question; --script-out gives those bytes but leaves the marker alone.
void TestConvertCli::anOldMarkerIsNeitherAnsweredNorDeleted() {
    const QString dwg = makeDrawing(u"plan.dwg"_s, "AC1018");
    QVERIFY(QDir().mkpath(m_folders.appData));
    const QString marker = ScriptWriter::markerPathIn(m_folders.appData);
    QFile old(marker);
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.close();
    const QString script = path(u"s.scr"_s);
    const CliRun result = run({u"--selection"_s, u"17"_s, u"--script-out"_s, script, dwg});
    QVERIFY2(result.exitCode == 0, qPrintable(result.err));
    QFile written(script);
    QVERIFY(written.open(QIODevice::ReadOnly));
    const QByteArray bytes = written.readAll();
    const QByteArray quotedMarker = '"' + marker.toUtf8() + '"';
    QVERIFY(bytes.endsWith(quotedMarker + "\r\nquit\r\ny\r\n"));
    QVERIFY(QFile::exists(marker));
}

void TestConvertCli::unlistedFilesAreReportedAndLeftOut() {
    const QString good = makeDrawing(u"good.dwg"_s, "AC1018");
    const QString tooNew = makeDrawing(u"new.dxf"_s, "AC1021");
    const QString notes = makeDrawing(u"notes.txt"_s, "text");
    const QString script = path(u"s.scr"_s);
    const CliRun result = run(
        {u"--selection"_s, u"17"_s, u"--json"_s, u"--script-out"_s, script, good, tooNew, notes});
    QCOMPARE(result.exitCode, 1);
    QVERIFY2(result.err.contains(tooNew + u" は、 "_s), qPrintable(result.err));
    QVERIFY2(result.err.contains(notes), qPrintable(result.err));
    QFile written(script);
    QVERIFY(written.open(QIODevice::ReadOnly));
    const QByteArray bytes = written.readAll();
    QVERIFY(bytes.contains(good.toUtf8()));
    QVERIFY(!bytes.contains("new.dxf"));
    QVERIFY(result.out.contains(u"\"status\":\"refused\""_s));
    QVERIFY(result.out.contains(u"\"sameFormat\":false"_s)); // DWG to the default DXF
}

void TestConvertCli::help() {
    const CliRun result = run({u"--help"_s});
    QCOMPARE(result.exitCode, 0);
    QVERIFY(result.out.contains(u"--script-out FILE"_s));
}

QTEST_GUILESS_MAIN(TestConvertCli)
#include "TestConvertCli.moc"
