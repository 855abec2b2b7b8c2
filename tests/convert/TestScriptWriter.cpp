#include "Cp932Codec.h"
#include "FileSystemProbe.h"
#include "ProductGolden.h"
#include "ReleaseTokens.h"
#include "ScriptWriter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

using namespace ornvale;
using ornvale::test::GoldenProduct;
using ornvale::test::goldenProducts;
using namespace Qt::StringLiterals;

namespace {

// A file system of listed paths with their attribute values.
class FakeProbe : public FileSystemProbe {
public:
    QHash<QString, int> attributes;
    bool exists(const QString& path) override { return attributes.contains(path); }
    std::optional<int> attributeValue(const QString& path) override {
        if (!attributes.contains(path))
            return std::nullopt;
        return attributes.value(path);
    }
};

const QString kOut = QStringLiteral("/out");
const QString kMarker = QStringLiteral("/appdata/10000.dxf");

QString native(const QString& name) {
    return kOut + QDir::separator() + name;
}

QString quoted(const QString& path) {
    return QLatin1Char('"') + path + QLatin1Char('"');
}

FileEntry entry(const QString& sourcePath) {
    return {QLatin1Char(' ') + QFileInfo(sourcePath).fileName(), sourcePath};
}

ScriptInputs inputs(OutputFormat format, quint8 code, const QStringList& sources) {
    ScriptInputs in;
    in.options.outputFormat = format;
    in.selectionCode = code;
    in.outputFolder = kOut;
    in.markerPath = kMarker;
    in.scriptPath = QStringLiteral("/scripts/scriptC.scr");
    for (const QString& source : sources)
        in.files.append(entry(source));
    return in;
}

// The lines of the save block of a one-file script without view, audit or purge.
QStringList saveBlockOf(const QStringList& lines) {
    const qsizetype start = lines.at(4) == QLatin1String("y") ? 5 : 4; // SDI 0 open "path" [y]
    const qsizetype trailer = 10;
    return lines.mid(start, lines.size() - start - trailer);
}

QStringList split(const char* text) {
    return QString::fromUtf8(text).split(QLatin1Char('|'));
}

void makeFile(const QString& path, bool readOnly) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("0\r\n");
    file.close();
    if (readOnly)
        QVERIFY(file.setPermissions(QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
}

} // namespace

class TestScriptWriter : public QObject {
    Q_OBJECT
private slots:
    void workedExampleByteForByte();
    void saveBlockVariants_data();
    void saveBlockVariants();
    void releaseTokens_data();
    void releaseTokens();
    void readOnlySourceAnswer_data();
    void readOnlySourceAnswer();
    void copyTarget_data();
    void copyTarget();
    void trailer_data();
    void trailer();
    void purgeBlocksInFixedOrder();
    void auditWithoutFixAnswersNo();
    void refusesWhatNoScriptLineCanCarry_data();
    void refusesWhatNoScriptLineCanCarry();
    void unwritableScriptIsReported();
    void uncreatableOutputFolderIsReported();
    void neverSavesOverAnInput();
};

void TestScriptWriter::workedExampleByteForByte() {
    QTemporaryDir tmp;
    QVERIFY(tmp.isValid());
    const QString source = tmp.filePath(QStringLiteral("図面.dwg"));
    makeFile(source, true);
    const QString out = tmp.filePath(QStringLiteral("出力"));
    ScriptInputs in;
    in.files = {{QStringLiteral(" 図面.dwg"), source}};
    in.outputFolder = out;
    in.selectionCode = 17;
    in.markerPath = ScriptWriter::markerPathIn(tmp.filePath(QStringLiteral("appdata")));
    in.scriptPath = tmp.filePath(QStringLiteral("scriptC.scr"));
    in.options.outputFormat = OutputFormat::Dwg;
    in.options.dwgVersionIndex = 1;
    in.options.viewMode = 1;
    in.options.audit = true;
    in.options.auditFix = true;
    in.options.purgeItems = {PurgeItem::Layers, PurgeItem::Blocks};

    SystemFileSystemProbe probe;
    const ScriptWriteResult result = ScriptWriter(probe).write(in);
    QVERIFY2(result.ok(), qPrintable(result.error));
    QVERIFY(QFileInfo(out).isDir());

    const QString target = out + QDir::separator() + QStringLiteral("図面.dwg");
    const QString marker =
        tmp.filePath(QStringLiteral("appdata")) + QDir::separator() + QStringLiteral("10000.dxf");
    const QString expected =
        QStringLiteral("SDI\r\n0\r\nopen\r\n\"") + source +
        QStringLiteral("\"\r\ny\r\nzoom\r\nA\r\nAUDITCTL\r\n1\r\nAUDIT\r\ny\r\n"
                       "-purge\r\nB\r\n*\r\nN\r\n-purge\r\nLA\r\n*\r\nN\r\n"
                       "saveas\r\n2000\r\n\"") +
        target + QStringLiteral("\"\r\nclose\r\n\r\n_new\r\n\"") + marker +
        QStringLiteral("\"\r\nsaveas\r\ndxf\r\nv\r\n2000\r\n16\r\n\"") + marker +
        QStringLiteral("\"\r\nquit\r\ny\r\n");
    QFile script(in.scriptPath);
    QVERIFY(script.open(QIODevice::ReadOnly));
    const QByteArray bytes = script.readAll();
    // Japanese path characters are code page 932, two bytes each.
    QVERIFY(bytes.contains(QByteArray("\x90\x7d\x96\xca.dwg")));
    QCOMPARE(bytes, Cp932Codec::encode(expected).bytes);

    QCOMPARE(result.targets.size(), 1);
    QCOMPARE(result.targets[0].outputName, QStringLiteral("図面.dwg"));
    QCOMPARE(result.targets[0].targetPath, target);
    QVERIFY(result.targets[0].resultRow);
}

void TestScriptWriter::saveBlockVariants_data() {
    QTest::addColumn<QString>("source");
    QTest::addColumn<bool>("dxfOutput");
    QTest::addColumn<int>("code");
    QTest::addColumn<int>("index");
    QTest::addColumn<QStringList>("block");
    QTest::addColumn<bool>("resultRow");

    const QString dxfTarget = quoted(native(QStringLiteral("a.dxf")));
    const QString dwgTarget = quoted(native(QStringLiteral("a.dwg")));
    const auto rows = [&](const char* text, const QString& target) {
        QStringList lines = split(text);
        for (QString& line : lines) {
            if (line == QLatin1String("T"))
                line = target;
        }
        return lines;
    };
    QTest::newRow("dwg to dxf, token")
        << u"/in/a.dwg"_s << true << 41 << 1
        << rows("saveas|dxf|v|2004|16|T|zoom|e|close|y", dxfTarget) << false;
    QTest::newRow("dwg to dxf, no token drops v")
        << u"/in/a.DWG"_s << true << 17 << 3 << rows("saveas|dxf|16|T|zoom|e|close|y|", dxfTarget)
        << false;
    QTest::newRow("dwg to dwg") << u"/in/a.dwg"_s << false << 21 << 0
                                << rows("saveas|2007|T|close", dwgTarget) << true;
    QTest::newRow("dwg to dwg, hidden index 2 of code 17")
        << u"/in/a.dwg"_s << false << 17 << 2 << rows("saveas|T|close|", dwgTarget) << true;
    QTest::newRow("dxf to dxf, token") << u"/in/a.dxf"_s << true << 4 << 2
                                       << rows("saveas|dxf|V|R13|16|T|close", dxfTarget) << true;
    QTest::newRow("dxf to dxf, V stays without token")
        << u"/in/a.DXF"_s << true << 0 << 0 << rows("saveas|dxf|V|16|T|close", dxfTarget) << true;
    QTest::newRow("dxf to dwg, answer N")
        << u"/in/a.dxf"_s << false << 18 << 1 << rows("saveas|2000|T|zoom|e|close|N|", dwgTarget)
        << false;
    QTest::newRow("DXF to dwg, answer N")
        << u"/in/a.DXF"_s << false << 5 << 0 << rows("saveas|2004|T|zoom|e|close|N", dwgTarget)
        << false;
    QTest::newRow("mixed-case .Dwg is a dxf source, answer y")
        << u"/in/a.Dwg"_s << false << 41 << 3 << rows("saveas|R14|T|zoom|e|close|y", dwgTarget)
        << false;
    QTest::newRow("mixed-case .Dwg to dxf uses V")
        << u"/in/a.Dwg"_s << true << 6 << 0 << rows("saveas|dxf|V|2004|16|T|close", dxfTarget)
        << true;
    QTest::newRow("LT 2002 dwg index 3 has no token")
        << u"/in/a.dwg"_s << false << 4 << 3 << rows("saveas|T|close", dwgTarget) << true;
    QTest::newRow("selection 0, dwg to dxf: no version lines")
        << u"/in/a.dwg"_s << true << 0 << 1 << rows("saveas|dxf|16|T|zoom|e|close|y", dxfTarget)
        << false;
    QTest::newRow("selection 0, dxf to dwg: no version lines")
        << u"/in/a.dxf"_s << false << 0 << 2 << rows("saveas|T|zoom|e|close|N", dwgTarget) << false;
    QTest::newRow("blank after close for LT 2006")
        << u"/in/a.dwg"_s << false << 7 << 0 << rows("saveas|2004|T|close|", dwgTarget) << true;
    QTest::newRow("no blank for 2005")
        << u"/in/a.dwg"_s << false << 16 << 0 << rows("saveas|2004|T|close", dwgTarget) << true;
}

void TestScriptWriter::saveBlockVariants() {
    QFETCH(QString, source);
    QFETCH(bool, dxfOutput);
    QFETCH(int, code);
    QFETCH(int, index);
    QFETCH(QStringList, block);
    QFETCH(bool, resultRow);

    ScriptInputs in = inputs(dxfOutput ? OutputFormat::Dxf : OutputFormat::Dwg,
                             static_cast<quint8>(code), {source});
    in.options.dxfVersionIndex = index;
    in.options.dwgVersionIndex = index;
    FakeProbe probe;
    const ScriptText text = ScriptWriter(probe).compose(in);
    QVERIFY(text.ok());
    QCOMPARE(saveBlockOf(text.lines), block);
    QCOMPARE(text.targets.size(), 1);
    QCOMPARE(text.targets[0].resultRow, resultRow);
}

void TestScriptWriter::releaseTokens_data() {
    QTest::addColumn<int>("code");
    QTest::addColumn<QStringList>("dxf");
    QTest::addColumn<QStringList>("dwg");
    const QStringList none = split("|||");
    QTest::newRow("0 none") << 0 << none << none;
    for (const GoldenProduct& product : goldenProducts())
        QTest::addRow("%d %s", product.code, qPrintable(product.label))
            << product.code << product.dxfTokens << product.dwgTokens;
    QTest::newRow("20 unknown code") << 20 << none << none;
}

void TestScriptWriter::releaseTokens() {
    QFETCH(int, code);
    QFETCH(QStringList, dxf);
    QFETCH(QStringList, dwg);
    FakeProbe probe;
    for (int index = 0; index < 4; ++index) {
        QCOMPARE(dxfReleaseToken(static_cast<quint8>(code), index), dxf[index]);
        QCOMPARE(dwgReleaseToken(static_cast<quint8>(code), index), dwg[index]);
        // DXF source to DXF output: saveas, dxf, V, then the token if any.
        ScriptInputs in = inputs(OutputFormat::Dxf, static_cast<quint8>(code), {u"/in/a.dxf"_s});
        in.options.dxfVersionIndex = index;
        QStringList block = saveBlockOf(ScriptWriter(probe).compose(in).lines);
        QCOMPARE(block.at(3), dxf[index].isEmpty() ? QStringLiteral("16") : dxf[index]);
        // DWG to DWG: saveas, then the token or straight the target.
        in = inputs(OutputFormat::Dwg, static_cast<quint8>(code), {u"/in/a.dwg"_s});
        in.options.dwgVersionIndex = index;
        block = saveBlockOf(ScriptWriter(probe).compose(in).lines);
        QCOMPARE(block.at(1),
                 dwg[index].isEmpty() ? quoted(native(QStringLiteral("a.dwg"))) : dwg[index]);
    }
}

void TestScriptWriter::readOnlySourceAnswer_data() {
    QTest::addColumn<int>("attribute");
    QTest::addColumn<bool>("answered");
    QTest::newRow("read-only archive 33") << 33 << true;
    QTest::newRow("writable 32") << 32 << false;
    QTest::newRow("read-only folder 49") << 49 << false;
    QTest::newRow("missing") << -1 << false;
}

void TestScriptWriter::readOnlySourceAnswer() {
    QFETCH(int, attribute);
    QFETCH(bool, answered);
    FakeProbe probe;
    if (attribute >= 0)
        probe.attributes.insert(QStringLiteral("/in/a.dwg"), attribute);
    const ScriptText text =
        ScriptWriter(probe).compose(inputs(OutputFormat::Dwg, 17, {u"/in/a.dwg"_s}));
    QCOMPARE(text.lines.mid(2, 3).join(u'|'),
             QStringLiteral("open|\"/in/a.dwg\"|") +
                 (answered ? QStringLiteral("y") : QStringLiteral("saveas")));
}

void TestScriptWriter::copyTarget_data() {
    QTest::addColumn<int>("target"); // -1 missing, 0 writable, 1 read-only
    QTest::addColumn<bool>("copyExists");
    QTest::addColumn<QString>("outputName");
    QTest::addColumn<bool>("answered");
    QTest::newRow("no target") << -1 << false << u"a.dxf"_s << false;
    QTest::newRow("writable target is overwritten") << 0 << false << u"a.dxf"_s << true;
    QTest::newRow("read-only target, no copy yet") << 1 << false << u"a-COPY.dxf"_s << false;
    QTest::newRow("read-only target, copy exists") << 1 << true << u"a-COPY.dxf"_s << true;
}

void TestScriptWriter::copyTarget() {
    QFETCH(int, target);
    QFETCH(bool, copyExists);
    QFETCH(QString, outputName);
    QFETCH(bool, answered);
    QTemporaryDir tmp;
    QVERIFY(tmp.isValid());
    const QString out = QDir::toNativeSeparators(tmp.path());
    if (target >= 0)
        makeFile(tmp.filePath(QStringLiteral("a.dxf")), target == 1);
    if (copyExists)
        makeFile(tmp.filePath(QStringLiteral("a-COPY.dxf")), false);

    ScriptInputs in = inputs(OutputFormat::Dxf, 41, {u"/in/a.dwg"_s});
    in.outputFolder = out;
    SystemFileSystemProbe probe;
    const ScriptText text = ScriptWriter(probe).compose(in);
    const QString path = out + QDir::separator() + outputName;
    QCOMPARE(text.targets[0].outputName, outputName);
    QCOMPARE(text.targets[0].targetPath, path);
    const QStringList block = saveBlockOf(text.lines);
    const qsizetype at = block.indexOf(quoted(path));
    QVERIFY(at > 0);
    QCOMPARE(block.at(at + 1), answered ? QStringLiteral("y") : QStringLiteral("zoom"));
}

void TestScriptWriter::trailer_data() {
    QTest::addColumn<QStringList>("sources");
    QTest::addColumn<bool>("markerExists");
    QTest::addColumn<int>("singleDocument");
    QTest::addColumn<QString>("afterMarker");
    QTest::addRow("dwg last, small y")
        << QStringList{u"/in/a.dxf"_s, u"/in/b.dwg"_s} << false << 0 << u"quit|y"_s;
    QTest::addRow("dxf last, capital Y")
        << QStringList{u"/in/a.dwg"_s, u"/in/b.dxf"_s} << false << 0 << u"quit|Y"_s;
    QTest::addRow("DXF last, capital Y")
        << QStringList{u"/in/b.DXF"_s} << false << 0 << u"quit|Y"_s;
    QTest::addRow("Dxf last, small y") << QStringList{u"/in/b.Dxf"_s} << false << 0 << u"quit|y"_s;
    QTest::addRow("existing marker answered")
        << QStringList{u"/in/b.dwg"_s} << true << 0 << u"y|quit|y"_s;
    QTest::addRow("single document restored")
        << QStringList{u"/in/b.dwg"_s} << false << 1 << u"SDI|1|quit|y"_s;
    QTest::addRow("both") << QStringList{u"/in/b.dxf"_s} << true << 1 << u"y|SDI|1|quit|Y"_s;
}

void TestScriptWriter::trailer() {
    QFETCH(QStringList, sources);
    QFETCH(bool, markerExists);
    QFETCH(int, singleDocument);
    QFETCH(QString, afterMarker);
    FakeProbe probe;
    if (markerExists)
        probe.attributes.insert(kMarker, 32);
    ScriptInputs in = inputs(OutputFormat::Dwg, 41, sources);
    in.singleDocumentMode = static_cast<quint8>(singleDocument);
    const ScriptText text = ScriptWriter(probe).compose(in);
    QCOMPARE(text.lines.mid(0, 2).join(u'|'), QStringLiteral("SDI|0"));
    const qsizetype start = text.lines.indexOf(QStringLiteral("_new"));
    QCOMPARE(text.lines.mid(start).join(u'|'),
             QStringLiteral("_new|%1|saveas|dxf|v|2000|16|%1|").arg(quoted(kMarker)) + afterMarker);
}

void TestScriptWriter::purgeBlocksInFixedOrder() {
    ScriptInputs in = inputs(OutputFormat::Dwg, 41, {u"/in/a.dwg"_s});
    QList<PurgeItem> reversed = allPurgeItems();
    std::reverse(reversed.begin(), reversed.end());
    in.options.purgeItems = reversed;
    FakeProbe probe;
    const QStringList lines = ScriptWriter(probe).compose(in).lines;
    QStringList codes;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (lines[i] == QLatin1String("-purge")) {
            QCOMPARE(lines.mid(i + 2, 2).join(u'|'), QStringLiteral("*|N"));
            codes.append(lines[i + 1]);
        }
    }
    QCOMPARE(codes, split("A|B|LA|LT|SH|P|D|ST|M|T|R|MA|V"));
}

