#include "DxfFixtures.h"
#include "DxfLongValue.h"
#include "DxfStreamRewriter.h"
#include "FunctionTransform.h"
#include "InMemoryRewrite.h"
#include "TextPipeline.h"

#include <QTest>

using namespace Qt::StringLiterals;

using namespace ornvale;
using namespace ornvale::test;

namespace {

// An MTEXT entity whose value AutoCAD split into "  3" chunks in front of the "  1" pair.
QByteArrayList longMText(const QByteArrayList& chunks, const QByteArray& last) {
    QByteArrayList lines{"  0", "MTEXT", "100", "AcDbEntity", "100", "AcDbMText"};
    for (const QByteArray& chunk : chunks)
        lines += QByteArrayList{"  3", chunk};
    return lines + QByteArrayList{"  1", last, " 44", "1.0"};
}

QByteArray encoded(const QString& text, DxfEncoding encoding) {
    QByteArray bytes;
    DxfValueCodec::encodeInto(text, encoding, bytes);
    return bytes;
}

// The "  3" and "  1" values of the MTEXT entities after "ENTITIES", decoded, in file order.
QStringList valuePairs(const QByteArray& output, DxfEncoding encoding) {
    const QByteArrayList lines = output.split('\n');
    QStringList values;
    bool entities = false;
    for (qsizetype i = 0; i + 1 < lines.size(); ++i) {
        const QByteArray line = lines[i].chopped(1); // the CR
        entities = entities || line == "ENTITIES";
        if (!entities || (line != "  3" && line != "  1"))
            continue;
        QString value;
        if (!DxfValueCodec::decodeInto(lines[i + 1].chopped(1), encoding, value))
            return {u"undecodable"_s};
        values.append((line == "  3" ? u"3:"_s : u"1:"_s) + value);
        ++i;
    }
    return values;
}

QByteArray rewrite(const QByteArray& input, ValueTransform& transform,
                   DxfEncoding encoding = DxfEncoding::Cp932,
                   qsizetype blockSize = DxfLineReader::kDefaultBlockSize) {
    DxfStreamRewriter rewriter(transform, encoding);
    return rewriteInMemory(input, rewriter, blockSize, blockSize).output;
}

} // namespace

class TestDxfLongValue : public QObject {
    Q_OBJECT

private slots:
    void convertsCodeCutByChunkBoundary();
    void cutsChunksBeforeSurrogatePair();
    void recutsChunks_data();
    void recutsChunks();
    void copiesRunAsRead_data();
    void copiesRunAsRead();
    void copiesChunksNotFollowedByValue();
    void copiesHugeValueAsRead();
    void conditionsAndCountersSeeWholeValue();
};

void TestDxfLongValue::convertsCodeCutByChunkBoundary() {
    // AutoCAD cut the font code after 250 characters; converted whole, the code stays a code.
    const QString lead = QString(230, u'a') + uR"({\fMS UI Gothic|b0|i)"_s;
    QCOMPARE(lead.size(), 250);
    const QString rest = u"0|c128|p50;ﾃｷｽﾄ}"_s;
    TextOptions options;
    options.widthConversion = WidthConversion::ToFullWidth;
    options.widthAll = true;
    TextPipeline pipeline(options);
    const QByteArray output = rewrite(drawing({longMText({encoded(lead, DxfEncoding::Cp932)},
                                                         encoded(rest, DxfEncoding::Cp932))}),
                                      pipeline);
    const QString whole = QString(230, u'ａ') + uR"({\fMS UI Gothic|b0|i0|c128|p50;テキスト})"_s;
    QCOMPARE(valuePairs(output, DxfEncoding::Cp932),
             (QStringList{u"3:"_s + whole.left(250), u"1:"_s + whole.mid(250)}));
    QCOMPARE(pipeline.counters().toFullWidthCount, 1.0);
}

