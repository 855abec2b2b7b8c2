#include "DrawingIdentifier.h"
#include "ProductGolden.h"
#include "ReleaseTokens.h"
#include "SimulatorJob.h"

#include <QJsonArray>
#include <QJsonDocument>

using namespace ornvale;
using namespace ornvale::test;
using namespace Qt::StringLiterals;

namespace {

const QString kZeroHalfWidth = u"検出ｴﾗｰ総数 0 修復数 0"_s;
const QString kZeroFullWidth = u"検出エラー総数 0 修復数 0"_s;

QString versionFor(const QString& token) {
    static const QHash<QString, QString> codes{{u"2007"_s, u"AC1021"_s}, {u"2004"_s, u"AC1018"_s},
                                               {u"2000"_s, u"AC1015"_s}, {u"R14"_s, u"AC1014"_s},
                                               {u"R13"_s, u"AC1012"_s},  {u"R12"_s, u"AC1009"_s}};
    return codes.value(token);
}

// The version code as the program identifies a dropped drawing.
QString identified(const QString& path) {
    const DrawingFormat format = path.endsWith(u".dxf"_s) ? DrawingFormat::Dxf : DrawingFormat::Dwg;
    return QString::fromLatin1(DrawingIdentifier::readVersionCode(path, format).value_or(""));
}

// The summary line as the job reads it: from the line count less the product's offset.
QString summaryOf(const QString& reportPath, int selectionCode) {
    const QByteArray bytes = readBytes(reportPath);
    const qsizetype lineNumber = bytes.count("\r\n") + 1;
    const qsizetype toRead = lineNumber - goldenProduct(selectionCode).auditSummaryOffset;
    const QStringList lines = Cp932Codec::decode(bytes).text.split(u"\r\n"_s);
    return toRead >= 1 ? lines.at(toRead - 1) : QString();
}

QList<PurgeItem> purgeItemsShownFor(int code) {
    const GoldenProduct& product = goldenProduct(code);
    QList<PurgeItem> items;
    for (PurgeItem item : allPurgeItems()) {
        const bool from2005 = item == PurgeItem::TableStyles || item == PurgeItem::RegApps;
        const bool from2007 = item == PurgeItem::Materials || item == PurgeItem::VisualStyles;
        if ((!from2005 || product.tableStylesAndRegApps) &&
            (!from2007 || product.materialsAndVisualStyles))
            items.append(item);
    }
    return items;
}

// The line number and text of a script line, as the simulator names it on stderr.
QString lineRef(const QStringList& lines, qsizetype index) {
    return u"line %1 \"%2\""_s.arg(index + 1).arg(lines.at(index));
}

} // namespace

class TestAcadSimulator : public QObject {
    Q_OBJECT
private slots:
    void everyProductRunsTheProgramsScripts_data();
    void everyProductRunsTheProgramsScripts();
    void readOnlyFilesAndExistingTargets();
    void sizeRuleGrowsShrinksAndKeeps();
    void stopsAtALineThatDoesNotAnswer_data();
    void stopsAtALineThatDoesNotAnswer();
    void refusesDrawingsItCannotOpen();
    void auditErrorsAndReportFaults();
    void missingOutput();
    void wrongReleaseWritten();
    void truncatedOutput();
    void crashBeforeTheMarker();
    void hangsWithoutAMarker();
    void delayAndArgumentsLog();
    void refusesBadStarts();
};

void TestAcadSimulator::everyProductRunsTheProgramsScripts_data() {
    QTest::addColumn<int>("code");
    QTest::addColumn<bool>("dxfOutput");
    QTest::addColumn<int>("index");
    // The whole job runs every product in both formats (the command line's job test); here one
    // product of each release generation, with and without the blank after close and in both
    // audit report styles, goes through every button it shows.
    for (int code : {41, 7, 5, 4}) {
        const GoldenProduct& p = goldenProduct(code);
        for (const QChar index : GoldenProduct::shown(p.dxfCaptions))
            QTest::addRow("%d dxf %c", code, index.toLatin1())
                << code << true << index.digitValue();
        for (const QChar index : GoldenProduct::shown(p.dwgCaptions))
            QTest::addRow("%d dwg %c", code, index.toLatin1())
                << code << false << index.digitValue();
    }
}

