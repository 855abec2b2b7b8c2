#include "DxfFixtures.h"
#include "DxfLineReader.h"
#include "DxfStreamRewriter.h"
#include "FunctionTransform.h"
#include "InMemoryRewrite.h"
#include "ThreadedByteWriter.h"

#include <QBuffer>
#include <QRandomGenerator>
#include <QTest>

using namespace Qt::StringLiterals;

using namespace ornvale;
using namespace ornvale::test;

namespace {

// Marks every value it is given with its entity kind, so a test sees which values reached the
// pipeline and as what.
QString markKind(const QString& value, TextEntityKind kind) {
    return (kind == TextEntityKind::TextEntity ? u"T<"_s : u"M<"_s) + value + u'>';
}

Rewritten rewrite(const QByteArray& input, FunctionTransform::Function function,
                  DxfEncoding encoding = DxfEncoding::Cp932,
                  qsizetype blockSize = DxfLineReader::kDefaultBlockSize) {
    FunctionTransform transform(std::move(function));
    DxfStreamRewriter rewriter(transform, encoding);
    return rewriteInMemory(input, rewriter, blockSize, blockSize);
}

// A device that accepts nothing, as a full disk does, or yields nothing, as a failed read does.
class BrokenDevice : public QIODevice {
public:
    explicit BrokenDevice(const QByteArray& data = {}) : m_data(data) {}

protected:
    qint64 readData(char* data, qint64 maxSize) override {
        if (m_data.isEmpty())
            return -1;
        const qint64 n = qMin<qint64>(maxSize, m_data.size());
        memcpy(data, m_data.constData(), size_t(n));
        m_data.remove(0, n);
        return n;
    }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    QByteArray m_data;
};

// The driver's rules applied the plain way, line after line, to check the buffered driver.
QByteArray lineByLine(const QByteArray& input) {
    struct Line {
        QByteArray text, end;
    };
    QList<Line> lines;
    for (qsizetype pos = 0; pos < input.size();) {
        qsizetype cr = input.indexOf('\r', pos);
        if (cr < 0) {
            lines.append({input.mid(pos), {}});
            break;
        }
        const qsizetype next = cr + 1 + (cr + 1 < input.size() && input[cr + 1] == '\n');
        lines.append({input.mid(pos, cr - pos), input.mid(cr, next - cr)});
        pos = next;
    }
    QByteArray out;
    qsizetype i = 0;
    const qsizetype n = lines.size();
    auto put = [&](const Line& line) { out += line.text + line.end; };
    while (i < n && lines[i].text != "ENTITIES")
        put(lines[i++]);
    if (i < n)
        put(lines[i++]);
    while (i < n) {
        const Line& start = lines[i++];
        put(start);
        if (start.text != "  0" || i >= n)
            continue;
        const QByteArray type = lines[i].text;
        put(lines[i++]);
        if (type != "TEXT" && type != "MTEXT")
            continue;
        const bool mtext = type == "MTEXT";
        int markers = 0;
        // An MTEXT's "  3" pairs right before its "  1" pair join that value; cut again into
        // chunks of 250, each line with the value line's end.
        QList<Line> held;
        QByteArray joined;
        const auto release = [&] {
            for (const Line& line : std::as_const(held))
                put(line);
            held.clear();
            joined.clear();
        };
        while (i < n && lines[i].text != "  0") {
            const Line& code = lines[i++];
            if (mtext && (code.text == "  3" || (code.text == "  1" && !held.isEmpty()))) {
                held.append(code);
                if (i >= n)
                    break;
                const Line& value = lines[i++];
                held.append(value);
                joined += value.text;
                if (code.text == "  3")
                    continue;
                if (value.end.isEmpty()) {
                    release();
                    continue;
                }
                const QByteArray result =
                    markKind(QString::fromLatin1(joined), TextEntityKind::MTextEntity).toLatin1();
                for (qsizetype at = 0;; at += 250) {
                    const bool last = result.size() - at <= 250;
                    out += (last ? "  1" : "  3") + value.end + result.mid(at, 250) + value.end;
                    if (last)
                        break;
                }
                held.clear();
                joined.clear();
                continue;
            }
            release();
            put(code);
            if (i >= n)
                break;
            const Line& value = lines[i++];
            if (code.text == "  1")
                out += markKind(QString::fromLatin1(value.text),
                                mtext ? TextEntityKind::MTextEntity : TextEntityKind::TextEntity)
                           .toLatin1() +
                       value.end;
            else
                put(value);
            if (mtext && code.text == " 44")
                break;
            if (!mtext && code.text == "100" && value.text == "AcDbText" && ++markers == 2)
                break;
        }
        release();
    }
    return out;
}

const QList<qsizetype> kBlockSizes{16, 17, 23, 64, DxfLineReader::kDefaultBlockSize};

} // namespace

