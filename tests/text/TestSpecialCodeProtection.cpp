#include "CaseKanaConversion.h"
#include "CharacterTables.h"
#include "SpecialCodeProtection.h"
#include "WidthMapping.h"

#include <QRandomGenerator>
#include <QTest>

#include <functional>

using namespace ornvale;
using namespace Qt::StringLiterals;
using Scope = SpecialCodeProtection::Scope;
using Run = std::function<void(QStringView, QString&)>;
using RawRun = std::function<char16_t*(QStringView, char16_t*)>;

namespace {

constexpr auto TEXT = TextEntityKind::TextEntity;
constexpr auto MTEXT = TextEntityKind::MTextEntity;

// A placeholder written out by hand from its marker positions.
QString expectedPlaceholder(QList<int> markers) {
    QString s = u"凹"_s;
    for (int position = 2; position <= 29; ++position)
        s += markers.contains(position) ? u"凹"_s : u"凸"_s;
    return s + u"ん凹"_s;
}

QString P(int row) {
    return SpecialCodeProtection::rowPlaceholder(row);
}

QString fullWidth(const QString& v, TextEntityKind kind) {
    return SpecialCodeProtection::convert(v, kind, Scope::Width, [](QStringView in, QString& out) {
        WidthMapping::toFullWidth(in, out);
    });
}

QString halfWidth(const QString& v, TextEntityKind kind) {
    return SpecialCodeProtection::convert(v, kind, Scope::Width, [](QStringView in, QString& out) {
        WidthMapping::toHalfWidth(in, out);
    });
}

QString upper(const QString& v, TextEntityKind kind) {
    return SpecialCodeProtection::convert(v, kind, Scope::Case, [](QStringView in, QString& out) {
        CaseKanaConversion::toUpper(in, out);
    });
}

QString lower(const QString& v, TextEntityKind kind) {
    return SpecialCodeProtection::convert(v, kind, Scope::Case, [](QStringView in, QString& out) {
        CaseKanaConversion::toLower(in, out);
    });
}

// Protect, convert the whole hidden value, restore: the definition convert() must match.
QString byPlaceholders(const QString& v, TextEntityKind kind, Scope scope, const Run& run) {
    SpecialCodeProtection protection;
    QString hidden = v;
    protection.protect(hidden, kind, scope);
    QString out;
    run(hidden, out);
    protection.restore(out, kind, scope);
    return out;
}

QString randomValue(QRandomGenerator& random) {
    static const QStringList tokens = {
        u"\\"_s,       u"P"_s,        u"p"_s,        u"%"_s,
        u"%%"_s,       u"c"_s,        u"C"_s,        u"%%%"_s,
        u"￥"_s,       u"{"_s,        u"}"_s,        u";"_s,
        u"\\U+00B0"_s, u"\\u+00b0"_s, u"\\U+00b0"_s, u"U+"_s,
        u"4E00"_s,     u"\\M+1"_s,    u"8140"_s,     u"{\\fProxy 1|b0|i0|c128|p0;"_s,
        u"f"_s,        u"S"_s,        u"1/2"_s,      u"a"_s,
        u"ｶ"_s,        u"ﾞ"_s,        u" "_s,        u"Ａ"_s,
        u"%%Ｍ"_s,     u"%%０"_s,     u"%%ａ"_s,     u"~"_s,
        u"\\\\"_s,     u"あ"_s,       u"H2.5x"_s,    u"\\U+2205"_s,
        u"\\u+00B1"_s, u"\\P"_s,      u"\\{"_s,      u"d"_s,
        u"ガ"_s,       u"ー"_s,       P(4),          QString(QChar(0xDB80)) + QChar(0xDC01)};
    QString v;
    const int count = random.bounded(0, 12);
    for (int i = 0; i < count; ++i)
        v += tokens[random.bounded(int(tokens.size()))];
    return v;
}

} // namespace

