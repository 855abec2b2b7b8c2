#include "DxfChangeReport.h"
#include "DxfFixtures.h"
#include "DxfRewriter.h"
#include "DxfStreamRewriter.h"
#include "DxfValueCodec.h"
#include "InMemoryRewrite.h"
#include "Prompter.h"
#include "TextPipeline.h"
#include "ThreadedByteWriter.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace ornvale;
using namespace ornvale::test;

namespace {

struct Row {
    QString file;
    qint64 line = 0;
    QString entity;
    QString handle;
    QString layer;
    QString before;
    QString after;
    bool operator==(const Row&) const = default;
};

QString describe(const QList<Row>& rows) {
    QString text;
    for (const Row& r : rows)
        text += u"%1:%2 %3 [%4] [%5] [%6] -> [%7]\n"_s.arg(r.file).arg(r.line).arg(
            r.entity, r.handle, r.layer, r.before, r.after);
    return text;
}

class Collector : public DxfChangeObserver {
public:
    void valueChanged(const DxfValueChange& c) override {
        rows.append({c.inputPath.toString(), c.line,
                     c.kind == TextEntityKind::MTextEntity ? u"MTEXT"_s : u"TEXT"_s,
                     c.handle.toString(), c.layer.toString(), c.before.toString(),
                     c.after.toString()});
    }
    QList<Row> rows;
};

class SilentPrompter : public Prompter {
public:
    void inform(const QString&, const QString&) override {}
    bool askYesNo(const QString&, const QString&) override { return true; }
    void warnRetry(const QString&, const QString&) override {}
};

// The TEXT and MTEXT values after the ENTITIES line, found by a plain walk over the code and
// value lines (CR LF line ends), an MTEXT's "  3" parts joined with its "  1" value.
struct Value {
    qint64 line;
    QString entity, handle, layer, text;
};

QList<Value> textValues(const QByteArray& file, DxfEncoding encoding) {
    QByteArrayList lines = file.split('\n');
    for (QByteArray& line : lines)
        line.chop(line.endsWith('\r') ? 1 : 0);
    QList<Value> values;
    const auto decode = [encoding](const QByteArray& bytes) {
        QString text;
        return DxfValueCodec::decodeInto(bytes, encoding, text) ? text : QString::fromLatin1(bytes);
    };
    Value current{0, {}, {}, {}, {}};
    qsizetype i = lines.indexOf("ENTITIES") + 1;
    for (; i > 0 && i + 1 < lines.size(); i += 2) {
        const QByteArray& code = lines[i];
        const QByteArray& value = lines[i + 1];
        const qint64 valueLine = i + 2;
        if (code == "  0") {
            current = {0,
                       value == "TEXT" || value == "MTEXT" ? QString::fromLatin1(value) : QString(),
                       {},
                       {},
                       {}};
        } else if (current.entity.isEmpty()) {
            continue;
        } else if (code == "  5") {
            current.handle = decode(value);
        } else if (code == "  8") {
            current.layer = decode(value);
        } else if (code == "  3" && current.entity == u"MTEXT") {
            if (current.line == 0)
                current.line = valueLine;
            current.text += decode(value);
        } else if (code == "  1") {
            if (current.line == 0)
                current.line = valueLine;
            current.text += decode(value);
            values.append(current);
            current.line = 0;
            current.text.clear();
        }
    }
    return values;
}

// The rows the driver ought to report: every value that differs between input and output.
QList<Row> expectedRows(const QString& file, const QByteArray& input, const QByteArray& output,
                        DxfEncoding encoding) {
    const QList<Value> before = textValues(input, encoding);
    const QList<Value> after = textValues(output, encoding);
    QList<Row> rows;
    if (before.size() != after.size())
        return {{u"value counts differ"_s, before.size(), {}, {}, {}, {}, {}}};
    for (qsizetype i = 0; i < before.size(); ++i) {
        const Value& b = before[i];
        if (b.text != after[i].text)
            rows.append({file, b.line, b.entity, b.handle, b.layer, b.text, after[i].text});
    }
    return rows;
}

TextOptions changingOptions() {
    TextOptions options;
    options.searchText = u"abc"_s;
    options.replaceText = u"a,\"b"_s;
    options.widthConversion = WidthConversion::ToFullWidth;
    options.widthDigits = true;
    options.caseConversion = CaseConversion::ToUpper;
    return options;
}

// A drawing with what the report must get right: a long MTEXT value in parts (the first one
// empty) whose change makes it need more of them, line breaks and special codes, an entity without
// handle or layer, a value left alone.
QByteArray variedDrawing(bool utf8, const QByteArray& lineEnd = "\r\n") {
    const QByteArray kanji = utf8 ? QByteArray("\xE5\x9B\xB3\xE9\x9D\xA2") : "\x90\x7D\x96\xCA";
    QByteArrayList longText = {"  0", "MTEXT",          "  5", "4A",       "100", "AcDbEntity",
                               "  8", kanji + "-layer", "100", "AcDbMText"};
    longText += {"  3", ""}; // an empty first part: the value's line starts with its line end
    for (int part = 0; part < 3; ++part)
        longText += {"  3", QByteArray(240, 'x') + "abc 12\\P%%d"};
    longText += {"  1", "tail abc", " 44", "1.0"};
    QByteArrayList text = textEntity(kanji + " abc %%u12 %%c3");
    text.insert(2, "  5");
    text.insert(3, "2B");
    return drawing(
        {text, mtextEntity("line abc\\Pnext {\\fArial;7}"), textEntity("same"), longText},
        utf8 ? "AC1021" : "AC1018", lineEnd);
}

// Changed values far apart, with thousands of line ends between them; a layer name that
// does not decode is reported by its bytes as Latin-1.
QByteArray sparseDrawing() {
    QByteArrayList line = {"  0", "LINE", "  8", "0"};
    for (int i = 0; i < 2000; ++i)
        line += {" 10", QByteArray::number(i) + ".5"};
    QByteArrayList badLayer = textEntity("abc 2");
    badLayer[5] = "\xFF\x81-layer";
    return drawing({textEntity("abc 1"), line, line, badLayer, line, mtextEntity("abc 3")},
                   "AC1018");
}

} // namespace