class TestDxfStreamRewriter : public QObject {
    Q_OBJECT

private slots:
    void matchesLineByLineRules();
    void handsTextValuesToPipeline_data();
    void handsTextValuesToPipeline();
    void reproducesUnchangedDrawings_data();
    void reproducesUnchangedDrawings();
    void keepsUnchangedValuesBesideChangedOnes();
    void changedValueKeepsItsLineEnd_data();
    void changedValueKeepsItsLineEnd();
    void escapesCharactersOutsideCodePage_data();
    void escapesCharactersOutsideCodePage();
    void leavesUndecodableValuesAlone_data();
    void leavesUndecodableValuesAlone();
    void keepsLeadingByteOrderMark();
    void copiesOverlongLinesUnchanged();
    void reportsMissingEntities();
    void reportsDeviceFailures();
};

void TestDxfStreamRewriter::matchesLineByLineRules() {
    // Random drawings made of the lines the driver looks for, with every kind of line end and
    // every block size around them.
    const QByteArrayList words{"  0", "TEXT", "MTEXT",    "  1",  "100", "AcDbText", " 44",
                               "x",   "  3",  "ENTITIES", "  0 ", "",    "0"};
    const QByteArrayList ends{"\r\n", "\r\n", "\r\n", "\r", "\n"};
    QRandomGenerator random(20061001);
    for (int round = 0; round < 3000; ++round) {
        QByteArray input = round % 4 ? joinLines({"  0", "SECTION", "  2", "ENTITIES"}) : "";
        const int lineCount = random.bounded(1, 120);
        // Lines stay shorter than a block; over-long lines have their own test.
        qsizetype lineLength = 0;
        for (int line = 0; line < lineCount; ++line) {
            const QByteArray& word = words[random.bounded(words.size())];
            QByteArray end = ends[random.bounded(ends.size())];
            lineLength += word.size() + 1;
            if (end == "\n" && lineLength > 4)
                end = "\r";
            lineLength = end == "\n" ? lineLength : 0;
            input += word + end;
        }
        const qsizetype blockSize = random.bounded(16, 80);
        const Rewritten result = rewrite(input, markKind, DxfEncoding::Cp932, blockSize);
        if (result.output != lineByLine(input)) {
            qWarning() << "input" << input << "block size" << blockSize;
            QCOMPARE(result.output, lineByLine(input));
        }
    }
}