class TestSpecialCodeProtection : public QObject {
    Q_OBJECT
private slots:
    void placeholdersAreExact();
    void protectedForms_data();
    void protectedForms();
    void widthConversion_data();
    void widthConversion();
    void caseConversion_data();
    void caseConversion();
    void mtextFormattingCodesSurvive_data();
    void mtextFormattingCodesSurvive();
    void placeholderAlreadyInValueBecomesItsCode();
    void privateUseCharactersInValueSurvive();
    void manyExtraCodes();
    void splitEqualsPlaceholderPasses();
};

void TestSpecialCodeProtection::placeholdersAreExact() {
    QCOMPARE(P(2), u"凹凸凸凸凸凸凸凸凸凸凸凸凸凸凸凸凸凸凸凸凸凸凸凸凸凸凸凸凸ん凹"_s);
    QCOMPARE(P(4), u"凹凹凹凸凸凸凸凸凸凸凸凸凸凸凸凸凸凸凸凸凸凸凸凸凸凸凸凸凸ん凹"_s);
    QCOMPARE(P(1), expectedPlaceholder({3}));
    QCOMPARE(P(3), expectedPlaceholder({2}));
    for (int k = 0; k < 5; ++k)
        QCOMPARE(P(4 + k), expectedPlaceholder({2, 3 + k}));
    for (int d = 0; d < 10; ++d)
        QCOMPARE(P(9 + d), expectedPlaceholder({2, 8 + d}));
    for (int n = 0; n < 12; ++n)
        QCOMPARE(P(19 + n), expectedPlaceholder({2, 18 + n}));
    for (int n = 0; n < 14; ++n)
        QCOMPARE(P(31 + n), expectedPlaceholder({2, 3, 4 + n}));
    for (int r = 45; r <= 49; ++r)
        QCOMPARE(P(r), expectedPlaceholder({2, 3, 18 + r - 45}));
    QCOMPARE(P(50), expectedPlaceholder({4}));
    QSet<QString> distinct;
    for (int r = 1; r <= 50; ++r) {
        QCOMPARE(P(r).size(), 31);
        distinct.insert(P(r));
    }
    QCOMPARE(distinct.size(), 50);
}

// What BeforeTEXT1 and BeforeTEXT leave in the value, and what the restore gives back.
void TestSpecialCodeProtection::protectedForms_data() {
    QTest::addColumn<QString>("value");
    QTest::addColumn<bool>("mtext");
    QTest::addColumn<bool>("widthScope");
    QTest::addColumn<QString>("hidden");
    QTest::addColumn<QString>("restored");
    QTest::newRow("upper-case diameter")
        << u"%%C45"_s << false << true << P(4) + u"45"_s << u"%%c45"_s;
    QTest::newRow("percent before diameter")
        << u"%%%c"_s << false << true << P(3) + u"c"_s << u"%%%c"_s;
    QTest::newRow("all percent codes")
        << u"%%d%%O%%p%%U%%９%%Ａ%%Ｌ%%Ｍ%%Ｚ%%ａ"_s << false << true
        << P(5) + P(6) + P(7) + P(8) + P(18) + P(19) + P(30) + P(31) + P(44) + u"%%ａ"_s
        << u"%%d%%o%%p%%u%%９%%Ａ%%Ｌ%%Ｍ%%Ｚ%%ａ"_s;
    QTest::newRow("yen sign") << u"￥5"_s << false << true << P(2) + u"5"_s << u"￥5"_s;
    QTest::newRow("MTEXT paragraph")
        << u"A\\PB"_s << true << true << u"A"_s + P(1) + u"B"_s << u"A\\PB"_s;
    QTest::newRow("TEXT paragraph is a backslash")
        << u"A\\PB"_s << false << true << u"A"_s + P(50) + u"PB"_s << u"A\\PB"_s;
    QTest::newRow("degree escapes") << u"\\u+00b0\\U+00B1\\u+2205"_s << false << true
                                    << P(45) + P(46) + P(47) << u"\\U+00B0\\U+00B1\\U+2205"_s;
    QTest::newRow("Proxy group and final brace")
        << u"{\\fProxy 1|b0|i0|c128|p0;abc}"_s << false << true << P(48) + u"abc"_s + P(49)
        << u"{\\fProxy 1|b0|i0|c128|p0;abc}"_s;
    QTest::newRow("brace not last stays") << u"{\\fProxy 1|b0|i0|c128|p0;a}b"_s << false << true
                                          << P(48) + u"a}b"_s << u"{\\fProxy 1|b0|i0|c128|p0;a}b"_s;
    QTest::newRow("final brace without the group")
        << u"{a}"_s << false << true << u"{a}"_s << u"{a}"_s;
    QTest::newRow("case scope hides paragraphs only in TEXT")
        << u"%%C\\P"_s << false << false << u"%%C\\P"_s << u"%%C\\P"_s;
    QTest::newRow("case scope MTEXT paragraph")
        << u"x\\Py"_s << true << false << u"x"_s + P(1) + u"y"_s << u"x\\Py"_s;
}

