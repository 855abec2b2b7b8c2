#include "TextPipeline.h"

#include <QTest>

using namespace ornvale;
using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(ornvale::TextOptions)

namespace {

constexpr auto TEXT = TextEntityKind::TextEntity;
constexpr auto MTEXT = TextEntityKind::MTextEntity;

TextOptions replaceMatching(const QString& replacement) {
    TextOptions o;
    o.replaceMode = ReplaceMode::ReplaceMatchingText;
    o.replaceText = replacement;
    return o;
}

TextOptions fullWidthOf(bool all, bool alphabet, bool digits, bool katakana) {
    TextOptions o;
    o.widthConversion = WidthConversion::ToFullWidth;
    o.widthAll = all;
    o.widthAlphabet = alphabet;
    o.widthDigits = digits;
    o.widthKatakana = katakana;
    return o;
}

} // namespace

class TestTextPipeline : public QObject {
    Q_OBJECT
private slots:
    void matchingTextWithoutConditionsReplacesEverything();
    void replaceModes_data();
    void replaceModes();
    void containsConditions_data();
    void containsConditions();
    void valueConditions_data();
    void valueConditions();
    void entityKinds();
    void widthCountsPerSubStep();
    void widthSteps_data();
    void widthSteps();
    void codesRestoredOnlyWhenWidthRuns();
    void caseAndKana_data();
    void caseAndKana();
    void changeAndChangeBackCountsTwice();
    void countersAccumulateAndReset();
    void returnedValuesStayIntact();
    void changesNothing_data();
    void changesNothing();
};

void TestTextPipeline::matchingTextWithoutConditionsReplacesEverything() {
    TextPipeline pipeline(replaceMatching(u"R"_s));
    QCOMPARE(pipeline.transform(u"abc"_s, TEXT), u"R"_s);
    QCOMPARE(pipeline.transform(u""_s, MTEXT), u"R"_s);
    QCOMPARE(pipeline.transform(u"R"_s, TEXT), u"R"_s);
    QCOMPARE(pipeline.counters().replacedCount, 2.0); // the value already "R" did not change
}

void TestTextPipeline::replaceModes_data() {
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("search");
    QTest::addColumn<QString>("replacement");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("expected");
    const int occurrences = int(ReplaceMode::ReplaceOccurrences);
    const int equal = int(ReplaceMode::ReplaceEqualText);
    QTest::newRow("occurrences exact")
        << occurrences << u"A"_s << u"B"_s << u"AaＡA"_s << u"BaＡB"_s;
    QTest::newRow("occurrences without overlap")
        << occurrences << u"aa"_s << u"b"_s << u"aaa"_s << u"ba"_s;
    QTest::newRow("occurrences continue after inserted text")
        << occurrences << u"a"_s << u"aa"_s << u"aba"_s << u"aabaa"_s;
    QTest::newRow("occurrences after a false start")
        << occurrences << u"aab"_s << u"X"_s << u"aaabaab"_s << u"aXX"_s;
    QTest::newRow("occurrences partial match at the end")
        << occurrences << u"abc"_s << u"X"_s << u"abxab"_s << u"abxab"_s;
    QTest::newRow("occurrences pattern longer than the value")
        << occurrences << u"abcd"_s << u"X"_s << u"abc"_s << u"abc"_s;
    QTest::newRow("occurrences long pattern")
        << occurrences << u"配管詳細図の寸法（単位ミリメートル）"_s << u"X"_s
        << u"A配管詳細図の寸法（単位ミリメートル）B配管詳細図の寸法"_s << u"AXB配管詳細図の寸法"_s;
    QTest::newRow("occurrences delete") << occurrences << u"-"_s << u""_s << u"a-b-"_s << u"ab"_s;
    QTest::newRow("occurrences empty search does nothing")
        << occurrences << u""_s << u"X"_s << u"abc"_s << u"abc"_s;
    QTest::newRow("equal text") << equal << u"ABC"_s << u"X"_s << u"ABC"_s << u"X"_s;
    QTest::newRow("equal text trailing blank")
        << equal << u"ABC"_s << u"X"_s << u"ABC "_s << u"ABC "_s;
    QTest::newRow("equal text inside") << equal << u"ABC"_s << u"X"_s << u"xABC"_s << u"xABC"_s;
    QTest::newRow("equal empty replaces empty") << equal << u""_s << u"X"_s << u""_s << u"X"_s;
    QTest::newRow("equal empty leaves others") << equal << u""_s << u"X"_s << u"a"_s << u"a"_s;
}