void TestDxfLongValue::cutsChunksBeforeSurrogatePair() {
    // 249 units, then a pair that would end at unit 251: the first chunk ends before it.
    const QString pair = QString::fromUcs4(U"\U0001F600");
    const QByteArray input =
        drawing({longMText({QByteArray(200, 'a')},
                           QByteArray(49, 'a') + encoded(pair + u"b"_s, DxfEncoding::Utf8))},
                "AC1021");
    FunctionTransform transform(
        [](const QString& v, TextEntityKind) { return QString(v).replace(u'a', u'c'); });
    const QByteArray output = rewrite(input, transform, DxfEncoding::Utf8);
    QCOMPARE(valuePairs(output, DxfEncoding::Utf8),
             (QStringList{u"3:"_s + QString(249, u'c'), u"1:"_s + pair + u"b"_s}));
}

void TestDxfLongValue::recutsChunks_data() {
    QTest::addColumn<int>("chunks");   // "  3" chunks of 250 in the input
    QTest::addColumn<int>("lastSize"); // size of the "  1" value
    QTest::addColumn<int>("factor");   // the transform repeats the value this often, 0 shortens it
    QTest::addColumn<QList<int>>("sizes"); // sizes of the values written, "  1" last
    QTest::newRow("more chunks") << 2 << 100 << 2 << QList<int>{250, 250, 250, 250, 200};
    QTest::newRow("fewer chunks") << 3 << 10 << 0 << QList<int>{5};
    QTest::newRow("exactly two chunks") << 1 << 0 << 2 << QList<int>{250, 250};
    QTest::newRow("short value grows") << 0 << 200 << 2 << QList<int>{250, 150};
    QTest::newRow("value of one pair grows") << 0 << 2 << 130 << QList<int>{250, 10};
}

void TestDxfLongValue::recutsChunks() {
    QFETCH(int, chunks);
    QFETCH(int, lastSize);
    QFETCH(int, factor);
    QFETCH(QList<int>, sizes);
    FunctionTransform transform([factor](const QString& v, TextEntityKind) {
        return factor ? v.repeated(factor).toUpper() : v.left(5).toUpper();
    });
    const QByteArrayList parts(chunks, QByteArray(250, 'x'));
    // The "  1" value ends in a lone CR: every line of the new run takes that end.
    QByteArray input = drawing({longMText(parts, QByteArray(lastSize, 'x'))});
    const QByteArray valueLine = "  1\r\n" + QByteArray(lastSize, 'x') + "\r\n";
    input.replace(valueLine, valueLine.chopped(1));
    QByteArray run;
    for (qsizetype i = 0; i < sizes.size(); ++i)
        run += (i + 1 < sizes.size() ? "  3\r" : "  1\r") + QByteArray(sizes[i], 'X') + '\r';
    QByteArray head = drawing({longMText({}, "")});
    head.truncate(head.indexOf("  1\r\n\r\n"));
    // Blocks just longer than the longest line put a refill next to every line once.
    const qsizetype longest = qMax(lastSize, chunks ? 250 : 10) + 3;
    for (qsizetype blockSize = qMax<qsizetype>(16, longest); blockSize < longest + 45;
         ++blockSize) {
        QCOMPARE(rewrite(input, transform, DxfEncoding::Cp932, blockSize),
                 head + run + " 44\r\n1.0\r\n  0\r\nENDSEC\r\n  0\r\nEOF\r\n");
    }
}

void TestDxfLongValue::copiesRunAsRead_data() {
    QTest::addColumn<QByteArrayList>("chunks");
    QTest::addColumn<QByteArray>("last");
    QTest::addColumn<DxfEncoding>("encoding");
    QTest::addColumn<bool>("changes");
    QTest::newRow("unchanged, mixed line ends")
        << QByteArrayList{"k", "b"} << QByteArray("c\r") << DxfEncoding::Cp932 << false;
    QTest::newRow("code page, undecodable chunk")
        << QByteArrayList{"ok", "\x85\x40"} << QByteArray("c") << DxfEncoding::Cp932 << true;
    QTest::newRow("code page, undecodable last part")
        << QByteArrayList{"ok"} << QByteArray("ab\x81") << DxfEncoding::Cp932 << true;
    QTest::newRow("utf-8, sequence cut between chunks")
        << QByteArrayList{"a\xE3\x81"} << QByteArray("\x82") << DxfEncoding::Utf8 << true;
}