void TestSpecialCodeProtection::protectedForms() {
    QFETCH(QString, value);
    QFETCH(bool, mtext);
    QFETCH(bool, widthScope);
    QFETCH(QString, hidden);
    QFETCH(QString, restored);
    const auto kind = mtext ? MTEXT : TEXT;
    const auto scope = widthScope ? Scope::Width : Scope::Case;
    SpecialCodeProtection protection;
    QString v = value;
    protection.protect(v, kind, scope);
    QCOMPARE(v, hidden);
    protection.restore(v, kind, scope);
    QCOMPARE(v, restored);
    // Codes come back in their normal form even when the conversion changes nothing.
    QCOMPARE(SpecialCodeProtection::convert(value, kind, scope,
                                            [](QStringView in, QString& out) { out += in; }),
             restored);
}

void TestSpecialCodeProtection::widthConversion_data() {
    QTest::addColumn<QString>("value");
    QTest::addColumn<bool>("mtext");
    QTest::addColumn<bool>("toFull");
    QTest::addColumn<QString>("expected");
    QTest::newRow("code restored in lower case") << u"%%C45"_s << false << true << u"%%c４５"_s;
    QTest::newRow("MTEXT paragraph kept") << u"A\\PB"_s << true << true << u"Ａ\\PＢ"_s;
    QTest::newRow("TEXT paragraph letter converted")
        << u"A\\PB"_s << false << true << u"Ａ\\ＰＢ"_s;
    QTest::newRow("degree survives") << u"\\U+00B0 5"_s << false << true << u"\\U+00B0　５"_s;
    QTest::newRow("lower-case degree restored upper")
        << u"\\u+00b0"_s << false << true << u"\\U+00B0"_s;
    QTest::newRow("mixed-case degree is no table code, kept as written")
        << u"\\U+00b0"_s << false << true << u"\\U+00b0"_s;
    QTest::newRow("percent hides before diameter") << u"%%%c"_s << false << true << u"%%%ｃ"_s;
    QTest::newRow("full-width small letter after %% not protected")
        << u"%%ａ"_s << false << false << u"%%a"_s;
    QTest::newRow("Proxy group TEXT") << u"{\\fProxy 1|b0|i0|c128|p0;abc}"_s << false << true
                                      << u"{\\fProxy 1|b0|i0|c128|p0;ａｂｃ}"_s;
    QTest::newRow("Proxy group MTEXT") << u"{\\fProxy 1|b0|i0|c128|p0;abc}"_s << true << true
                                       << u"{\\fProxy 1|b0|i0|c128|p0;ａｂｃ}"_s;
    QTest::newRow("unicode escape TEXT") << u"\\U+4E00a"_s << false << true << u"\\U+4E00ａ"_s;
    QTest::newRow("unicode escape MTEXT") << u"\\U+4E00a"_s << true << true << u"\\U+4E00ａ"_s;
    QTest::newRow("lower unicode escape kept as written")
        << u"\\u+4e00"_s << false << true << u"\\u+4e00"_s;
    QTest::newRow("multibyte escape") << u"\\M+18140x"_s << false << true << u"\\M+18140ｘ"_s;
    QTest::newRow("short escape is no escape")
        << u"\\U+4E0"_s << false << true << u"\\Ｕ＋４Ｅ０"_s;
    QTest::newRow("MTEXT font group") << u"{\\fMS UI Gothic|b0|i0|c128|p50;ﾃｷｽﾄ}"_s << true << true
                                      << u"{\\fMS UI Gothic|b0|i0|c128|p50;テキスト}"_s;
    QTest::newRow("TEXT keeps the table: only the backslash survives")
        << u"{\\fArial;ﾃｷｽﾄ}"_s << false << true << u"｛\\ｆＡｒｉａｌ；テキスト｝"_s;
    QTest::newRow("escaped backslash then letters in MTEXT")
        << u"\\\\P"_s << true << true << u"\\\\P"_s;
    QTest::newRow("escaped backslash then escape text in MTEXT")
        << u"\\\\U+4E00"_s << true << true << u"\\\\Ｕ＋４Ｅ００"_s;
    QTest::newRow("yen sign not halved") << u"￥１　Ａ"_s << false << false << u"￥1 A"_s;
    QTest::newRow("half width MTEXT") << u"Ａ\\PＢ｛"_s << true << false << u"A\\PB{"_s;
    QTest::newRow("voiced letters split") << u"ガイド"_s << false << false << u"ｶﾞｲﾄﾞ"_s;
}