// Scripts of the real writer for every visible release button, with view, audit, purge and
// single-document options varied, run to the marker with every output and report in place.
void TestAcadSimulator::everyProductRunsTheProgramsScripts() {
    QFETCH(int, code);
    QFETCH(bool, dxfOutput);
    QFETCH(int, index);
    SimulatorJob job;
    const QString dxf = job.addDxf(u"r2000.dxf"_s, u"a.dxf"_s);
    const QString dwg = job.addDwg(u"図面.dwg"_s, "AC1014", 4096); // code page 932 in the script
    job.addDwg(u"c.Dwg"_s, "AC1009", 1000); // the writer's DXF-source variant for a DWG
    job.addDxf(u"r12.dxf"_s, u"d.DXF"_s);   // quit is answered "Y"
    ConversionOptions& options = job.inputs.options;
    options.outputFormat = dxfOutput ? OutputFormat::Dxf : OutputFormat::Dwg;
    options.dxfVersionIndex = index;
    options.dwgVersionIndex = index;
    options.viewMode = index % 3;
    options.audit = index != 1;
    options.auditFix = index == 2;
    options.purgeItems = index == 0 ? purgeItemsShownFor(code) : QList<PurgeItem>{};
    job.inputs.singleDocumentMode = index == 3 ? 1 : 0;
    const QList<ScriptTarget> targets = job.writeScript(static_cast<quint8>(code));
    QCOMPARE(targets.size(), 4);

    const SimResult result = job.run(code);
    QVERIFY2(result.exitCode == 0, qPrintable(result.err));
    QCOMPARE(result.err, QString());
    const quint8 selection = static_cast<quint8>(code);
    const QString token =
        dxfOutput ? dxfReleaseToken(selection, index) : dwgReleaseToken(selection, index);
    for (const ScriptTarget& target : targets)
        QCOMPARE(identified(target.targetPath), versionFor(token));
    // A same-format copy keeps the size of its source.
    const QString copy = dxfOutput ? targets[0].targetPath : targets[1].targetPath;
    QCOMPARE(QFileInfo(copy).size(), QFileInfo(dxfOutput ? dxf : dwg).size());
    for (const FileEntry& entry : job.inputs.files) {
        const QString report = entry.sourcePath.left(entry.sourcePath.size() - 4) + u".adt"_s;
        QCOMPARE(QFile::exists(report), options.audit);
        if (options.audit) {
            const QString summary = summaryOf(report, code);
            QVERIFY2(summary == kZeroHalfWidth || summary == kZeroFullWidth, qPrintable(summary));
        }
    }
    QCOMPARE(identified(job.inputs.markerPath), u"AC1015"_s);
}

void TestAcadSimulator::readOnlyFilesAndExistingTargets() {
    SimulatorJob job;
    const QString readOnlySource = job.addDwg(u"locked.dwg"_s, "AC1015", 600);
    job.addDwg(u"replaced.dwg"_s, "AC1015", 700);
    job.addDwg(u"kept.dwg"_s, "AC1015", 800);
    makeReadOnly(readOnlySource);
    QDir().mkpath(job.output(QString()));
    writeBytes(job.output(u"replaced.dwg"_s), "old");
    writeBytes(job.output(u"kept.dwg"_s), "read-only target");
    makeReadOnly(job.output(u"kept.dwg"_s));
    writeBytes(job.inputs.markerPath, "old marker");
    job.inputs.options.outputFormat = OutputFormat::Dwg;
    job.inputs.options.dwgVersionIndex = 0;
    const QList<ScriptTarget> targets = job.writeScript(17);
    QCOMPARE(targets[2].outputName, u"kept-COPY.dwg"_s);
    const QStringList lines = job.scriptLines();
    QVERIFY(lines.contains(u"y"_s)); // the read-only, overwrite and marker questions

    const SimResult result = job.run(17);
    QVERIFY2(result.exitCode == 0, qPrintable(result.err));
    for (qsizetype i = 0; i < targets.size(); ++i) {
        QCOMPARE(identified(targets[i].targetPath), u"AC1018"_s);
        QCOMPARE(QFileInfo(targets[i].targetPath).size(), 600 + 100 * i);
    }
    QCOMPARE(readBytes(job.output(u"kept.dwg"_s)), QByteArray("read-only target"));
    QCOMPARE(identified(job.inputs.markerPath), u"AC1015"_s);
}

