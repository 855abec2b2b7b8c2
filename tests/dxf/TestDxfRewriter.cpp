#include "Cp932Codec.h"
#include "DxfFixtures.h"
#include "DxfRewriter.h"
#include "Messages.h"
#include "Prompter.h"
#include "TextPipeline.h"
#include "mock/RecordingPrompter.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

using namespace ornvale;
using namespace ornvale::test;

namespace {

enum class Fault { Vanished, NoEntities, SevenLines, LineFeedOnly, OutputIsFolder, ReadOnlyFolder };

class RecordingObserver : public DxfRewriteObserver {
public:
    void fileStarted(int index, int count, const QString& path) override {
        events.append(QStringLiteral("start %1/%2 %3").arg(index).arg(count).arg(path));
    }
    void fileProgress(qint64 read, qint64 total) override {
        if (read < lastRead || read > total)
            progressOrderBroken = true;
        lastRead = read;
        percents.append(percent(read, total));
    }
    void fileFinished(int finished, const DxfRewriteResult& result) override {
        events.append(QStringLiteral("done %1 %2").arg(finished).arg(result.converted));
        lastRead = 0;
    }
    QStringList events;
    QList<int> percents;
    qint64 lastRead = 0;
    bool progressOrderBroken = false;
};

// The lines that differ between two drawings of the same line count, as old, new, old, new...
QByteArrayList changedLines(const QByteArray& before, const QByteArray& after) {
    const QByteArrayList a = before.split('\n');
    const QByteArrayList b = after.split('\n');
    if (a.size() != b.size())
        return {"line count changed"};
    QByteArrayList changes;
    for (qsizetype i = 0; i < a.size(); ++i) {
        if (a[i] != b[i])
            changes << a[i].chopped(a[i].endsWith('\r')) << b[i].chopped(b[i].endsWith('\r'));
    }
    return changes;
}

// Cuts the long MTEXT value of the fixtures (its "  3" and "  1" pairs) out of a drawing and
// returns its chunks joined: a conversion may cut it into a different number of chunks.
QByteArray cutLongValue(QByteArray& drawing) {
    const qsizetype entity = drawing.indexOf("MTEXT\r\n  5\r\n38\r\n");
    const qsizetype start = drawing.indexOf(" 71\r\n1\r\n", entity) + 8;
    const qsizetype end = drawing.indexOf("  0\r\n", start);
    if (entity < 0 || start < 8 || end < 0)
        return "long value not found";
    const QByteArrayList lines = drawing.mid(start, end - start).split('\n');
    drawing.remove(start, end - start);
    QByteArray joined;
    for (qsizetype i = 1; i < lines.size(); i += 2)
        joined += lines[i].chopped(1);
    return joined;
}

QByteArray longValueOf(const QString& fixture) {
    QByteArray drawing = readFile(QStringLiteral(ORNVALE_TEST_DATA "/text/") + fixture);
    return cutLongValue(drawing);
}

} // namespace

Q_DECLARE_METATYPE(ornvale::TextOptions)