class TestDxfChangeReport : public QObject {
    Q_OBJECT
private slots:
    void rowsAreTheDifferencesOfInputAndOutput_data();
    void rowsAreTheDifferencesOfInputAndOutput();
    void linesCountedAcrossSmallBlocks();
    void dryRunWritesNothingAndReportsTheSame();
    void csvQuotesAndJsonLinesParse();
    void earlierReportReplacedOnlyWhole();
    void reportLargerThanTheWriterBufferComesOutWhole();
    void fieldsKeepEveryCharacter();
};

void TestDxfChangeReport::rowsAreTheDifferencesOfInputAndOutput_data() {
    QTest::addColumn<QString>("source");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("utf8");
    QTest::addColumn<int>("minimumRows");
    QTest::newRow("cp932 fixture")
        << QFINDTESTDATA("../data/text/text_r2000.dxf") << QByteArray() << false << 1;
    QTest::newRow("utf-8 fixture")
        << QFINDTESTDATA("../data/text/text_r2007.dxf") << QByteArray() << true << 5;
    QTest::newRow("cp932 drawing") << QString() << variedDrawing(false) << false << 3;
    QTest::newRow("utf-8 drawing") << QString() << variedDrawing(true) << true << 3;
    QTest::newRow("sparse drawing") << QString() << sparseDrawing() << false << 3;
}