void TestAcadSimulator::sizeRuleGrowsShrinksAndKeeps() {
    SimulatorJob job;
    job.addDwg(u"grow.dwg"_s, "AC1015", 10240);
    job.addDwg(u"shrink.dwg"_s, "AC1015", 10240);
    job.addDwg(u"same.dwg"_s, "AC1015", 10240);
    job.addDxf(u"r2000.dxf"_s, u"tiny.dxf"_s); // cut to 3 bytes: the version line stays
    job.inputs.options.outputFormat = OutputFormat::Dwg;
    const QList<ScriptTarget> dwgTargets = job.writeScript(41);
    const QMap<QString, QString> sizes{{u"ACADSIM_SIZE"_s, u"grow=150%;shrink=5120;tiny=3"_s}};
    SimResult result = job.run(41, sizes);
    QVERIFY2(result.exitCode == 0, qPrintable(result.err));
    QCOMPARE(QFileInfo(dwgTargets[0].targetPath).size(), 15360);
    QCOMPARE(QFileInfo(dwgTargets[1].targetPath).size(), 5120);
    QCOMPARE(QFileInfo(dwgTargets[2].targetPath).size(), 10240);
    QCOMPARE(identified(dwgTargets[1].targetPath), u"AC1021"_s);

    job.inputs.options.outputFormat = OutputFormat::Dxf;
    const QList<ScriptTarget> dxfTargets = job.writeScript(41);
    result = job.run(41, sizes);
    QVERIFY2(result.exitCode == 0, qPrintable(result.err));
    QCOMPARE(identified(dxfTargets[3].targetPath), u"AC1021"_s);
    QVERIFY(readBytes(dxfTargets[3].targetPath).endsWith("$ACADVER\r\n  1\r\nAC1021"));
}

void TestAcadSimulator::stopsAtALineThatDoesNotAnswer_data() {
    QTest::addColumn<int>("writtenFor");
    QTest::addColumn<int>("playedAs");
    QTest::addColumn<QString>("change"); // what is done to the written script or its files
    QTest::addColumn<QString>("badLine");
    QTest::addColumn<QString>("prompt");
    QTest::newRow("blank after close for a product that asks nothing")
        << 17 << 41 << QString() << QString() << u"Command:"_s;
    QTest::newRow("no blank for a product that waits for Enter")
        << 16 << 17 << QString() << u"_new"_s << u"Press ENTER to continue:"_s;
    QTest::newRow("hidden release button: no token")
        << 17 << 17 << u"dwg index 2"_s << u"\"%target\""_s << u"file format"_s;
    QTest::newRow("purge item the product lacks")
        << 17 << 17 << u"purge MA"_s << u"MA"_s << u"Enter type of unused objects"_s;
    QTest::newRow("target appeared after the script was written")
        << 41 << 41 << u"create target"_s << u"close"_s << u"replace it"_s;
    QTest::newRow("wrong answer to AUDIT")
        << 41 << 41 << u"AUDIT answer x"_s << u"x"_s << u"Fix any errors detected?"_s;
    QTest::newRow("script ends without quit")
        << 41 << 41 << u"drop quit"_s << QString() << u"\"Command:\", unanswered"_s;
    QTest::newRow("line feeds only") << 41 << 41 << u"LF"_s << QString() << u"Command:"_s;
}