void TestScriptWriter::auditWithoutFixAnswersNo() {
    ScriptInputs in = inputs(OutputFormat::Dwg, 41, {u"/in/a.dwg"_s});
    in.options.audit = true;
    in.options.viewMode = 2;
    FakeProbe probe;
    const QStringList lines = ScriptWriter(probe).compose(in).lines;
    QCOMPARE(lines.mid(4, 6), split("zoom|E|AUDITCTL|1|AUDIT|n"));
}

void TestScriptWriter::refusesWhatNoScriptLineCanCarry_data() {
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("outputFolder");
    QTest::addColumn<QString>("named");
    QTest::newRow("quote in source") << u"/in/a\"b.dwg"_s << kOut << u"/in/a\"b.dwg"_s;
    QTest::newRow("line feed in output folder")
        << u"/in/a.dwg"_s << u"/o\nut"_s << u"/o\nut"_s + QDir::separator() + u"a.dxf"_s;
    QTest::newRow("outside code page 932")
        << u"/in/\U0001F600.dwg"_s << kOut << u"/in/\U0001F600.dwg"_s;
}

void TestScriptWriter::refusesWhatNoScriptLineCanCarry() {
    QFETCH(QString, source);
    QFETCH(QString, outputFolder);
    QFETCH(QString, named);
    QTemporaryDir tmp;
    ScriptInputs in = inputs(OutputFormat::Dxf, 41, {source});
    in.outputFolder = outputFolder;
    in.scriptPath = tmp.filePath(QStringLiteral("scriptC.scr"));
    FakeProbe probe;
    const ScriptWriteResult result = ScriptWriter(probe).write(in);
    QVERIFY(!result.ok());
    QVERIFY2(result.error.startsWith(named + QStringLiteral(" は、 \r\n\r\n")),
             qPrintable(result.error));
    QVERIFY(!QFile::exists(in.scriptPath));
}