void TestTextPipeline::replaceModes() {
    QFETCH(int, mode);
    QFETCH(QString, search);
    QFETCH(QString, replacement);
    QFETCH(QString, value);
    QFETCH(QString, expected);
    TextOptions o;
    o.replaceMode = ReplaceMode(mode);
    o.searchText = search;
    o.replaceText = replacement;
    TextPipeline pipeline(o);
    QCOMPARE(pipeline.transform(value, TEXT), expected);
    QCOMPARE(pipeline.counters().replacedCount, value == expected ? 0.0 : 1.0);
}

// Condition 0 contains "A", condition 1 does not contain "B" (condition 2 off).
void TestTextPipeline::containsConditions_data() {
    QTest::addColumn<bool>("useAnd");
    QTest::addColumn<QString>("value");
    QTest::addColumn<bool>("passes");
    QTest::newRow("And AC") << true << u"AC"_s << true;
    QTest::newRow("And AB") << true << u"AB"_s << false;
    QTest::newRow("And C") << true << u"C"_s << false;
    QTest::newRow("And B") << true << u"B"_s << false;
    QTest::newRow("Or AC") << false << u"AC"_s << true;
    QTest::newRow("Or C") << false << u"C"_s << true;
    QTest::newRow("Or AB") << false << u"AB"_s << true;
    QTest::newRow("Or B") << false << u"B"_s << false;
    QTest::newRow("Or full-width A is no A") << false << u"ＡB"_s << false;
}

void TestTextPipeline::containsConditions() {
    QFETCH(bool, useAnd);
    QFETCH(QString, value);
    QFETCH(bool, passes);
    TextOptions o = replaceMatching(u"R"_s);
    o.conditionJoin = useAnd ? ConditionJoin::And : ConditionJoin::Or;
    o.conditions[0] = {u"A"_s, true};
    o.conditions[2] = {u"B"_s, false}; // an unused middle row is skipped
    TextPipeline pipeline(o);
    QCOMPARE(pipeline.transform(value, TEXT), passes ? u"R"_s : value);
}

void TestTextPipeline::valueConditions_data() {
    QTest::addColumn<int>("condition");
    QTest::addColumn<QString>("value");
    QTest::addColumn<bool>("passes");
    const int dateOnly = int(ValueCondition::DateOnly), notDate = int(ValueCondition::NotDateOnly);
    const int numeric = int(ValueCondition::NumericOnly);
    const int notNumeric = int(ValueCondition::NotNumericOnly);
    const int neither = int(ValueCondition::NeitherDateNorNumeric);
    QTest::newRow("date only, date") << dateOnly << u"2006/10/01"_s << true;
    QTest::newRow("date only, time") << dateOnly << u"12:30"_s << true;
    QTest::newRow("date only, text") << dateOnly << u"abc"_s << false;
    QTest::newRow("date only, empty") << dateOnly << u""_s << false;
    QTest::newRow("not date, date") << notDate << u"2006/10/01"_s << false;
    QTest::newRow("not date, empty") << notDate << u""_s << true;
    QTest::newRow("numeric, thousands") << numeric << u"1,000"_s << true;
    QTest::newRow("numeric, text") << numeric << u"1,00"_s << false;
    QTest::newRow("not numeric, number") << notNumeric << u"-3.5"_s << false;
    QTest::newRow("neither, text") << neither << u"abc"_s << true;
    QTest::newRow("neither, empty") << neither << u""_s << true;
    QTest::newRow("neither, number") << neither << u"120"_s << false;
    QTest::newRow("neither, date") << neither << u"2006/10/01"_s << false;
}