void TestDxfChangeReport::rowsAreTheDifferencesOfInputAndOutput() {
    QFETCH(QString, source);
    QFETCH(QByteArray, bytes);
    QFETCH(bool, utf8);
    QFETCH(int, minimumRows);
    QTemporaryDir dir;
    const QString input = dir.filePath(u"drawing.dxf"_s);
    QVERIFY(writeFile(input, bytes.isEmpty() ? readFile(source) : bytes));
    TextPipeline pipeline(changingOptions());
    SilentPrompter prompter;
    Collector collector;
    DxfRewriter rewriter(pipeline, prompter);
    rewriter.setChangeObserver(&collector);
    QVERIFY(rewriter.run({input}).at(0).converted);
    const QList<Row> expected =
        expectedRows(input, readFile(input), readFile(DxfRewriter::outputPathFor(input)),
                     utf8 ? DxfEncoding::Utf8 : DxfEncoding::Cp932);
    QVERIFY2(collector.rows == expected,
             qPrintable(describe(collector.rows) + u"--- expected\n"_s + describe(expected)));
    QVERIFY(collector.rows.size() >= minimumRows);
}

// Blocks just long enough for the longest line, so lines are counted across many refills;
// lines ending in a lone CR are numbered like lines ending in CR LF.
void TestDxfChangeReport::linesCountedAcrossSmallBlocks() {
    const QByteArray input = variedDrawing(false);
    TextPipeline wholePipeline(changingOptions());
    DxfStreamRewriter whole(wholePipeline, DxfEncoding::Cp932);
    Collector wholeRows;
    whole.setChangeObserver(&wholeRows, u"in"_s);
    const QByteArray output = rewriteInMemory(input, whole, 1 << 16, 1 << 16).output;
    QCOMPARE(wholeRows.rows, expectedRows(u"in"_s, input, output, DxfEncoding::Cp932));
    for (const QByteArray lineEnd : {"\r\n", "\r"}) {
        const QByteArray ended = variedDrawing(false, lineEnd);
        for (const qsizetype block : {300, 333, 512, 1000, 1 << 16}) {
            TextPipeline pipeline(changingOptions());
            DxfStreamRewriter rewriter(pipeline, DxfEncoding::Cp932);
            Collector rows;
            rewriter.setChangeObserver(&rows, u"in"_s);
            const QByteArray out = rewriteInMemory(ended, rewriter, block, 32).output;
            QCOMPARE(out, QByteArray(output).replace("\r\n", lineEnd));
            QVERIFY2(rows.rows == wholeRows.rows, qPrintable(describe(rows.rows)));
        }
    }
}

void TestDxfChangeReport::dryRunWritesNothingAndReportsTheSame() {
    QTemporaryDir dir;
    const QString input = dir.filePath(u"drawing.dxf"_s);
    QVERIFY(writeFile(input, variedDrawing(true)));
    const auto runOnce = [&](bool dryRun, Collector& collector) {
        TextPipeline pipeline(changingOptions());
        SilentPrompter prompter;
        DxfRewriter rewriter(pipeline, prompter);
        rewriter.setDryRun(dryRun);
        rewriter.setChangeObserver(&collector);
        const DxfRewriteResult result = rewriter.run({input}).at(0);
        return std::make_pair(result.converted, pipeline.counters().replacedCount);
    };
    Collector dry;
    const auto dryOutcome = runOnce(true, dry);
    QVERIFY(dryOutcome.first);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{u"drawing.dxf"_s});
    Collector real;
    QCOMPARE(runOnce(false, real), dryOutcome);
    QCOMPARE(dry.rows, real.rows);
    QVERIFY(!real.rows.isEmpty());
}