void TestSpecialCodeProtection::widthConversion() {
    QFETCH(QString, value);
    QFETCH(bool, mtext);
    QFETCH(bool, toFull);
    QFETCH(QString, expected);
    const auto kind = mtext ? MTEXT : TEXT;
    QCOMPARE(toFull ? fullWidth(value, kind) : halfWidth(value, kind), expected);
}

void TestSpecialCodeProtection::caseConversion_data() {
    QTest::addColumn<QString>("value");
    QTest::addColumn<bool>("mtext");
    QTest::addColumn<bool>("toUpper");
    QTest::addColumn<QString>("expected");
    QTest::newRow("MTEXT paragraph protected") << u"\\Pabc"_s << true << true << u"\\PABC"_s;
    QTest::newRow("TEXT paragraph not protected") << u"\\Pabc"_s << false << false << u"\\pabc"_s;
    QTest::newRow("diameter to upper") << u"%%c"_s << false << true << u"%%C"_s;
    QTest::newRow("diameter to lower") << u"%%C"_s << false << false << u"%%c"_s;
    QTest::newRow("degree escape kept under lower")
        << u"\\U+00B0x"_s << false << false << u"\\U+00B0x"_s;
    QTest::newRow("unicode escape kept under lower")
        << u"\\U+4E00A"_s << true << false << u"\\U+4E00a"_s;
    QTest::newRow("Proxy group in TEXT is converted")
        << u"{\\fProxy 1|b0|i0|c128|p0;abc}"_s << false << true
        << u"{\\FPROXY 1|B0|I0|C128|P0;ABC}"_s;
    QTest::newRow("Proxy group in MTEXT is kept") << u"{\\fProxy 1|b0|i0|c128|p0;abc}"_s << true
                                                  << true << u"{\\fProxy 1|b0|i0|c128|p0;ABC}"_s;
    QTest::newRow("full-width Latin") << u"ａｂＣ"_s << false << true << u"ＡＢＣ"_s;
}