void TestTextPipeline::valueConditions() {
    QFETCH(int, condition);
    QFETCH(QString, value);
    QFETCH(bool, passes);
    TextOptions o = replaceMatching(u"R"_s);
    o.valueCondition = ValueCondition(condition);
    TextPipeline pipeline(o);
    QCOMPARE(pipeline.transform(value, TEXT), passes ? u"R"_s : value);
}

void TestTextPipeline::entityKinds() {
    TextOptions o = fullWidthOf(true, false, false, false);
    o.caseConversion = CaseConversion::ToUpper;
    o.kanaConversion = KanaConversion::HiraganaToKatakana;
    o.replaceMode = ReplaceMode::ReplaceMatchingText;
    o.replaceText = u"%%Cあa"_s;
    o.targetEntities = TargetEntities::TextOnly;
    TextPipeline textOnly(o);
    QCOMPARE(textOnly.transform(u"x%%C"_s, MTEXT), u"x%%C"_s);
    QCOMPARE(textOnly.counters().replacedCount + textOnly.counters().toFullWidthCount +
                 textOnly.counters().caseChangedCount + textOnly.counters().toKatakanaCount,
             0.0);
    QCOMPARE(textOnly.transform(u"x"_s, TEXT), u"%%CアＡ"_s);
    o.targetEntities = TargetEntities::MTextOnly;
    TextPipeline mtextOnly(o);
    QCOMPARE(mtextOnly.transform(u"x"_s, TEXT), u"x"_s);
    QCOMPARE(mtextOnly.transform(u"x"_s, MTEXT), u"%%CアＡ"_s);
}

void TestTextPipeline::widthCountsPerSubStep() {
    TextPipeline classes(fullWidthOf(false, true, true, false));
    QCOMPARE(classes.transform(u"A1"_s, TEXT), u"Ａ１"_s);
    QCOMPARE(classes.counters().toFullWidthCount, 2.0);
    TextPipeline all(fullWidthOf(true, true, true, false));
    QCOMPARE(all.transform(u"A1"_s, TEXT), u"Ａ１"_s);
    QCOMPARE(all.counters().toFullWidthCount, 1.0);
    TextPipeline three(fullWidthOf(false, true, true, true));
    QCOMPARE(three.transform(u"A1ｱ"_s, TEXT), u"Ａ１ア"_s);
    QCOMPARE(three.counters().toFullWidthCount, 3.0);
    QCOMPARE(three.transform(u"漢"_s, TEXT), u"漢"_s);
    QCOMPARE(three.counters().toFullWidthCount, 3.0);
}

void TestTextPipeline::widthSteps_data() {
    QTest::addColumn<bool>("toFull");
    QTest::addColumn<bool>("all");
    QTest::addColumn<bool>("extraRows");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("expected");
    QTest::newRow("all to full") << true << true << false << u"a-1 ｶﾞ"_s << u"ａ－１　ガ"_s;
    QTest::newRow("classes to full without extra rows")
        << true << false << false << u"a-1.5 ｶﾞｰ"_s << u"ａ-１.５ ガｰ"_s;
    QTest::newRow("classes to full with extra rows")
        << true << false << true << u"a-1.5 ｶﾞｰ"_s << u"ａ－１．５ ガー"_s;
    QTest::newRow("all to half") << false << true << false << u"ａ－１　ガ・"_s << u"a-1 ｶﾞ･"_s;
    QTest::newRow("classes to half with extra rows")
        << false << false << true << u"ａ－１　ガ・ー"_s << u"a-1　ｶﾞ・ｰ"_s;
    QTest::newRow("MTEXT font code kept")
        << true << true << false << u"{\\fArial|b0;ﾃｷｽﾄ1}"_s << u"{\\fArial|b0;テキスト１}"_s;
}