void TestDxfChangeReport::csvQuotesAndJsonLinesParse() {
    QTemporaryDir dir;
    const DxfValueChange change{u"C:/a,b/x.dxf", 7,     TextEntityKind::MTextEntity,
                                u"1F",           u"壁", u"say \"hi\",\r\nthere",
                                u"plain"};
    const auto written = [&](const QString& name) {
        const QString path = dir.filePath(name);
        DxfChangeReport report(path, *DxfChangeReport::formatFor(path));
        if (!report.open())
            return QByteArray();
        report.valueChanged(change);
        report.valueChanged(change);
        return report.commit() ? readFile(path) : QByteArray();
    };
    const QByteArray row = "\"C:/a,b/x.dxf\",7,MTEXT,1F,\xE5\xA3\x81,\"say \"\"hi\"\",\r\nthere\","
                           "plain\r\n";
    QCOMPARE(written(u"r.CSV"_s), "\xEF\xBB\xBF"
                                  "file,line,entity,handle,layer,before,after\r\n" +
                                      row + row);

    const QByteArrayList lines = written(u"r.jsonl"_s).split('\n');
    QCOMPARE(lines.size(), 3);
    QVERIFY(lines.last().isEmpty());
    for (qsizetype i = 0; i < 2; ++i) {
        QJsonParseError error;
        const QJsonObject object = QJsonDocument::fromJson(lines[i], &error).object();
        QCOMPARE(error.error, QJsonParseError::NoError);
        QCOMPARE(object.keys(), (QStringList{u"after"_s, u"before"_s, u"entity"_s, u"file"_s,
                                             u"handle"_s, u"layer"_s, u"line"_s}));
        QCOMPARE(object[u"before"_s].toString(), change.before.toString());
        QCOMPARE(object[u"layer"_s].toString(), u"壁"_s);
        QCOMPARE(object[u"line"_s].toInteger(), 7);
        QCOMPARE(object[u"entity"_s].toString(), u"MTEXT"_s);
    }

    QVERIFY(!DxfChangeReport::formatFor(u"r.txt"_s));
    DxfChangeReport unwritable(dir.filePath(u"missing/r.csv"_s), DxfChangeReport::Format::Csv);
    QVERIFY(!unwritable.open());
}

// Until the report is complete, an earlier one of the name stays as it was; a cancelled report
// leaves nothing behind.
void TestDxfChangeReport::earlierReportReplacedOnlyWhole() {
    QTemporaryDir dir;
    const QString path = dir.filePath(u"r.jsonl"_s);
    const QByteArray earlier = "an earlier report\n";
    QVERIFY(writeFile(path, earlier));
    const DxfValueChange change{u"a.dxf", 3,     TextEntityKind::TextEntity, u"2B", u"0",
                                u"abc",   u"ABC"};
    const QStringList onlyTheReport{u"r.jsonl"_s};
    {
        DxfChangeReport report(path, DxfChangeReport::Format::Jsonl);
        QVERIFY(report.open());
        report.valueChanged(change);
        report.cancel();
    }
    QCOMPARE(readFile(path), earlier);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), onlyTheReport);

    DxfChangeReport report(path, DxfChangeReport::Format::Jsonl);
    QVERIFY(report.open());
    report.valueChanged(change);
    QCOMPARE(readFile(path), earlier);
    QVERIFY(report.commit());
    QCOMPARE(readFile(path), "{\"file\":\"a.dxf\",\"line\":3,\"entity\":\"TEXT\",\"handle\":\"2B\","
                             "\"layer\":\"0\",\"before\":\"abc\",\"after\":\"ABC\"}\n");
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), onlyTheReport);
}