void TestDxfStreamRewriter::handsTextValuesToPipeline_data() {
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("entities transformed, blocks untouched")
        << drawing({textEntity("a"), mtextEntity("b")})
        << drawing({textEntity("T<a>"), mtextEntity("M<b>")});

    const QByteArrayList longMText{"  0", "MTEXT",        "100", "AcDbMText", "  3", "first chunk",
                                   "  3", "second chunk", "  1", "tail",      " 44", "1.0"};
    const QByteArrayList longMTextDone{
        "  0", "MTEXT", "100", "AcDbMText", "  1", "M<first chunksecond chunktail>", " 44", "1.0"};
    QTest::newRow("group-3 chunks joined") << drawing({longMText}) << drawing({longMTextDone});

    QTest::newRow("group 73 kept after the closing marker")
        << drawing({textEntity("v") + QByteArrayList{" 73", "2"}, textEntity("w")})
        << drawing({textEntity("T<v>") + QByteArrayList{" 73", "2"}, textEntity("T<w>")});

    const QByteArrayList attrib{"  0", "ATTRIB",    "100", "AcDbText",
                                "  1", "attribute", "100", "AcDbAttribute"};
    QTest::newRow("mtext without 44 followed by attrib")
        << drawing({{"  0", "MTEXT", "100", "AcDbMText", "  1", "m"}, attrib})
        << drawing({{"  0", "MTEXT", "100", "AcDbMText", "  1", "M<m>"}, attrib});

    const QByteArrayList dimension{"  0", "DIMENSION", "100", "AcDbDimension", "  1", "dim"};
    QTest::newRow("text without second marker followed by dimension")
        << drawing({{"  0", "TEXT", "100", "AcDbText", "  1", "t"}, dimension, textEntity("u")})
        << drawing(
               {{"  0", "TEXT", "100", "AcDbText", "  1", "T<t>"}, dimension, textEntity("T<u>")});

    QTest::newRow("value after the closing marker untouched")
        << drawing({textEntity("v") + QByteArrayList{"  1", "late"}})
        << drawing({textEntity("T<v>") + QByteArrayList{"  1", "late"}});

    QTest::newRow("a value reading like a group code is still a value")
        << drawing({textEntity("  0"), mtextEntity(" 44")})
        << drawing({textEntity("T<  0>"), mtextEntity("M< 44>")});

    const QByteArrayList loose{"0",   "TEXT",  "1",   "x",     "  0", "TEXT", "1",
                               "y",   " 1",    "z",   "001",   "w",   "  0",  "text",
                               "  1", "lower", "  0", " TEXT", "  1", "blank"};
    QTest::newRow("group codes not right-justified copied untransformed")
        << drawing({loose}) << drawing({loose});

    const QByteArrayList head = headerLines() + entitiesStart();
    QTest::newRow("end of input inside an mtext scan")
        << joinLines(head + QByteArrayList{"  0", "MTEXT", "  1", "open"}, "\r\n", false)
        << joinLines(head + QByteArrayList{"  0", "MTEXT", "  1", "M<open>"}, "\r\n", false);
    QTest::newRow("end of input between code and value")
        << joinLines(head + QByteArrayList{"  0", "TEXT", "  1"})
        << joinLines(head + QByteArrayList{"  0", "TEXT", "  1"});
    QTest::newRow("end of input right after the entity type")
        << joinLines(head + QByteArrayList{"  0", "MTEXT"}, "\r\n", false)
        << joinLines(head + QByteArrayList{"  0", "MTEXT"}, "\r\n", false);

    QTest::newRow("texts before the entities section untouched")
        << joinLines(headerLines() + QByteArrayList{"  0", "TEXT", "  1", "early"} +
                     entitiesStart() + textEntity("late"))
        << joinLines(headerLines() + QByteArrayList{"  0", "TEXT", "  1", "early"} +
                     entitiesStart() + textEntity("T<late>"));
}

void TestDxfStreamRewriter::handsTextValuesToPipeline() {
    QFETCH(QByteArray, input);
    QFETCH(QByteArray, expected);
    for (qsizetype blockSize : kBlockSizes) {
        const Rewritten result = rewrite(input, markKind, DxfEncoding::Cp932, blockSize);
        QCOMPARE(result.outcome, DxfStreamRewriter::Outcome::Done);
        QCOMPARE(result.output, expected);
    }
}