// The simulator stops at the first line that does not answer its prompt, names the line and
// the prompt on stderr, and never reaches the marker.
void TestAcadSimulator::stopsAtALineThatDoesNotAnswer() {
    QFETCH(int, writtenFor);
    QFETCH(int, playedAs);
    QFETCH(QString, change);
    QFETCH(QString, badLine);
    QFETCH(QString, prompt);
    SimulatorJob job;
    job.addDwg(u"a.dwg"_s, "AC1015", 100);
    job.inputs.options.outputFormat = OutputFormat::Dwg;
    job.inputs.options.dwgVersionIndex = change == u"dwg index 2"_s ? 2 : 0;
    job.inputs.options.audit = change == u"AUDIT answer x"_s;
    if (change == u"purge MA"_s)
        job.inputs.options.purgeItems = {PurgeItem::Materials};
    const QList<ScriptTarget> targets = job.writeScript(static_cast<quint8>(writtenFor));
    QStringList lines = job.scriptLines();
    if (change == u"create target"_s)
        writeBytes(targets[0].targetPath, "made later");
    if (change == u"AUDIT answer x"_s)
        lines[lines.indexOf(u"AUDIT"_s) + 1] = u"x"_s;
    if (change == u"drop quit"_s)
        lines = lines.mid(0, lines.size() - 2);
    const QString separator = change == u"LF"_s ? u"\n"_s : u"\r\n"_s;
    writeBytes(job.inputs.scriptPath, Cp932Codec::encode(lines.join(separator) + separator).bytes);

    badLine.replace(u"%target"_s, targets[0].targetPath);
    QString named;
    if (change == u"drop quit"_s) {
        named = u"ends after line %1"_s.arg(lines.size());
    } else if (change == u"LF"_s) {
        named = u"line 1 \"SDI\n0\n"_s; // the whole file is one unended line
    } else {
        QVERIFY(lines.contains(badLine));
        named = lineRef(lines, lines.indexOf(badLine));
    }

    const SimResult result = job.run(playedAs);
    QCOMPARE(result.exitCode, 1);
    QVERIFY2(result.err.contains(named), qPrintable(result.err));
    QVERIFY2(result.err.contains(prompt), qPrintable(result.err));
    // Without quit the marker was saved all the same.
    QCOMPARE(job.markerExists(), change == u"drop quit"_s);
}

void TestAcadSimulator::refusesDrawingsItCannotOpen() {
    SimulatorJob job;
    job.addDxf(u"r2000.dxf"_s, u"first.dxf"_s);
    const QString newer = job.addDxf(u"r2007.dxf"_s, u"newer.dxf"_s);
    const QList<ScriptTarget> targets = job.writeScript(17);
    SimResult result = job.run(17);
    QCOMPARE(result.exitCode, 3);
    QVERIFY2(result.err.contains(newer) && result.err.contains(u"AC1021"_s),
             qPrintable(result.err));
    QVERIFY(QFile::exists(targets[0].targetPath));
    QVERIFY(!QFile::exists(targets[1].targetPath));
    QVERIFY(!job.markerExists());

    // Written again: the first output exists now and its overwrite question is answered.
    QVERIFY(QFile::remove(newer));
    job.writeScript(17);
    result = job.run(17);
    QCOMPARE(result.exitCode, 3);
    QVERIFY2(result.err.contains(u"cannot find the drawing "_s + newer), qPrintable(result.err));

    result = job.run(17, {{u"ACADSIM_FAIL_OPEN"_s, u"first"_s}});
    QCOMPARE(result.exitCode, 3);
    QVERIFY2(result.err.contains(job.source(u"first.dxf"_s)), qPrintable(result.err));
    QVERIFY(!job.markerExists());
}

void TestAcadSimulator::auditErrorsAndReportFaults() {
    SimulatorJob job;
    const QString a = job.addDwg(u"a.dwg"_s, "AC1015", 100);
    const QString b = job.addDwg(u"b.dwg"_s, "AC1015", 100);
    const QString c = job.addDwg(u"c.dwg"_s, "AC1015", 100);
    const QString d = job.addDwg(u"d.dwg"_s, "AC1015", 100);
    const auto report = [](const QString& path) { return path.chopped(4) + u".adt"_s; };
    job.inputs.options.audit = true;
    const QMap<QString, QString> faults{{u"ACADSIM_AUDIT_ERRORS"_s, u"a=2;b.dwg=1"_s},
                                        {u"ACADSIM_NO_REPORT"_s, u"c"_s},
                                        {u"ACADSIM_SHORT_REPORT"_s, d}};
    for (const bool fix : {true, false}) {
        for (const int code : {41, 7}) {
            job.inputs.options.auditFix = fix;
            job.writeScript(static_cast<quint8>(code));
            const SimResult result = job.run(code, faults);
            QVERIFY2(result.exitCode == 0, qPrintable(result.err));
            const QString errors = code == 7 ? u"検出ｴﾗｰ総数"_s : u"検出エラー総数"_s;
            QCOMPARE(summaryOf(report(a), code),
                     u"%1 2 修復数 %2"_s.arg(errors, fix ? u"2" : u"0"));
            QCOMPARE(summaryOf(report(b), code),
                     u"%1 1 修復数 %2"_s.arg(errors, fix ? u"1" : u"0"));
            QVERIFY(!QFile::exists(report(c)));
            // One line: shorter than the offset the job counts back.
            QCOMPARE(readBytes(report(d)).count("\r\n"), 1);
            QCOMPARE(summaryOf(report(d), code), QString());
        }
    }
}

