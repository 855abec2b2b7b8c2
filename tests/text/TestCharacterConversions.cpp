#include "CaseKanaConversion.h"
#include "WidthMapping.h"

#include <QTest>

using namespace ornvale;
using namespace Qt::StringLiterals;

class TestCharacterConversions : public QObject {
    Q_OBJECT
private slots:
    void asciiAndBlankBothWays();
    void halfWidthKatakanaBothWays();
    void widthExamples_data();
    void widthExamples();
    void caseMapping_data();
    void caseMapping();
    void caseOfEveryCharacter();
    void kanaMapping_data();
    void kanaMapping();
};

void TestCharacterConversions::asciiAndBlankBothWays() {
    for (char16_t c = 0x21; c <= 0x7E; ++c) {
        const QString half(QChar{c});
        const QString full(QChar(char16_t(c + 0xFEE0)));
        QCOMPARE(WidthMapping::toFullWidth(half), full);
        QCOMPARE(WidthMapping::toHalfWidth(full), half);
    }
    QCOMPARE(WidthMapping::toFullWidth(u" "_s), u"\u3000"_s);
    QCOMPARE(WidthMapping::toHalfWidth(u"\u3000"_s), u" "_s);
}

void TestCharacterConversions::halfWidthKatakanaBothWays() {
    // Every one-byte katakana and mark, alone and followed by each voiced mark.
    for (char16_t c = 0xFF61; c <= 0xFF9F; ++c) {
        const QString half(QChar{c});
        const QString full = WidthMapping::toFullWidth(half);
        QCOMPARE(full.size(), 1);
        QVERIFY(full[0].unicode() < 0xFF00);
        QCOMPARE(WidthMapping::toHalfWidth(full), half);
        for (const QString& mark : {u"ﾞ"_s, u"ﾟ"_s}) {
            const QString pair = half + mark;
            QCOMPARE(WidthMapping::toHalfWidth(WidthMapping::toFullWidth(pair)), pair);
        }
    }
}

void TestCharacterConversions::widthExamples_data() {
    QTest::addColumn<QString>("half");
    QTest::addColumn<QString>("full");
    QTest::newRow("voiced") << u"ｶﾞｲﾄﾞ ﾊﾟｰﾂ"_s << u"ガイド　パーツ"_s;
    QTest::newRow("vu") << u"ｳﾞ"_s << u"ヴ"_s;
    QTest::newRow("punctuation") << u"｢ｱ､ｲ｡･｣"_s << u"「ア、イ。・」"_s;
    QTest::newRow("lone marks become spacing marks") << u"ﾞﾟｱﾟ"_s << u"゛゜ア゜"_s;
    QTest::newRow("wa with voiced mark stays two") << u"ﾜﾞｦﾞ"_s << u"ワ゛ヲ゛"_s;
    QTest::newRow("mixed") << u"AutoCAD 2007 ﾃｷｽﾄ"_s << u"ＡｕｔｏＣＡＤ　２００７　テキスト"_s;
}

void TestCharacterConversions::widthExamples() {
    QFETCH(QString, half);
    QFETCH(QString, full);
    QCOMPARE(WidthMapping::toFullWidth(half), full);
    QCOMPARE(WidthMapping::toHalfWidth(full), half);
}

void TestCharacterConversions::caseMapping_data() {
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("upper");
    QTest::addColumn<QString>("lower");
    QTest::newRow("ASCII") << u"aBc1"_s << u"ABC1"_s << u"abc1"_s;
    QTest::newRow("full-width Latin") << u"ａＢｃ"_s << u"ＡＢＣ"_s << u"ａｂｃ"_s;
    QTest::newRow("Greek and Cyrillic") << u"αΩжЯ"_s << u"ΑΩЖЯ"_s << u"αωжя"_s;
    QTest::newRow("Roman numerals and circled letters") << u"ⅰⓐⅡ！"_s << u"ⅠⒶⅡ！"_s << u"ⅰⓐⅱ！"_s;
    QTest::newRow("sharp s keeps its length") << u"ßa"_s << u"ßA"_s << u"ßa"_s;
    QTest::newRow("title-case letter") << u"ǅ"_s << u"Ǆ"_s << u"ǆ"_s;
    QTest::newRow("dotted capital I lowers to i") << u"İ"_s << u"İ"_s << u"i"_s;
    QTest::newRow("letter outside the BMP")
        << u"\U00010428\U00010400"_s << u"\U00010400\U00010400"_s << u"\U00010428\U00010428"_s;
    QTest::newRow("kana, kanji, lone surrogate untouched")
        << u"あア漢"_s + QChar(0xD800) << u"あア漢"_s + QChar(0xD800)
        << u"あア漢"_s + QChar(0xD800);
}

void TestCharacterConversions::caseMapping() {
    QFETCH(QString, value);
    QFETCH(QString, upper);
    QFETCH(QString, lower);
    QCOMPARE(CaseKanaConversion::toUpper(value), upper);
    QCOMPARE(CaseKanaConversion::toLower(value), lower);
}

// Every character, supplementary ones included, against its simple case mapping (the conversion
// looks most of them up in tables of its own and skips blocks without any case).
void TestCharacterConversions::caseOfEveryCharacter() {
    QString all, expectedUpper, expectedLower;
    auto add = [&](char32_t c) {
        all += QString::fromUcs4(&c, 1);
        const char32_t upper = QChar::toUpper(c);
        const char32_t lower = c == 0x130 ? U'i' : QChar::toLower(c); // İ: no Turkish rules
        expectedUpper += QString::fromUcs4(&upper, 1);
        expectedLower += QString::fromUcs4(&lower, 1);
    };
    for (char32_t c = 0; c < 0x110000; c = c == 0xD7FF ? 0xE000 : c + 1)
        add(c);
    QCOMPARE(CaseKanaConversion::toUpper(all), expectedUpper);
    QCOMPARE(CaseKanaConversion::toLower(all), expectedLower);
}

void TestCharacterConversions::kanaMapping_data() {
    QTest::addColumn<QString>("hiragana");
    QTest::addColumn<QString>("katakana");
    QTest::addColumn<QString>("backToHiragana");
    QTest::newRow("letters") << u"ぁあがぱゐゑをん"_s << u"ァアガパヰヱヲン"_s
                             << u"ぁあがぱゐゑをん"_s;
    QTest::newRow("iteration marks") << u"ゝゞ"_s << u"ヽヾ"_s << u"ゝゞ"_s;
    QTest::newRow("vu and small ka/ke stay katakana") << u"ゔゕゖ"_s << u"ヴヵヶ"_s << u"ヴヵヶ"_s;
    QTest::newRow("others untouched") << u"ーｱ・漢A"_s << u"ーｱ・漢A"_s << u"ーｱ・漢A"_s;
}

void TestCharacterConversions::kanaMapping() {
    QFETCH(QString, hiragana);
    QFETCH(QString, katakana);
    QFETCH(QString, backToHiragana);
    QCOMPARE(CaseKanaConversion::hiraganaToKatakana(hiragana), katakana);
    QCOMPARE(CaseKanaConversion::katakanaToHiragana(katakana), backToHiragana);
}

QTEST_GUILESS_MAIN(TestCharacterConversions)
#include "TestCharacterConversions.moc"