void TestTextPipeline::widthSteps() {
    QFETCH(bool, toFull);
    QFETCH(bool, all);
    QFETCH(bool, extraRows);
    QFETCH(QString, value);
    QFETCH(QString, expected);
    TextOptions o = fullWidthOf(all, true, true, true);
    o.widthConversion = toFull ? WidthConversion::ToFullWidth : WidthConversion::ToHalfWidth;
    o.widthDashPeriod = extraRows;
    o.widthKanaMarks = extraRows;
    TextPipeline pipeline(o);
    QCOMPARE(pipeline.transform(value, MTEXT), expected);
    const TextCounters& c = pipeline.counters();
    QCOMPARE(toFull ? c.toHalfWidthCount : c.toFullWidthCount, 0.0);
    QVERIFY((toFull ? c.toFullWidthCount : c.toHalfWidthCount) >= 1.0);
}

void TestTextPipeline::codesRestoredOnlyWhenWidthRuns() {
    for (bool all : {true, false}) {
        TextPipeline width(fullWidthOf(all, false, false, true)); // katakana only: nothing to do
        QCOMPARE(width.transform(u"%%C"_s, TEXT), u"%%c"_s);
        QCOMPARE(width.counters().toFullWidthCount, 1.0);
    }
    TextPipeline noClass(fullWidthOf(false, false, false, false));
    QCOMPARE(noClass.transform(u"%%C"_s, TEXT), u"%%C"_s);
    TextPipeline none{TextOptions{}};
    QCOMPARE(none.transform(u"%%C"_s, TEXT), u"%%C"_s);
}

void TestTextPipeline::caseAndKana_data() {
    QTest::addColumn<int>("caseConversion");
    QTest::addColumn<int>("kanaConversion");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<double>("caseCount");
    QTest::addColumn<double>("kanaCount");
    QTest::newRow("upper with full-width Latin")
        << 1 << 0 << u"aｂ\\Pc"_s << u"AＢ\\PC"_s << 1.0 << 0.0;
    QTest::newRow("lower") << 2 << 0 << u"ABC"_s << u"abc"_s << 1.0 << 0.0;
    QTest::newRow("upper of upper counts nothing") << 1 << 0 << u"ABC"_s << u"ABC"_s << 0.0 << 0.0;
    QTest::newRow("to katakana") << 0 << 1 << u"ひらがな"_s << u"ヒラガナ"_s << 0.0 << 1.0;
    QTest::newRow("to hiragana") << 0 << 2 << u"カタカナｶﾀ"_s << u"かたかなｶﾀ"_s << 0.0 << 1.0;
    QTest::newRow("kana without protection") << 0 << 1 << u"凹凸ん"_s << u"凹凸ン"_s << 0.0 << 1.0;
}

void TestTextPipeline::caseAndKana() {
    QFETCH(int, caseConversion);
    QFETCH(int, kanaConversion);
    QFETCH(QString, value);
    QFETCH(QString, expected);
    QFETCH(double, caseCount);
    QFETCH(double, kanaCount);
    TextOptions o;
    o.caseConversion = CaseConversion(caseConversion);
    o.kanaConversion = KanaConversion(kanaConversion);
    TextPipeline pipeline(o);
    QCOMPARE(pipeline.transform(value, MTEXT), expected);
    QCOMPARE(pipeline.counters().caseChangedCount, caseCount);
    QCOMPARE(pipeline.counters().toKatakanaCount + pipeline.counters().toHiraganaCount, kanaCount);
}

void TestTextPipeline::changeAndChangeBackCountsTwice() {
    TextOptions o;
    o.searchText = u"a"_s;
    o.replaceText = u"A"_s;
    o.caseConversion = CaseConversion::ToLower;
    TextPipeline pipeline(o);
    QCOMPARE(pipeline.transform(u"abc"_s, TEXT), u"abc"_s);
    QCOMPARE(pipeline.counters().replacedCount, 1.0);
    QCOMPARE(pipeline.counters().caseChangedCount, 1.0);

    TextOptions widthBack = fullWidthOf(false, true, false, false);
    widthBack.kanaConversion = KanaConversion::HiraganaToKatakana;
    widthBack.searchText = u"Ａ"_s;
    widthBack.replaceText = u"A"_s;
    TextPipeline back(widthBack);
    QCOMPARE(back.transform(u"Ａ"_s, TEXT), u"Ａ"_s);
    QCOMPARE(back.counters().replacedCount, 1.0);
    QCOMPARE(back.counters().toFullWidthCount, 1.0);
    QCOMPARE(back.counters().toKatakanaCount, 0.0);
}