void TestAcadSimulator::missingOutput() {
    SimulatorJob job;
    job.addDwg(u"a.dwg"_s, "AC1015", 100);
    job.addDwg(u"b.dwg"_s, "AC1015", 100);
    const QList<ScriptTarget> targets = job.writeScript(41);
    const SimResult result = job.run(41, {{u"ACADSIM_NO_OUTPUT"_s, u"a.dwg"_s}});
    QVERIFY2(result.exitCode == 0, qPrintable(result.err));
    QVERIFY(!QFile::exists(targets[0].targetPath));
    QVERIFY(QFile::exists(targets[1].targetPath));
    QVERIFY(job.markerExists());
}

// The named drawing's output carries the given code whatever release was chosen, in either
// format; the others and the marker are written as chosen.
void TestAcadSimulator::wrongReleaseWritten() {
    SimulatorJob job;
    job.addDwg(u"a.dwg"_s, "AC1015", 100);
    job.addDwg(u"b.dwg"_s, "AC1015", 100);
    job.inputs.options.outputFormat = OutputFormat::Dwg;
    job.inputs.options.dwgVersionIndex = 1; // 2004
    QList<ScriptTarget> targets = job.writeScript(41);
    const QMap<QString, QString> wrong{{u"ACADSIM_WRONG_RELEASE"_s, u"a=AC1014"_s}};
    SimResult result = job.run(41, wrong);
    QVERIFY2(result.exitCode == 0, qPrintable(result.err));
    QCOMPARE(identified(targets[0].targetPath), u"AC1014"_s);
    QCOMPARE(QFileInfo(targets[0].targetPath).size(), 100);
    QCOMPARE(identified(targets[1].targetPath), u"AC1018"_s);

    job.inputs.options.outputFormat = OutputFormat::Dxf; // a new drawing of the other format
    targets = job.writeScript(41);
    result = job.run(41, wrong);
    QVERIFY2(result.exitCode == 0, qPrintable(result.err));
    QCOMPARE(identified(targets[0].targetPath), u"AC1014"_s);
    QVERIFY(readBytes(targets[0].targetPath).endsWith("  0\r\nEOF\r\n"));
    QCOMPARE(identified(targets[1].targetPath), u"AC1021"_s);
    QCOMPARE(identified(job.inputs.markerPath), u"AC1015"_s);

    result = job.run(41, {{u"ACADSIM_WRONG_RELEASE"_s, u"a=R14"_s}});
    QCOMPARE(result.exitCode, 2);
    QVERIFY2(result.err.contains(u"ACADSIM_WRONG_RELEASE"_s), qPrintable(result.err));
}

// A cut DWG is empty; a cut DXF keeps its version but loses its end, also when it is saved
// again on close. The script goes on and the marker is whole.
void TestAcadSimulator::truncatedOutput() {
    SimulatorJob job;
    job.addDwg(u"a.dwg"_s, "AC1015", 100);
    job.addDxf(u"r2000.dxf"_s, u"b.dxf"_s);
    job.inputs.options.outputFormat = OutputFormat::Dwg;
    QList<ScriptTarget> targets = job.writeScript(41);
    const QMap<QString, QString> cut{{u"ACADSIM_TRUNCATE"_s, u"*"_s}};
    SimResult result = job.run(41, cut);
    QVERIFY2(result.exitCode == 0, qPrintable(result.err));
    QVERIFY(QFile::exists(targets[0].targetPath));
    QCOMPARE(QFileInfo(targets[0].targetPath).size(), 0);
    QCOMPARE(QFileInfo(targets[1].targetPath).size(), 0);

    job.inputs.options.outputFormat = OutputFormat::Dxf;
    targets = job.writeScript(41);
    result = job.run(41, cut);
    QVERIFY2(result.exitCode == 0, qPrintable(result.err));
    for (const ScriptTarget& target : targets) {
        const QByteArray bytes = readBytes(target.targetPath);
        QVERIFY2(bytes.endsWith("$ACADVER\r\n  1\r\nAC1021\r\n"), bytes.right(40).constData());
    }
    QVERIFY(readBytes(job.inputs.markerPath).endsWith("  0\r\nEOF\r\n"));
}