// Rows beyond the first MiB go out from the report writer's thread, and the drawing's output
// from its own: the file still holds every row whole, in the order the changes were told.
void TestDxfChangeReport::reportLargerThanTheWriterBufferComesOutWhole() {
    QByteArrayList lines = headerLines() + entitiesStart();
    for (int i = 0; i < 4000; ++i)
        lines += textEntity("abc " + QByteArray::number(i) + ' ' + QByteArray(300, 'x'));
    lines += fileEnd();
    QTemporaryDir dir;
    const QString input = dir.filePath(u"many.dxf"_s);
    QVERIFY(writeFile(input, joinLines(lines)));
    const auto run = [&](DxfChangeObserver& observer) {
        TextPipeline pipeline(changingOptions());
        SilentPrompter prompter;
        DxfRewriter rewriter(pipeline, prompter);
        rewriter.setChangeObserver(&observer);
        return rewriter.run({input}).at(0).converted;
    };
    Collector told;
    QVERIFY(run(told));
    QCOMPARE(told.rows.size(), 4000);
    for (const DxfChangeFormat format : {DxfChangeFormat::Csv, DxfChangeFormat::Jsonl}) {
        const QString path = dir.filePath(u"r"_s);
        DxfChangeReport report(path, format);
        QVERIFY(report.open());
        QVERIFY(run(report));
        QVERIFY(report.commit());
        QByteArray expected = DxfChangeRowFormat::header(format).toByteArray();
        for (const Row& r : std::as_const(told.rows)) {
            const DxfValueChange change{
                r.file, r.line, TextEntityKind::TextEntity, r.handle, r.layer, r.before, r.after};
            DxfChangeRowFormat::appendRow(expected, DxfChangeRowFormat::field(r.file, format),
                                          change, format);
        }
        const QByteArray written = readFile(path);
        QVERIFY(written.size() > ThreadedByteWriter::kDefaultBufferSize);
        QCOMPARE(written.size(), expected.size());
        QVERIFY(written == expected);
    }
}

// Long ASCII runs, with the characters that need care at every place in them, next to Japanese
// text and characters outside the basic plane.
void TestDxfChangeReport::fieldsKeepEveryCharacter() {
    const QString special = u"\"\\\t\x01,\r\n"_s;
    QStringList values{u"abcdefghijklmnopqrstuvwxyz"_s, u"図面 ABCDEFGHIJ 名称 \\P KLMNOPQR"_s,
                       u"𠮷野家 0123456789 😀x"_s, QString()};
    for (qsizetype at = 0; at < 18; ++at) {
        for (const QChar c : special)
            values.append(u"0123456789abcdef"_s.insert(at % 17, c) + u"ｶﾀｶﾅ"_s);
    }
    for (const QString& value : std::as_const(values)) {
        const QByteArray json = DxfChangeRowFormat::field(value, DxfChangeFormat::Jsonl);
        QJsonParseError error;
        const QJsonDocument document = QJsonDocument::fromJson("[" + json + "]", &error);
        QCOMPARE(error.error, QJsonParseError::NoError);
        QCOMPARE(document.array().at(0).toString(), value);

        const QByteArray csv = DxfChangeRowFormat::field(value, DxfChangeFormat::Csv);
        const bool quoted = value.contains(u',') || value.contains(u'"') || value.contains(u'\r') ||
                            value.contains(u'\n');
        QByteArray expected = value.toUtf8();
        if (quoted)
            expected = '"' + expected.replace('"', "\"\"") + '"';
        QCOMPARE(csv, expected);
    }
    // JSON's short escapes where it has one, lower-case hex for the other controls.
    QCOMPARE(DxfChangeRowFormat::field(u"\b\t\n\x0b\f\r\x1f\x7f/\"\\"_s, DxfChangeFormat::Jsonl),
             "\"\\b\\t\\n\\u000b\\f\\r\\u001f\x7f/\\\"\\\\\"");
    // A surrogate without its pair has no UTF-8 form: it becomes U+FFFD, its neighbours stay.
    const QString lone =
        u"a"_s + QChar(0xD840) + u"b"_s + QChar(0xDC00) + u"0123456789"_s + QChar(0xD83D);
    const QByteArray replaced = "a\xEF\xBF\xBD"
                                "b\xEF\xBF\xBD"
                                "0123456789\xEF\xBF\xBD";
    QCOMPARE(DxfChangeRowFormat::field(lone, DxfChangeFormat::Csv), replaced);
    QCOMPARE(DxfChangeRowFormat::field(lone, DxfChangeFormat::Jsonl), '"' + replaced + '"');
}

QTEST_GUILESS_MAIN(TestDxfChangeReport)
#include "TestDxfChangeReport.moc"