void TestScriptWriter::unwritableScriptIsReported() {
    QTemporaryDir tmp;
    const QString blocker = tmp.filePath(u"scriptC.scr"_s);
    makeFile(blocker, false);
    ScriptInputs in = inputs(OutputFormat::Dxf, 41, {u"/in/a.dwg"_s});
    in.outputFolder = tmp.filePath(u"out"_s);
    // Its folder is a file: no temporary file can be made there, whoever runs the test.
    in.scriptPath = blocker + u"/scriptC.scr"_s;
    FakeProbe probe;
    const ScriptWriteResult result = ScriptWriter(probe).write(in);
    QVERIFY(!result.ok());
    QVERIFY2(result.error.startsWith(in.scriptPath + u" は、 "_s), qPrintable(result.error));
    QVERIFY(result.targets.isEmpty());
    QFile file(blocker);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("0\r\n"));
}

void TestScriptWriter::uncreatableOutputFolderIsReported() {
    QTemporaryDir tmp;
    const QString blocker = tmp.filePath(QStringLiteral("file"));
    makeFile(blocker, false);
    ScriptInputs in = inputs(OutputFormat::Dxf, 41, {u"/in/a.dwg"_s});
    in.outputFolder = blocker + QStringLiteral("/out");
    in.scriptPath = tmp.filePath(QStringLiteral("scriptC.scr"));
    SystemFileSystemProbe probe;
    const ScriptWriteResult result = ScriptWriter(probe).write(in);
    QVERIFY(!result.ok());
    QVERIFY(result.error.startsWith(in.outputFolder + QStringLiteral(" は、 ")));
    QVERIFY(!QFile::exists(in.scriptPath));
}