void TestTextPipeline::countersAccumulateAndReset() {
    TextOptions o;
    o.kanaConversion = KanaConversion::KatakanaToHiragana;
    TextPipeline pipeline(o);
    for (int i = 0; i < 5; ++i)
        pipeline.transform(u"ア"_s, TEXT);
    pipeline.transform(u"あ"_s, TEXT);
    QCOMPARE(pipeline.counters().toHiraganaCount, 5.0);
    pipeline.resetCounters();
    QCOMPARE(pipeline.counters().toHiraganaCount, 0.0);
}

// The pipeline reuses a buffer between steps and values; what it handed out must not change.
void TestTextPipeline::returnedValuesStayIntact() {
    TextOptions o = fullWidthOf(true, false, false, false);
    o.caseConversion = CaseConversion::ToUpper;
    o.kanaConversion = KanaConversion::HiraganaToKatakana;
    TextPipeline pipeline(o);
    const QStringList inputs = {u"ab"_s, u"%%C1"_s, u"あx"_s, u"漢"_s, u"xyz"_s, u"\\U+4E00q"_s};
    const QStringList expected = {u"ＡＢ"_s, u"%%C１"_s,  u"アＸ"_s,
                                  u"漢"_s,   u"ＸＹＺ"_s, u"\\U+4E00Ｑ"_s};
    QStringList outputs;
    for (int round = 0; round < 3; ++round) {
        for (const QString& input : inputs)
            outputs.append(pipeline.transform(input, TEXT));
    }
    QCOMPARE(outputs, expected + expected + expected);
    QCOMPARE(inputs.first(), u"ab"_s);
}

void TestTextPipeline::changesNothing_data() {
    QTest::addColumn<TextOptions>("options");
    QTest::addColumn<bool>("nothing");
    TextOptions o;
    QTest::newRow("defaults") << o << true;
    o.valueCondition = ValueCondition::DateOnly;
    o.conditions[0] = {u"A"_s, true};
    QTest::newRow("conditions alone") << o << true;
    o.searchText = u"A"_s;
    o.replaceText = u"A"_s;
    QTest::newRow("replace by itself") << o << true;
    o.replaceText = u"B"_s;
    QTest::newRow("replace occurrences") << o << false;
    o = {};
    o.replaceMode = ReplaceMode::ReplaceEqualText;
    QTest::newRow("equal text, both empty") << o << true;
    o.replaceText = u"X"_s;
    QTest::newRow("equal text") << o << false;
    o = {};
    o.replaceMode = ReplaceMode::ReplaceMatchingText;
    QTest::newRow("matching text") << o << false;
    o = fullWidthOf(false, false, false, false);
    o.widthDashPeriod = true;
    QTest::newRow("width without a class") << o << true;
    o.widthDigits = true;
    QTest::newRow("width digits") << o << false;
    o = fullWidthOf(true, false, false, false);
    o.widthConversion = WidthConversion::ToHalfWidth;
    QTest::newRow("width all") << o << false;
    o = fullWidthOf(false, true, true, true);
    o.widthConversion = WidthConversion::NoWidthConversion;
    QTest::newRow("classes without direction") << o << true;
    o = {};
    o.caseConversion = CaseConversion::ToLower;
    QTest::newRow("case") << o << false;
    o = {};
    o.kanaConversion = KanaConversion::HiraganaToKatakana;
    QTest::newRow("kana") << o << false;
}

void TestTextPipeline::changesNothing() {
    QFETCH(TextOptions, options);
    QFETCH(bool, nothing);
    TextPipeline pipeline(options);
    QCOMPARE(pipeline.changesNothing(), nothing);
    if (nothing) {
        for (const QString& v : {u"%%C abc ｶﾞ あ A"_s, u"\\U+00b0{}"_s, u""_s}) {
            QCOMPARE(pipeline.transform(v, TEXT), v);
            QCOMPARE(pipeline.transform(v, MTEXT), v);
        }
    }
}

QTEST_GUILESS_MAIN(TestTextPipeline)
#include "TestTextPipeline.moc"