void TestDxfLongValue::copiesRunAsRead() {
    QFETCH(QByteArrayList, chunks);
    QFETCH(QByteArray, last);
    QFETCH(DxfEncoding, encoding);
    QFETCH(bool, changes);
    int calls = 0;
    FunctionTransform transform([&](const QString& v, TextEntityKind) {
        ++calls;
        return changes ? v + u"!"_s : v;
    });
    const QByteArray version = encoding == DxfEncoding::Utf8 ? "AC1021" : "AC1018";
    QByteArray input = drawing({longMText(chunks, last)}, version);
    input.replace("\r\nk\r\n", "\r\nk\r"); // a chunk line ending in a lone CR
    for (const qsizetype blockSize : {qsizetype(16), qsizetype(19), qsizetype(1) << 20})
        QCOMPARE(rewrite(input, transform, encoding, blockSize), input);
    QCOMPARE(calls, changes ? 0 : 3);
}

void TestDxfLongValue::copiesChunksNotFollowedByValue() {
    FunctionTransform transform([](const QString& v, TextEntityKind) { return v.toUpper(); });
    // Not directly in front of the "  1" pair; in front of the closing group; in a TEXT entity;
    // then a run cut short by the next entity, and one by the end of the input.
    const QByteArrayList apart{"  0", "MTEXT", "  3", "a", " 50", "0.0", "  1", "b", " 44", "1"};
    const QByteArrayList closing{"  0", "MTEXT", "  3", "c", "  3", "d", " 44", "1"};
    const QByteArrayList inText{"  0", "TEXT", "  3", "e", "  1", "f", "100", "AcDbText"};
    const QByteArrayList cut{"  0", "MTEXT", "  3", "g", "  0", "LINE", "  0", "MTEXT", "  3"};
    const QByteArray head = joinLines(headerLines() + entitiesStart());
    const QByteArray input = head + joinLines(apart + closing + inText + cut);
    QByteArrayList expected = apart + closing + inText + cut;
    expected[7] = "B";
    expected[23] = "F";
    QCOMPARE(rewrite(input, transform, DxfEncoding::Cp932, 16), head + joinLines(expected));
}

void TestDxfLongValue::copiesHugeValueAsRead() {
    // Several MiB of "  3" chunks are no value to hold in memory: the run is copied as read,
    // and the next long value is converted again.
    qsizetype longest = 0;
    FunctionTransform transform([&](const QString& v, TextEntityKind) {
        longest = qMax(longest, v.size());
        return v.toUpper();
    });
    const QByteArrayList huge(5 * DxfLongValue::kMaxBytes / 250, QByteArray(250, 'h'));
    const QByteArray input = drawing({longMText(huge, "h"), longMText({"s"}, "s")});
    const QByteArray output = rewrite(input, transform, DxfEncoding::Cp932, 4096);
    QCOMPARE(longest, 2);
    QByteArray expected = input;
    expected.replace("  3\r\ns\r\n  1\r\ns\r\n", "  1\r\nSS\r\n");
    QCOMPARE(output, expected);
}

void TestDxfLongValue::conditionsAndCountersSeeWholeValue() {
    const QByteArray input = drawing({longMText({"alpha be", "ta ga"}, "mma"), mtextEntity("ma")});
    TextOptions equal;
    equal.replaceMode = ReplaceMode::ReplaceEqualText;
    equal.searchText = u"alpha beta gamma"_s;
    equal.replaceText = u"ω"_s;
    TextPipeline equalText(equal);
    QCOMPARE(valuePairs(rewrite(input, equalText), DxfEncoding::Cp932),
             (QStringList{u"1:ω"_s, u"1:ma"_s}));
    QCOMPARE(equalText.counters().replacedCount, 1.0);

    // "eta g" lies across two chunks; the change spans all three parts and counts once.
    TextOptions contains;
    contains.conditions[0] = {u"eta g"_s, true};
    contains.replaceText = u"A"_s;
    contains.searchText = u"a"_s;
    TextPipeline condition(contains);
    QCOMPARE(valuePairs(rewrite(input, condition), DxfEncoding::Cp932),
             (QStringList{u"1:AlphA betA gAmmA"_s, u"1:ma"_s}));
    QCOMPARE(condition.counters().replacedCount, 1.0);
}

QTEST_GUILESS_MAIN(TestDxfLongValue)
#include "TestDxfLongValue.moc"