// With the drawings' own folder as the output folder, a same-format save would replace the
// source itself, and a save in the other format another drawing of the batch.
void TestScriptWriter::neverSavesOverAnInput() {
    QTemporaryDir tmp;
    const QString folder = QDir::toNativeSeparators(tmp.path());
    const QString dwg = folder + QDir::separator() + u"a.dwg"_s;
    const QString dxf = folder + QDir::separator() + u"b.dxf"_s;
    makeFile(dwg, false);
    makeFile(dxf, false);
    SystemFileSystemProbe probe;
    const ScriptWriter writer(probe);
    const auto refusal = [](const QString& source, const QString& target) {
        return source + u" は、 \r\n\r\n出力ファイル "_s + target +
               u" は変換するファイルの一つのため、上書きできません。保存場所を変更して下さい。"_s;
    };

    ScriptInputs in = inputs(OutputFormat::Dwg, 41, {dwg});
    in.outputFolder = folder;
    QCOMPARE(writer.compose(in).error, refusal(dwg, dwg));
    in.files = {entry(dxf)};
    in.options.outputFormat = OutputFormat::Dxf;
    QCOMPARE(writer.compose(in).error, refusal(dxf, dxf));
    // The other format is a new file beside the source.
    in.options.outputFormat = OutputFormat::Dwg;
    QVERIFY(writer.compose(in).ok());
#ifndef Q_OS_WIN // links made there are shell shortcuts, plain files to the file system
    // An output folder holding a link to the source: the link is resolved.
    const QString linked = folder + QDir::separator() + u"linked"_s;
    QVERIFY(QDir().mkpath(linked));
    QVERIFY(QFile::link(dxf, linked + QDir::separator() + u"b.dxf"_s));
    in.outputFolder = linked;
    in.options.outputFormat = OutputFormat::Dxf;
    QCOMPARE(writer.compose(in).error, refusal(dxf, linked + QDir::separator() + u"b.dxf"_s));
    in.outputFolder = folder;
#endif
    // A read-only source is saved beside itself as "-COPY": nothing is replaced.
    QVERIFY(QFile::setPermissions(dwg, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    in.files = {entry(dwg)};
    in.options.outputFormat = OutputFormat::Dwg;
    const ScriptText copy = writer.compose(in);
    QVERIFY2(copy.ok(), qPrintable(copy.error));
    QCOMPARE(copy.targets[0].outputName, u"a-COPY.dwg"_s);
    // Another folder: no refusal.
    in.outputFolder = folder + QDir::separator() + u"out"_s;
    in.files = {entry(dxf)};
    in.options.outputFormat = OutputFormat::Dxf;
    QVERIFY(writer.compose(in).ok());
}

QTEST_GUILESS_MAIN(TestScriptWriter)
#include "TestScriptWriter.moc"