class TestDxfRewriter : public QObject {
    Q_OBJECT

private slots:
    void init();
    void namesOutputBesideInput_data();
    void namesOutputBesideInput();
    void choosesEncodingByVersion();
    void reproducesDrawingWithOptionsThatChangeNothing_data();
    void reproducesDrawingWithOptionsThatChangeNothing();
    void transformsEntityTexts_data();
    void transformsEntityTexts();
    void reportsFailingFileAndGoesOn_data();
    void reportsFailingFileAndGoesOn();
    void neverOverwritesAnotherInputOfTheBatch();
    void neverOverwritesInputThroughLink();
    void neverOverwritesOutputOfAnotherInput();
    void convertsSameInputListedTwice();
    void reportsProgressAndFinishedFiles();
    void percentRounds_data();
    void percentRounds();

private:
    QString copyFixture(const QString& name, const QString& as = {});
    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestDxfRewriter::init() {
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

QString TestDxfRewriter::copyFixture(const QString& name, const QString& as) {
    const QString target = m_dir->filePath(as.isEmpty() ? name : as);
    QFile::copy(QStringLiteral(ORNVALE_TEST_DATA "/text/") + name, target);
    return target;
}

void TestDxfRewriter::namesOutputBesideInput_data() {
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("output");
    QTest::newRow("upper-case ending") << u"PLAN.DXF"_s << u"PLAN-T.dxf"_s;
    QTest::newRow("earlier output converted again") << u"plan-T.dxf"_s << u"plan-T-T.dxf"_s;
    QTest::newRow("folder kept") << u"/work/a.b/plan.dxf"_s << u"/work/a.b/plan-T.dxf"_s;
    QTest::newRow("windows path") << u"C:\\work\\plan.dxf"_s << u"C:\\work\\plan-T.dxf"_s;
    QTest::newRow("ending without a dot loses four characters")
        << u"/d/plandxf"_s << u"/d/pla-T.dxf"_s;
}

void TestDxfRewriter::namesOutputBesideInput() {
    QFETCH(QString, input);
    QFETCH(QString, output);
    QCOMPARE(DxfRewriter::outputPathFor(input), output);
}

void TestDxfRewriter::choosesEncodingByVersion() {
    QCOMPARE(DxfRewriter::encodingFor("AC1021"), DxfEncoding::Utf8);
    QCOMPARE(DxfRewriter::encodingFor("AC1018"), DxfEncoding::Cp932);
    QCOMPARE(DxfRewriter::encodingFor("AC1021 "), DxfEncoding::Cp932);
    QCOMPARE(DxfRewriter::encodingFor("ac1021"), DxfEncoding::Cp932);
}

void TestDxfRewriter::reproducesDrawingWithOptionsThatChangeNothing_data() {
    QTest::addColumn<QString>("fixture");
    QTest::newRow("release 2004, code page") << u"text_r2004.dxf"_s;
    QTest::newRow("release 2007, utf-8") << u"text_r2007.dxf"_s;
    QTest::newRow("release 2000") << u"text_r2000.dxf"_s;
}

void TestDxfRewriter::reproducesDrawingWithOptionsThatChangeNothing() {
    QFETCH(QString, fixture);
    const QString input = copyFixture(fixture, u"PLAN.DXF"_s);
    const QByteArray before = readFile(input);
    TextPipeline pipeline{TextOptions{}};
    RecordingPrompter prompter;
    DxfRewriter rewriter(pipeline, prompter);
    const QList<DxfRewriteResult> results = rewriter.run({input});
    QCOMPARE(results.size(), 1);
    QVERIFY(results[0].converted);
    QCOMPARE(results[0].outputPath, m_dir->filePath(u"PLAN-T.dxf"_s));
    QCOMPARE(readFile(results[0].outputPath), before);
    QCOMPARE(readFile(input), before);
    QVERIFY(prompter.messages().isEmpty());
}

void TestDxfRewriter::transformsEntityTexts_data() {
    QTest::addColumn<QString>("fixture");
    QTest::addColumn<TextOptions>("options");
    QTest::addColumn<QByteArrayList>("changes");
    QTest::addColumn<QByteArray>("longValue");
    QTest::addColumn<int>("replaced");
    QTest::addColumn<int>("caseChanged");
    const auto cp932 = [](const QString& text) { return Cp932Codec::encode(text).bytes; };

    // Every TEXT and MTEXT value of the entities section (the long MTEXT whole, chunks and all),
    // none of the block definitions, the attribute or the dimension.
    const QByteArray long2004 = longValueOf(u"text_r2004.dxf"_s);
    const QByteArray long2007 = longValueOf(u"text_r2007.dxf"_s);
    QVERIFY(long2004.startsWith("long abc xxx") && long2004.size() == 609);
    TextOptions matching;
    matching.replaceMode = ReplaceMode::ReplaceMatchingText;
    matching.replaceText = u"X"_s;
    QTest::newRow("matching values, code page")
        << u"text_r2004.dxf"_s << matching << QByteArrayList{"plain abc",
                                                             "X",
                                                             "centred abc",
                                                             "X",
                                                             "mtext abc\\Pline two",
                                                             "X",
                                                             cp932(u"図面 abc ｶﾀｶﾅ"_s),
                                                             "X"}
        << QByteArray("X") << 5 << 0;

    TextOptions hangul;
    hangul.searchText = u"abc"_s;
    hangul.replaceText = u"한"_s;
    QTest::newRow("replacement outside the code page escaped")
        << u"text_r2004.dxf"_s << hangul
        << QByteArrayList{"plain abc",
                          "plain \\U+D55C",
                          "centred abc",
                          "centred \\U+D55C",
                          "mtext abc\\Pline two",
                          "mtext \\U+D55C\\Pline two",
                          cp932(u"図面 abc ｶﾀｶﾅ"_s),
                          cp932(u"図面 "_s) + "\\U+D55C" + cp932(u" ｶﾀｶﾅ"_s)}
        << QByteArray(long2004).replace("abc", "\\U+D55C") << 5 << 0;

    TextOptions japanese;
    japanese.searchText = u"abc"_s;
    japanese.replaceText = u"図形"_s;
    QTest::newRow("utf-8 with japanese text")
        << u"text_r2007.dxf"_s << japanese
        << QByteArrayList{"plain abc",
                          u"plain 図形"_s.toUtf8(),
                          "centred abc",
                          u"centred 図形"_s.toUtf8(),
                          "mtext abc\\Pline two",
                          u"mtext 図形\\Pline two"_s.toUtf8(),
                          u"図面名称 abc"_s.toUtf8(),
                          u"図面名称 図形"_s.toUtf8(),
                          u"日本語の abc 文章"_s.toUtf8(),
                          u"日本語の 図形 文章"_s.toUtf8()}
        << QByteArray(long2007).replace("abc", u"図形"_s.toUtf8()) << 6 << 0;

    TextOptions upperText;
    upperText.targetEntities = TargetEntities::TextOnly;
    upperText.caseConversion = CaseConversion::ToUpper;
    QTest::newRow("upper case, TEXT only") << u"text_r2004.dxf"_s << upperText
                                           << QByteArrayList{"plain abc",
                                                             "PLAIN ABC",
                                                             "centred abc",
                                                             "CENTRED ABC",
                                                             cp932(u"図面 abc ｶﾀｶﾅ"_s),
                                                             cp932(u"図面 ABC ｶﾀｶﾅ"_s)}
                                           << long2004 << 0 << 3;
}

void TestDxfRewriter::transformsEntityTexts() {
    QFETCH(QString, fixture);
    QFETCH(TextOptions, options);
    QFETCH(QByteArrayList, changes);
    QFETCH(QByteArray, longValue);
    QFETCH(int, replaced);
    QFETCH(int, caseChanged);
    const QString input = copyFixture(fixture);
    TextPipeline pipeline(options);
    RecordingPrompter prompter;
    DxfRewriter rewriter(pipeline, prompter);
    const DxfRewriteResult result = rewriter.run({input}).at(0);
    QVERIFY(result.converted);
    QByteArray output = readFile(result.outputPath);
    QVERIFY(output.startsWith("  0\r\nSECTION\r\n")); // no byte-order mark
    QByteArray original = readFile(input);
    cutLongValue(original);
    QCOMPARE(cutLongValue(output), longValue);
    QCOMPARE(changedLines(original, output), changes);
    QCOMPARE(int(pipeline.counters().replacedCount), replaced);
    QCOMPARE(int(pipeline.counters().caseChangedCount), caseChanged);
}

void TestDxfRewriter::reportsFailingFileAndGoesOn_data() {
    QTest::addColumn<Fault>("fault");
    QTest::addColumn<QString>("reason");
    QTest::newRow("file gone since it was listed")
        << Fault::Vanished << u"ファイルが見つかりません。"_s;
    QTest::newRow("no entities section")
        << Fault::NoEntities << u"ENTITIES セクションが見つからないため、変換できません。"_s;
    QTest::newRow("fewer than eight lines")
        << Fault::SevenLines << u"行数が8行未満のため、DXFファイルとして変換できません。"_s;
    // Lines end at CR: a file with LF line ends is a single line.
    QTest::newRow("LF line ends only")
        << Fault::LineFeedOnly << u"行数が8行未満のため、DXFファイルとして変換できません。"_s;
    QTest::newRow("a folder where the output goes")
        << Fault::OutputIsFolder
        << u"出力ファイル %1 を作成できません。フォルダに書き込めるか確認して下さい。"_s;
    QTest::newRow("read-only folder")
        << Fault::ReadOnlyFolder
        << u"出力ファイル %1 を作成できません。フォルダに書き込めるか確認して下さい。"_s;
}

void TestDxfRewriter::reportsFailingFileAndGoesOn() {
    QFETCH(Fault, fault);
    QFETCH(QString, reason);
    QDir folder(m_dir->path());
    QVERIFY(folder.mkdir(u"bad"_s));
    const QString bad = m_dir->filePath(u"bad/plan.dxf"_s);
    const QString badOutput = m_dir->filePath(u"bad/plan-T.dxf"_s);
    const QString good = copyFixture(u"text_r2004.dxf"_s, u"good.dxf"_s);
    const QByteArray earlier = "an earlier output";
    QVERIFY(writeFile(badOutput, earlier));

    switch (fault) {
    case Fault::Vanished:
        break;
    case Fault::NoEntities:
        QVERIFY(writeFile(bad, joinLines(headerLines() + blocksLines() + fileEnd())));
        break;
    case Fault::SevenLines:
        QVERIFY(writeFile(bad, joinLines(headerLines().mid(0, 7))));
        break;
    case Fault::LineFeedOnly:
        QVERIFY(writeFile(bad, drawing({textEntity("a")}, "AC1018", "\n")));
        break;
    case Fault::OutputIsFolder:
        QVERIFY(writeFile(bad, drawing({textEntity("a")})));
        QVERIFY(QFile::remove(badOutput));
        QVERIFY(folder.mkdir(u"bad/plan-T.dxf"_s));
        break;
    case Fault::ReadOnlyFolder:
#ifdef Q_OS_UNIX
        if (geteuid() == 0)
            QSKIP("permission bits do not bind root; the folder row above covers the failure");
#else
        QSKIP("read-only folders are made with permission bits here");
#endif
        QVERIFY(writeFile(bad, drawing({textEntity("a")})));
        QVERIFY(
            QFile::setPermissions(m_dir->filePath(u"bad"_s), QFile::ReadOwner | QFile::ExeOwner));
        break;
    }

    TextPipeline pipeline{TextOptions{}};
    RecordingPrompter prompter;
    DxfRewriter rewriter(pipeline, prompter);
    const QList<DxfRewriteResult> results = rewriter.run({bad, good});
    QFile::setPermissions(m_dir->filePath(u"bad"_s),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    const QString expectedReason = reason.contains(u"%1"_s) ? reason.arg(badOutput) : reason;
    QCOMPARE(prompter.texts(), QStringList{perFileMessage(bad, expectedReason)});
    QCOMPARE(prompter.messages().at(0).title, confirmTitle());
    QCOMPARE(results.size(), 2);
    QVERIFY(!results[0].converted);
    QCOMPARE(results[0].reason, expectedReason);
    QVERIFY(results[1].converted);
    QCOMPARE(readFile(m_dir->filePath(u"good-T.dxf"_s)), readFile(good));
    // No partial output, no temporary file left behind, the earlier output untouched.
    if (fault != Fault::OutputIsFolder)
        QCOMPARE(readFile(badOutput), earlier);
    const QStringList left =
        QDir(m_dir->filePath(u"bad"_s)).entryList(QDir::NoDotAndDotDot | QDir::AllEntries);
    QStringList expectedLeft{u"plan-T.dxf"_s};
    if (fault != Fault::Vanished)
        expectedLeft.append(u"plan.dxf"_s);
    QCOMPARE(left, expectedLeft);
}

void TestDxfRewriter::neverOverwritesAnotherInputOfTheBatch() {
    const QString first = copyFixture(u"text_r2004.dxf"_s, u"plan.dxf"_s);
    const QString second = copyFixture(u"text_r2000.dxf"_s, u"plan-T.dxf"_s);
    const QByteArray secondBefore = readFile(second);
    TextPipeline pipeline{TextOptions{}};
    RecordingPrompter prompter;
    DxfRewriter rewriter(pipeline, prompter);
    const QList<DxfRewriteResult> results = rewriter.run({first, second});
    QCOMPARE(prompter.texts(),
             QStringList{perFileMessage(
                 first, u"出力ファイル %1 は変換するファイルの一つのため、上書きできません。"_s.arg(
                            second))});
    QVERIFY(!results[0].converted);
    QVERIFY(results[1].converted);
    QCOMPARE(readFile(second), secondBefore);
    QCOMPARE(readFile(m_dir->filePath(u"plan-T-T.dxf"_s)), secondBefore);
    // Alone in its batch the first file converts as usual.
    QVERIFY(rewriter.run({first}).at(0).converted);
}

void TestDxfRewriter::neverOverwritesInputThroughLink() {
#ifdef Q_OS_WIN
    QSKIP("links made here are shell shortcuts, plain files to the file system");
#endif
    const QString plan = copyFixture(u"text_r2004.dxf"_s, u"plan.dxf"_s);
    const QString link = copyFixture(u"text_r2000.dxf"_s, u"link.dxf"_s);
    const QString linkOutput = m_dir->filePath(u"link-T.dxf"_s);
    QVERIFY(QFile::link(plan, linkOutput));
    const QByteArray planBefore = readFile(plan);
    TextOptions options;
    options.caseConversion = CaseConversion::ToLower;
    TextPipeline pipeline(options);
    RecordingPrompter prompter;
    DxfRewriter rewriter(pipeline, prompter);
    const QList<DxfRewriteResult> results = rewriter.run({plan, link});
    QCOMPARE(
        prompter.texts(),
        QStringList{perFileMessage(
            link,
            u"出力ファイル %1 は変換するファイル %2 と同じファイルのため、上書きできません。"_s.arg(
                linkOutput, plan))});
    QVERIFY(results[0].converted);
    QVERIFY(!results[1].converted);
    QCOMPARE(readFile(plan), planBefore);
    QVERIFY(QFileInfo(linkOutput).isSymLink());
}

void TestDxfRewriter::neverOverwritesOutputOfAnotherInput() {
#ifdef Q_OS_WIN
    QSKIP("names differing only in letter case are one file here");
#else
    // Two files to this file system, one output name for both.
    const QString lower = copyFixture(u"text_r2004.dxf"_s, u"a.dxf"_s);
    const QString upper = copyFixture(u"text_r2000.dxf"_s, u"a.DXF"_s);
    const QString output = m_dir->filePath(u"a-T.dxf"_s);
    TextPipeline pipeline{TextOptions{}};
    RecordingPrompter prompter;
    DxfRewriter rewriter(pipeline, prompter);
    const QList<DxfRewriteResult> results = rewriter.run({lower, upper});
    QCOMPARE(prompter.texts(),
             QStringList{perFileMessage(
                 upper, u"出力ファイル %1 は先に変換した %2 の出力のため、上書きできません。"_s.arg(
                            output, lower))});
    QVERIFY(results[0].converted);
    QVERIFY(!results[1].converted);
    QCOMPARE(readFile(output), readFile(lower));
    QVERIFY(readFile(lower) != readFile(upper));
#endif
}

void TestDxfRewriter::convertsSameInputListedTwice() {
    const QString plan = copyFixture(u"text_r2004.dxf"_s, u"plan.dxf"_s);
    TextPipeline pipeline{TextOptions{}};
    RecordingPrompter prompter;
    RecordingObserver observer;
    DxfRewriter rewriter(pipeline, prompter, &observer);
    const QList<DxfRewriteResult> results = rewriter.run({plan, plan});
    QCOMPARE(prompter.texts(), QStringList());
    QVERIFY(results[0].converted);
    QVERIFY(results[1].converted);
    QCOMPARE(observer.events.filter(u"done"_s), (QStringList{u"done 1 1"_s, u"done 2 1"_s}));
    QCOMPARE(readFile(m_dir->filePath(u"plan-T.dxf"_s)), readFile(plan));
}

void TestDxfRewriter::reportsProgressAndFinishedFiles() {
    const QString a = copyFixture(u"text_r2004.dxf"_s, u"a.dxf"_s);
    const QString missing = m_dir->filePath(u"missing.dxf"_s);
    const QString b = copyFixture(u"text_r2007.dxf"_s, u"b.dxf"_s);
    TextPipeline pipeline{TextOptions{}};
    RecordingPrompter prompter;
    RecordingObserver observer;
    DxfRewriter rewriter(pipeline, prompter, &observer);
    rewriter.run({a, missing, b});
    QCOMPARE(observer.events,
             (QStringList{u"start 0/3 "_s + a, u"done 1 1"_s, u"start 1/3 "_s + missing,
                          u"done 2 0"_s, u"start 2/3 "_s + b, u"done 3 1"_s}));
    QVERIFY(!observer.progressOrderBroken);
    // Each converted file reports 0 before its copy and 100 once it is read.
    QCOMPARE(observer.percents, (QList<int>{0, 100, 0, 100}));
}

void TestDxfRewriter::percentRounds_data() {
    QTest::addColumn<qint64>("done");
    QTest::addColumn<qint64>("total");
    QTest::addColumn<int>("percent");
    QTest::newRow("nothing read") << qint64(0) << qint64(10) << 0;
    QTest::newRow("rounds half up") << qint64(1) << qint64(200) << 1;
    QTest::newRow("rounds down") << qint64(1) << qint64(300) << 0;
    QTest::newRow("empty file") << qint64(0) << qint64(0) << 100;
    QTest::newRow("large file") << (qint64(1) << 40) << (qint64(1) << 41) << 50;
}

void TestDxfRewriter::percentRounds() {
    QFETCH(qint64, done);
    QFETCH(qint64, total);
    QFETCH(int, percent);
    QCOMPARE(DxfRewriteObserver::percent(done, total), percent);
}

QTEST_GUILESS_MAIN(TestDxfRewriter)
#include "TestDxfRewriter.moc"