void TestAcadSimulator::crashBeforeTheMarker() {
    SimulatorJob job;
    job.addDwg(u"a.dwg"_s, "AC1015", 100);
    job.addDwg(u"b.dwg"_s, "AC1015", 100);
    const QList<ScriptTarget> targets = job.writeScript(21);
    SimResult result = job.run(21, {{u"ACADSIM_CRASH"_s, u"1"_s}});
    QCOMPARE(result.exitCode, 4);
    QVERIFY2(result.err.contains(u"_new"_s), qPrintable(result.err));
    QVERIFY(QFile::exists(targets[1].targetPath));
    QVERIFY(!job.markerExists());

    QVERIFY(QFile::remove(targets[1].targetPath));
    job.writeScript(21);
    result = job.run(21, {{u"ACADSIM_CRASH"_s, u"b"_s}});
    QCOMPARE(result.exitCode, 4);
    QVERIFY(!QFile::exists(targets[1].targetPath));
    QVERIFY(!job.markerExists());
}

void TestAcadSimulator::hangsWithoutAMarker() {
    SimulatorJob job;
    job.addDwg(u"a.dwg"_s, "AC1015", 100);
    const QList<ScriptTarget> targets = job.writeScript(41);
    const QString transcript = job.native(u"transcript.txt"_s);
    QProcess process;
    process.setProcessEnvironment(simulatorEnvironment(
        41, {{u"ACADSIM_HANG"_s, u"marker"_s}, {u"ACADSIM_TRANSCRIPT"_s, transcript}}));
    process.start(simulatorPath(), {u"/b"_s, job.inputs.scriptPath});
    QTRY_VERIFY_WITH_TIMEOUT(readBytes(transcript).contains("hangs at line"), 30000);
    QCOMPARE(process.state(), QProcess::Running);
    QVERIFY(QFile::exists(targets[0].targetPath));
    QVERIFY(!job.markerExists());
    process.kill();
    QVERIFY(process.waitForFinished(30000));
}

void TestAcadSimulator::delayAndArgumentsLog() {
    SimulatorJob job;
    job.addDwg(u"a.dwg"_s, "AC1015", 100);
    job.addDwg(u"b.dwg"_s, "AC1015", 100);
    job.writeScript(41);
    const QString log = job.native(u"args.json"_s);
    const QString transcript = job.native(u"transcript.txt"_s);
    const SimResult result = job.run(41, {{u"ACADSIM_DELAY_MS"_s, u"5"_s},
                                          {u"ACADSIM_ARGS_LOG"_s, log},
                                          {u"ACADSIM_TRANSCRIPT"_s, transcript}});
    QVERIFY2(result.exitCode == 0, qPrintable(result.err));
    QCOMPARE(readBytes(transcript).count("waits 5 ms"), 2);
    const QJsonArray arguments = QJsonDocument::fromJson(readBytes(log)).array();
    QCOMPARE(arguments.toVariantList(), QVariantList({u"/b"_s, job.inputs.scriptPath}));
}

void TestAcadSimulator::refusesBadStarts() {
    SimulatorJob job;
    job.addDwg(u"a.dwg"_s, "AC1015", 100);
    job.writeScript(41);
    const QString log = job.native(u"args.json"_s);
    // One argument holding switch and path, as an unsplit command line would give.
    SimResult result = runSimulator({u"/b "_s + job.inputs.scriptPath},
                                    simulatorEnvironment(41, {{u"ACADSIM_ARGS_LOG"_s, log}}));
    QCOMPARE(result.exitCode, 2);
    QVERIFY2(result.err.contains(u"usage"_s), qPrintable(result.err));
    QCOMPARE(QJsonDocument::fromJson(readBytes(log)).array().size(), 1);
    result = job.run(20);
    QCOMPARE(result.exitCode, 2);
    QVERIFY2(result.err.contains(u"ACADSIM_SELECTION"_s), qPrintable(result.err));
    result = job.run(41, {{u"ACADSIM_AUDIT_ERRORS"_s, u"a=many"_s}});
    QCOMPARE(result.exitCode, 2);
    QVERIFY(!job.markerExists());
}

QTEST_GUILESS_MAIN(TestAcadSimulator)
#include "TestAcadSimulator.moc"