void TestSpecialCodeProtection::caseConversion() {
    QFETCH(QString, value);
    QFETCH(bool, mtext);
    QFETCH(bool, toUpper);
    QFETCH(QString, expected);
    const auto kind = mtext ? MTEXT : TEXT;
    QCOMPARE(toUpper ? upper(value, kind) : lower(value, kind), expected);
}

// Every kind of inline MTEXT code between two pieces of text, under width and case.
void TestSpecialCodeProtection::mtextFormattingCodesSurvive_data() {
    QTest::addColumn<QString>("code");
    const QStringList codes = {u"\\A1;"_s,
                               u"\\C2;"_s,
                               u"\\c16777215;"_s,
                               u"\\Farial.shx;"_s,
                               u"\\fArial|b1|i0|c0|p34;"_s,
                               u"\\H2.5x;"_s,
                               u"\\Q15;"_s,
                               u"\\T1.2;"_s,
                               u"\\W0.8;"_s,
                               u"\\pxqc;"_s,
                               u"\\S1/2;"_s,
                               u"\\S1^2;"_s,
                               u"\\S1#2;"_s,
                               u"\\L"_s,
                               u"\\l"_s,
                               u"\\O"_s,
                               u"\\o"_s,
                               u"\\K"_s,
                               u"\\k"_s,
                               u"\\P"_s,
                               u"\\N"_s,
                               u"\\X"_s,
                               u"\\~"_s,
                               u"\\\\"_s,
                               u"\\{"_s,
                               u"\\}"_s,
                               u"\\M+18140"_s,
                               u"\\U+4E00"_s,
                               u"\\u+00e9"_s,
                               u"{"_s,
                               u"}"_s};
    for (const QString& code : codes)
        QTest::newRow(qPrintable(code)) << code;
}

void TestSpecialCodeProtection::mtextFormattingCodesSurvive() {
    QFETCH(QString, code);
    const QString value = u"aｶ"_s + code + u"B1"_s;
    QCOMPARE(fullWidth(value, MTEXT), u"ａカ"_s + code + u"Ｂ１"_s);
    QCOMPARE(halfWidth(fullWidth(value, MTEXT), MTEXT), u"aｶ"_s + code + u"B1"_s);
    QCOMPARE(upper(value, MTEXT), u"Aｶ"_s + code + u"B1"_s);
    QCOMPARE(lower(value, MTEXT), u"aｶ"_s + code + u"b1"_s);
    // A code without its closing ";" runs to the end of the value.
    if (code.endsWith(u';')) {
        const QString open = u"x"_s + code.chopped(1) + u"y"_s;
        QCOMPARE(fullWidth(open, MTEXT), u"ｘ"_s + code.chopped(1) + u"y"_s);
    }
}

void TestSpecialCodeProtection::placeholderAlreadyInValueBecomesItsCode() {
    QCOMPARE(fullWidth(u"ab"_s + P(4) + u"1"_s, TEXT), u"ａｂ%%c１"_s);
    QCOMPARE(fullWidth(P(1), TEXT), P(1)); // row 1 is restored in MTEXT values only
    QCOMPARE(fullWidth(P(1), MTEXT), u"\\P"_s);
    QCOMPARE(fullWidth(P(49) + u"x"_s, TEXT), u"}ｘ"_s);
    QCOMPARE(upper(u"a"_s + P(1), MTEXT), u"A\\P"_s);
    // A rare kanji alone is just text.
    QCOMPARE(fullWidth(u"凹部a%%C"_s, TEXT), u"凹部ａ%%c"_s);
}

void TestSpecialCodeProtection::privateUseCharactersInValueSurvive() {
    const QString pua = QString(QChar(0xDB80)) + QChar(0xDC00); // U+F0000, the first index
    const QString pua16 = QString(QChar(0xDBC0)) + QChar(0xDC00) + pua;
    for (const QString& v : {u"凹a"_s + pua + u"\\U+4E00{b}"_s, u"a"_s + pua16 + u"\\U+4E00{b}"_s,
                             u"凸"_s + pua16 + u"\\U+4E00{b}"_s}) {
        const QString expected = QString(v).replace(u"a"_s, u"ａ"_s).replace(u"b"_s, u"ｂ"_s);
        QCOMPARE(fullWidth(v, MTEXT), expected);
        QCOMPARE(byPlaceholders(
                     v, MTEXT, Scope::Width,
                     [](QStringView in, QString& out) { WidthMapping::toFullWidth(in, out); }),
                 expected);
    }
}