void TestDxfStreamRewriter::reproducesUnchangedDrawings_data() {
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<DxfEncoding>("encoding");

    const auto fixture = [](const char* name) {
        return readFile(QStringLiteral(ORNVALE_TEST_DATA "/text/") + QLatin1String(name));
    };
    QTest::newRow("real drawing, code page") << fixture("text_r2004.dxf") << DxfEncoding::Cp932;
    QTest::newRow("real drawing, utf-8") << fixture("text_r2007.dxf") << DxfEncoding::Utf8;
    QTest::newRow("lone CR line ends")
        << drawing({textEntity("a"), mtextEntity("b")}, "AC1018", "\r") << DxfEncoding::Cp932;
    QTest::newRow("lone CR inside a value")
        << drawing({textEntity("a\rb"), mtextEntity("c\rd\re")}) << DxfEncoding::Cp932;
    QTest::newRow("LF inside a value")
        << drawing({textEntity("a\nb"), mtextEntity("\n")}) << DxfEncoding::Cp932;
    QTest::newRow("mixed line ends, last line without one")
        << QByteArray(drawing({textEntity("a")}) + "  0\rTEXT\n  1\r\nlast") << DxfEncoding::Cp932;
    QTest::newRow("last line ends in a lone CR")
        << QByteArray(drawing({textEntity("a")}) + "  0\r\nTEXT\r\n  1\r\nlast\r")
        << DxfEncoding::Cp932;
    // ED40 and 8790 decode to characters whose preferred encoding is another pair (FA5C,
    // 81E0); 8540 and a trailing lead byte decode to nothing at all.
    QTest::newRow("code page duplicates and invalid bytes")
        << drawing({{"  0", "LINE", "999", "\xED\x40\x87\x90\xFA\x40"},
                    textEntity("\xED\x40\x87\x90 \xFA\x40"),
                    mtextEntity("\x85\x40 bad \x81"),
                    textEntity("\x82\xA0\x96\xCA")})
        << DxfEncoding::Cp932;
    QTest::newRow("invalid utf-8 kept")
        << drawing({textEntity("\xC3\x28"), mtextEntity("\xC0\xAF\xED\xA0\x80"),
                    textEntity("\xE5\x9B\xB3")},
                   "AC1021")
        << DxfEncoding::Utf8;
    QTest::newRow("byte-order mark kept")
        << QByteArray("\xEF\xBB\xBF" + drawing({textEntity("x")}, "AC1021")) << DxfEncoding::Utf8;
    QTest::newRow("empty values") << drawing({textEntity(""), mtextEntity("")})
                                  << DxfEncoding::Cp932;
}

void TestDxfStreamRewriter::reproducesUnchangedDrawings() {
    QFETCH(QByteArray, input);
    QFETCH(DxfEncoding, encoding);
    QVERIFY(!input.isEmpty());
    const auto identity = [](const QString& value, TextEntityKind) { return value; };
    for (qsizetype blockSize : kBlockSizes) {
        // Once with every value decoded and compared, once copied without decoding.
        const Rewritten decoded = rewrite(input, identity, encoding, blockSize);
        QCOMPARE(decoded.outcome, DxfStreamRewriter::Outcome::Done);
        QCOMPARE(decoded.output, input);
        QCOMPARE(rewrite(input, {}, encoding, blockSize).output, input);
    }
}

void TestDxfStreamRewriter::keepsUnchangedValuesBesideChangedOnes() {
    // ED40 and 8790 decode fine but encode back as FA5C and 81E0: an unchanged value must
    // never go through the encoder.
    const auto changeOne = [](const QString& value, TextEntityKind) {
        return value == u"change"_s ? u"changed"_s : value;
    };
    const QByteArrayList extension{"  0", "LINE", "999", "\xED\x40\x87\x90"};
    const QByteArray input = drawing({extension, textEntity("\xED\x40\x87\x90 keep"),
                                      mtextEntity("change"), textEntity("\x85\x40")});
    const QByteArray expected = drawing({extension, textEntity("\xED\x40\x87\x90 keep"),
                                         mtextEntity("changed"), textEntity("\x85\x40")});
    QCOMPARE(rewrite(input, changeOne).output, expected);
}

void TestDxfStreamRewriter::changedValueKeepsItsLineEnd_data() {
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QByteArray>("expected");
    const QByteArray head = joinLines(headerLines() + entitiesStart()) + "  0\r\nTEXT\r\n  1\r\n";
    QTest::newRow("CR LF") << QByteArray(head + "v\r\n100\r\n")
                           << QByteArray(head + "T<v>\r\n100\r\n");
    QTest::newRow("lone CR") << QByteArray(head + "v\r100\r\n")
                             << QByteArray(head + "T<v>\r100\r\n");
    QTest::newRow("last line without one") << QByteArray(head + "v") << QByteArray(head + "T<v>");
}