void TestSpecialCodeProtection::manyExtraCodes() {
    // More than 65536 extra codes need two-character placeholders.
    const QString v = u"凹"_s + u"{a}"_s.repeated(35000);
    QCOMPARE(fullWidth(v, MTEXT), u"凹"_s + u"{ａ}"_s.repeated(35000));
}

void TestSpecialCodeProtection::splitEqualsPlaceholderPasses() {
    // Each conversion in its appending form (used for the reference too) and its raw form, which
    // convert() runs over one buffer.
    struct Conversion {
        Scope scope;
        Run run;
        RawRun raw;
    };
    using Table = CharacterTables::Table;
    const QList<Conversion> runs = {
        {Scope::Width, [](QStringView in, QString& out) { WidthMapping::toFullWidth(in, out); },
         [](QStringView in, char16_t* out) { return WidthMapping::toFullWidth(in, out); }},
        {Scope::Width, [](QStringView in, QString& out) { WidthMapping::toHalfWidth(in, out); },
         [](QStringView in, char16_t* out) { return WidthMapping::toHalfWidth(in, out); }},
        {Scope::Width,
         [](QStringView in, QString& out) {
             CharacterTables::apply(Table::AFZTEXT, in, out, false);
         },
         [](QStringView in, char16_t* out) {
             return CharacterTables::apply(Table::AFZTEXT, in, out, false);
         }},
        {Scope::Width,
         [](QStringView in, QString& out) {
             CharacterTables::apply(Table::KTZTEXT, in, out, true);
         },
         [](QStringView in, char16_t* out) {
             return CharacterTables::apply(Table::KTZTEXT, in, out, true);
         }},
        {Scope::Width,
         [](QStringView in, QString& out) {
             CharacterTables::apply(Table::KTHTEXT, in, out, true);
         },
         [](QStringView in, char16_t* out) {
             return CharacterTables::apply(Table::KTHTEXT, in, out, true);
         }},
        {Scope::Case, [](QStringView in, QString& out) { CaseKanaConversion::toUpper(in, out); },
         [](QStringView in, char16_t* out) { return CaseKanaConversion::toUpper(in, out); }},
        {Scope::Case, [](QStringView in, QString& out) { CaseKanaConversion::toLower(in, out); },
         [](QStringView in, char16_t* out) { return CaseKanaConversion::toLower(in, out); }},
    };
    QRandomGenerator random(1226);
    int split = 0;
    for (int i = 0; i < 20000; ++i) {
        const QString v = randomValue(random);
        for (auto kind : {TEXT, MTEXT}) {
            for (const auto& [scope, run, raw] : runs) {
                split += SpecialCodeProtection::shape(v, kind, scope) ==
                         SpecialCodeProtection::Shape::Split;
                const QString fast = SpecialCodeProtection::convert(v, kind, scope, run);
                const QString fastRaw = SpecialCodeProtection::convert(v, kind, scope, raw);
                const QString reference = byPlaceholders(v, kind, scope, run);
                if (fast != reference || fastRaw != reference)
                    qWarning() << "value" << v << "kind" << int(kind) << "scope" << int(scope);
                QCOMPARE(fast, reference);
                QCOMPARE(fastRaw, reference);
            }
        }
    }
    QVERIFY(split > 100000); // the generator really exercises the one-scan path
}

QTEST_GUILESS_MAIN(TestSpecialCodeProtection)
#include "TestSpecialCodeProtection.moc"