void TestDxfStreamRewriter::changedValueKeepsItsLineEnd() {
    QFETCH(QByteArray, input);
    QFETCH(QByteArray, expected);
    QCOMPARE(rewrite(input, markKind).output, expected);
}

void TestDxfStreamRewriter::escapesCharactersOutsideCodePage_data() {
    QTest::addColumn<QString>("replacement");
    QTest::addColumn<DxfEncoding>("encoding");
    QTest::addColumn<QByteArray>("written");

    QTest::newRow("hangul") << u"a한b"_s << DxfEncoding::Cp932 << QByteArray("a\\U+D55Cb");
    QTest::newRow("outside the basic plane as two surrogates")
        << QString::fromUcs4(U"x\U0001F600") << DxfEncoding::Cp932
        << QByteArray("x\\U+D83D\\U+DE00");
    QTest::newRow("euro and y diaeresis, upper-case hex")
        << u"€ÿ"_s << DxfEncoding::Cp932 << QByteArray("\\U+20AC\\U+00FF");
    QTest::newRow("japanese in the code page")
        << u"図面ｶ"_s << DxfEncoding::Cp932 << QByteArray("\x90\x7D\x96\xCA\xB6");
    QTest::newRow("utf-8 needs no escape")
        << u"図한"_s << DxfEncoding::Utf8 << QByteArray("\xE5\x9B\xB3\xED\x95\x9C");
    QTest::newRow("utf-8, pair kept, lone surrogates escaped")
        << QString::fromUcs4(U"\U0001F600") + QChar(0xD800) + u"図"_s + QChar(0xDC00)
        << DxfEncoding::Utf8 << QByteArray("\xF0\x9F\x98\x80\\U+D800\xE5\x9B\xB3\\U+DC00");
}

void TestDxfStreamRewriter::escapesCharactersOutsideCodePage() {
    QFETCH(QString, replacement);
    QFETCH(DxfEncoding, encoding);
    QFETCH(QByteArray, written);
    const auto replace = [&](const QString&, TextEntityKind) { return replacement; };
    const QByteArray version = encoding == DxfEncoding::Utf8 ? "AC1021" : "AC1018";
    QCOMPARE(rewrite(drawing({textEntity("old")}, version), replace, encoding).output,
             drawing({textEntity(written)}, version));
}

void TestDxfStreamRewriter::leavesUndecodableValuesAlone_data() {
    QTest::addColumn<QByteArray>("bad");
    QTest::addColumn<QByteArray>("good");
    QTest::addColumn<QString>("goodDecoded");
    QTest::addColumn<DxfEncoding>("encoding");
    QTest::newRow("code page, unassigned pair")
        << QByteArray("\x85\x40") << QByteArray("\x82\xA0") << u"あ"_s << DxfEncoding::Cp932;
    QTest::newRow("code page, lead byte at the end")
        << QByteArray("ab\x81") << QByteArray("ab") << u"ab"_s << DxfEncoding::Cp932;
    QTest::newRow("utf-8, truncated sequence")
        << QByteArray("\xE3\x81") << QByteArray("\xE3\x81\x82") << u"あ"_s << DxfEncoding::Utf8;
    QTest::newRow("utf-8, encoded surrogate")
        << QByteArray("\xED\xA0\x80") << QByteArray("ok") << u"ok"_s << DxfEncoding::Utf8;
    QTest::newRow("utf-8, overlong slash")
        << QByteArray("\xC0\xAF") << QByteArray("/") << u"/"_s << DxfEncoding::Utf8;
}

void TestDxfStreamRewriter::leavesUndecodableValuesAlone() {
    QFETCH(QByteArray, bad);
    QFETCH(QByteArray, good);
    QFETCH(QString, goodDecoded);
    QFETCH(DxfEncoding, encoding);
    QStringList seen;
    const auto record = [&](const QString& value, TextEntityKind) {
        seen.append(value);
        return u"new"_s;
    };
    const Rewritten result =
        rewrite(drawing({textEntity(bad), mtextEntity(good)}), record, encoding);
    QCOMPARE(seen, QStringList{goodDecoded});
    QCOMPARE(result.output, drawing({textEntity(bad), mtextEntity("new")}));
}

void TestDxfStreamRewriter::keepsLeadingByteOrderMark() {
    // U+FEFF at the start of a value is a character of the value like any other.
    QString seen;
    const auto upper = [&](const QString& value, TextEntityKind) {
        seen = value;
        return value.toUpper();
    };
    const Rewritten result = rewrite(drawing({textEntity("\xEF\xBB\xBF"
                                                         "abc")},
                                             "AC1021"),
                                     upper, DxfEncoding::Utf8);
    QCOMPARE(seen, QString(QChar(0xFEFF)) + u"abc"_s);
    QCOMPARE(result.output, drawing({textEntity("\xEF\xBB\xBF"
                                                "ABC")},
                                    "AC1021"));
}

void TestDxfStreamRewriter::copiesOverlongLinesUnchanged() {
    // With 16-byte blocks these lines come in pieces; a piece must never be taken for a line.
    const QByteArray longValue(40, 'v');
    const QByteArray endsLikeCode = QByteArray(16, 'x') + "  0";
    const QByteArray input = drawing({textEntity(longValue),
                                      {"999", endsLikeCode, "TEXT", "  1", "loose"},
                                      mtextEntity("short")});
    const QByteArray expected = drawing({textEntity(longValue),
                                         {"999", endsLikeCode, "TEXT", "  1", "loose"},
                                         mtextEntity("M<short>")});
    QCOMPARE(rewrite(input, markKind, DxfEncoding::Cp932, 16).output, expected);
    // "ENTITIES" after a long header line is still found.
    const QByteArray late = joinLines(headerLines() + QByteArrayList{"999", QByteArray(50, 'h')} +
                                      entitiesStart() + textEntity("t"));
    QCOMPARE(rewrite(late, markKind, DxfEncoding::Cp932, 16).outcome,
             DxfStreamRewriter::Outcome::Done);
}

void TestDxfStreamRewriter::reportsMissingEntities() {
    const QByteArray noEntities = joinLines(headerLines() + blocksLines() + fileEnd());
    const Rewritten result = rewrite(noEntities, markKind);
    QCOMPARE(result.outcome, DxfStreamRewriter::Outcome::NoEntities);
    // "entities" in another case, or with a blank, is not the section name.
    QCOMPARE(
        rewrite(joinLines(headerLines() + QByteArrayList{"  2", "entities", "  2", "ENTITIES "}),
                markKind)
            .outcome,
        DxfStreamRewriter::Outcome::NoEntities);
}

void TestDxfStreamRewriter::reportsDeviceFailures() {
    const QByteArray input = drawing({textEntity("a")});
    {
        QByteArray source = input;
        QBuffer in(&source);
        in.open(QIODevice::ReadOnly);
        BrokenDevice out;
        out.open(QIODevice::WriteOnly);
        DxfLineReader reader(in);
        ThreadedByteWriter writer(out);
        FunctionTransform transform(markKind);
        DxfStreamRewriter rewriter(transform, DxfEncoding::Cp932);
        QCOMPARE(rewriter.rewrite(reader, writer), DxfStreamRewriter::Outcome::WriteFailed);
    }
    {
        // The first block arrives, then the device fails.
        BrokenDevice in(input.left(40));
        in.open(QIODevice::ReadOnly);
        QByteArray target;
        QBuffer out(&target);
        out.open(QIODevice::WriteOnly);
        DxfLineReader reader(in, 32);
        ThreadedByteWriter writer(out);
        FunctionTransform transform(markKind);
        DxfStreamRewriter rewriter(transform, DxfEncoding::Cp932);
        QCOMPARE(rewriter.rewrite(reader, writer), DxfStreamRewriter::Outcome::ReadFailed);
    }
}

QTEST_GUILESS_MAIN(TestDxfStreamRewriter)
#include "TestDxfStreamRewriter.moc"
