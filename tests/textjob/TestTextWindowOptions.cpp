#include "Prompter.h"
#include "TextWindowOptions.h"
#include "mock/RecordingPrompter.h"

#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;

using namespace ornvale;
using namespace ornvale::test;

namespace {

const QString kR4 =
    u"「全角カタカナ ⇒ひらがな 変換」にチェックが入っているため選択できません。　"_s;
const QString kR5 = u"「全角⇒半角 変換」にチェックが入っているため選択できません。　"_s;

// Plays steps such as "class 4 on; dir 1 on; kana 2; cond 3; search abc" as a user would.
void play(TextWindowOptions& o, const QString& steps) {
    for (const QString& step : steps.split(u';', Qt::SkipEmptyParts)) {
        const QString s = step.trimmed();
        const QString command = s.section(u' ', 0, 0);
        const QString argument = s.section(u' ', 1);
        const int number = argument.section(u' ', 0, 0).toInt();
        const bool on = argument.endsWith(u"on"_s);
        if (command == u"class")
            o.setClassBox(number, on);
        else if (command == u"dir")
            o.setDirection(number, on);
        else if (command == u"kana")
            o.setKanaConversion(KanaConversion(number));
        else if (command == u"case")
            o.setCaseConversion(CaseConversion(number));
        else if (command == u"cond")
            o.setValueCondition(ValueCondition(number));
        else if (command == u"mode")
            o.setReplaceMode(ReplaceMode(number));
        else if (command == u"search")
            o.setSearchText(argument);
        else if (command == u"and")
            o.selectAnd(true);
        else if (command == u"or")
            o.selectAnd(false);
        else
            QTest::qFail(qPrintable(u"unknown step "_s + s), __FILE__, __LINE__);
    }
}

// The state a user sees: class boxes 0-5, direction boxes, the two lists, the hidden controls.
QString state(const TextWindowOptions& o) {
    QString classes;
    for (int box = 0; box < TextWindowOptions::ClassBoxCount; ++box)
        classes += o.classBox(box) ? u'1' : u'0';
    QString directions = QString(o.direction(0) ? u'1' : u'0') + (o.direction(1) ? u'1' : u'0');
    QStringList hidden;
    if (!o.caseGroupVisible())
        hidden << u"case"_s;
    if (!o.kanaGroupVisible())
        hidden << u"kana"_s;
    const char* const names[] = {"all", "alphabet", "digits", "katakana", "dash", "marks"};
    for (int box = 0; box < TextWindowOptions::ClassBoxCount; ++box) {
        if (!o.classBoxVisible(box))
            hidden << QLatin1String(names[box]);
    }
    if (!o.searchBoxVisible())
        hidden << u"search"_s;
    return u"classes %1 dir %2 case %3 kana %4 hidden %5"_s.arg(classes, directions)
        .arg(int(o.caseConversion()))
        .arg(int(o.kanaConversion()))
        .arg(hidden.isEmpty() ? u"-"_s : hidden.join(u','));
}

} // namespace

class TestTextWindowOptions : public QObject {
    Q_OBJECT

private slots:
    void startsWithEverythingShown();
    void interlocks_data();
    void interlocks();
    void textBoxesKeepOneLine();
    void deliversTheRecord();
    void refusesReplacementWithoutSearch_data();
    void refusesReplacementWithoutSearch();
    void announcesChanges();
};

void TestTextWindowOptions::startsWithEverythingShown() {
    RecordingPrompter prompter;
    TextWindowOptions o(prompter);
    QCOMPARE(state(o), u"classes 000000 dir 00 case 0 kana 0 hidden -"_s);
    QVERIFY(!o.andSelected());
    QCOMPARE(o.target(), TargetEntities::TextAndMText);
    QCOMPARE(o.replaceMode(), ReplaceMode::ReplaceOccurrences);
    QVERIFY(o.conditionMustContain(2));
    QVERIFY(prompter.messages().isEmpty());
}

void TestTextWindowOptions::interlocks_data() {
    QTest::addColumn<QString>("steps");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<QStringList>("messages");
    const QString shown = u"hidden -"_s;
    QTest::newRow("dash-period brings digits")
        << u"class 4 on"_s << u"classes 001010 dir 00 case 0 kana 0 "_s + shown << QStringList{};
    QTest::newRow("kana marks bring katakana")
        << u"class 5 on"_s << u"classes 000101 dir 00 case 0 kana 0 "_s + shown << QStringList{};
    QTest::newRow("all unticks the single classes")
        << u"class 2 on; class 4 on; class 0 on"_s
        << u"classes 100000 dir 00 case 0 kana 0 "_s + shown << QStringList{};
    QTest::newRow("a single class unticks all")
        << u"class 0 on; class 1 on"_s << u"classes 010000 dir 00 case 0 kana 0 "_s + shown
        << QStringList{};
    QTest::newRow("unticking has no side effect")
        << u"class 4 on; class 4 off"_s << u"classes 001000 dir 00 case 0 kana 0 "_s + shown
        << QStringList{};
    QTest::newRow("hiragana refused while half width is ticked, list back to 0")
        << u"dir 1 on; kana 1; kana 2"_s << u"classes 100000 dir 01 case 0 kana 0 "_s + shown
        << QStringList{kR5};
    QTest::newRow("half width refused while hiragana is chosen, full width stays")
        << u"kana 2; dir 0 on; dir 1 on"_s << u"classes 100000 dir 10 case 0 kana 2 "_s + shown
        << QStringList{kR4};
    QTest::newRow("one direction unticks the other")
        << u"dir 0 on; dir 1 on"_s << u"classes 100000 dir 01 case 0 kana 0 "_s + shown
        << QStringList{};
    QTest::newRow("direction with only katakana ticks nothing else")
        << u"class 3 on; dir 0 on"_s << u"classes 000100 dir 10 case 0 kana 0 "_s + shown
        << QStringList{};
    QTest::newRow("direction with only dash-period ticks all")
        << u"class 4 on; class 2 off; dir 0 on"_s
        << u"classes 100000 dir 10 case 0 kana 0 "_s + shown << QStringList{};
    QTest::newRow("unticking a direction keeps the classes")
        << u"dir 0 on; dir 0 off"_s << u"classes 100000 dir 00 case 0 kana 0 "_s + shown
        << QStringList{};
    QTest::newRow("numeric values: digits only, lists reset and hidden")
        << u"case 1; kana 1; class 0 on; cond 3"_s
        << u"classes 001000 dir 00 case 0 kana 0 hidden case,kana,all,alphabet"_s << QStringList{};
    QTest::newRow("back from numeric shows everything, digits stay")
        << u"case 1; kana 1; class 1 on; cond 3; cond 0"_s
        << u"classes 001000 dir 00 case 0 kana 0 "_s + shown << QStringList{};
    QTest::newRow("dates: only the kana list reset and hidden")
        << u"case 2; kana 1; cond 1"_s << u"classes 000000 dir 00 case 2 kana 0 hidden kana"_s
        << QStringList{};
    QTest::newRow("other conditions change nothing")
        << u"case 2; kana 1; class 1 on; cond 5"_s
        << u"classes 010000 dir 00 case 2 kana 1 "_s + shown << QStringList{};
    QTest::newRow("third replace mode hides the search box")
        << u"search abc; mode 2"_s << u"classes 000000 dir 00 case 0 kana 0 hidden search"_s
        << QStringList{};
    QTest::newRow("another mode shows it again")
        << u"mode 2; mode 1"_s << u"classes 000000 dir 00 case 0 kana 0 "_s + shown
        << QStringList{};
}

void TestTextWindowOptions::interlocks() {
    QFETCH(QString, steps);
    QFETCH(QString, expected);
    QFETCH(QStringList, messages);
    RecordingPrompter prompter;
    TextWindowOptions o(prompter);
    play(o, steps);
    QCOMPARE(state(o), expected);
    QCOMPARE(prompter.texts(), messages);
    for (const auto& message : prompter.messages())
        QCOMPARE(message.title, u"確認"_s);
}

void TestTextWindowOptions::textBoxesKeepOneLine() {
    RecordingPrompter prompter;
    TextWindowOptions o(prompter);
    o.setSearchText(u"ab\r\ncd\ne\rf"_s);
    o.setReplaceText(u"\r\n"_s);
    o.setConditionPattern(1, u"x\ny"_s);
    QCOMPARE(o.searchText(), u"abcdef"_s);
    QCOMPARE(o.replaceText(), QString());
    QCOMPARE(o.conditionPattern(1), u"xy"_s);
    // The hidden search box keeps its text.
    o.setReplaceMode(ReplaceMode::ReplaceMatchingText);
    QCOMPARE(o.searchText(), u"abcdef"_s);
}

void TestTextWindowOptions::deliversTheRecord() {
    RecordingPrompter prompter;
    TextWindowOptions o(prompter);
    o.setTarget(TargetEntities::MTextOnly);
    o.setValueCondition(ValueCondition::NotNumericOnly);
    o.setConditionPattern(0, u"A"_s);
    o.setConditionMustContain(0, false);
    o.setConditionPattern(2, u"C"_s);
    o.selectAnd(true);
    o.setReplaceMode(ReplaceMode::ReplaceEqualText);
    o.setSearchText(u"s"_s);
    o.setReplaceText(u"r"_s);
    o.setClassBox(TextWindowOptions::KanaMarks, true);
    o.setDirection(TextWindowOptions::ToHalf, true);
    o.setCaseConversion(CaseConversion::ToLower);
    o.setKanaConversion(KanaConversion::HiraganaToKatakana);
    const TextOptions t = o.options();
    QCOMPARE(t.targetEntities, TargetEntities::MTextOnly);
    QCOMPARE(t.valueCondition, ValueCondition::NotNumericOnly);
    QCOMPARE(t.conditions[0].pattern, u"A"_s);
    QVERIFY(!t.conditions[0].mustContain);
    QVERIFY(t.conditions[1].pattern.isEmpty());
    QVERIFY(t.conditions[1].mustContain);
    QCOMPARE(t.conditions[2].pattern, u"C"_s);
    QCOMPARE(t.conditionJoin, ConditionJoin::And);
    QCOMPARE(t.replaceMode, ReplaceMode::ReplaceEqualText);
    QCOMPARE(t.searchText, u"s"_s);
    QCOMPARE(t.replaceText, u"r"_s);
    QCOMPARE(t.widthConversion, WidthConversion::ToHalfWidth);
    QVERIFY(!t.widthAll && !t.widthAlphabet && !t.widthDigits && !t.widthDashPeriod);
    QVERIFY(t.widthKatakana && t.widthKanaMarks);
    QCOMPARE(t.caseConversion, CaseConversion::ToLower);
    QCOMPARE(t.kanaConversion, KanaConversion::HiraganaToKatakana);
    // Hidden controls deliver their values too.
    o.setValueCondition(ValueCondition::DateOnly);
    QCOMPARE(o.options().caseConversion, CaseConversion::ToLower);
    QCOMPARE(o.options().kanaConversion, KanaConversion::NoKanaConversion);
}

void TestTextWindowOptions::refusesReplacementWithoutSearch_data() {
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("search");
    QTest::addColumn<QString>("replacement");
    QTest::addColumn<bool>("missing");
    QTest::newRow("replacement without search") << 0 << QString() << u"r"_s << true;
    QTest::newRow("both empty") << 0 << QString() << QString() << false;
    QTest::newRow("only search") << 0 << u"s"_s << QString() << false;
    QTest::newRow("equal-text mode") << 1 << QString() << u"r"_s << false;
    QTest::newRow("matching mode") << 2 << QString() << u"r"_s << false;
}

void TestTextWindowOptions::refusesReplacementWithoutSearch() {
    QFETCH(int, mode);
    QFETCH(QString, search);
    QFETCH(QString, replacement);
    QFETCH(bool, missing);
    RecordingPrompter prompter;
    TextWindowOptions o(prompter);
    o.setReplaceMode(ReplaceMode(mode));
    o.setSearchText(search);
    o.setReplaceText(replacement);
    QCOMPARE(o.searchTextMissing(), missing);
    // The start button checks the list first, then the search string, one message each.
    using Check = TextWindowOptions::StartCheck;
    QCOMPARE(o.checkStart(0), Check::NoFiles);
    QCOMPARE(prompter.texts(), QStringList{u"ファイルを選択して下さい。"_s});
    prompter.clear();
    QCOMPARE(o.checkStart(3), missing ? Check::SearchTextMissing : Check::Ready);
    QCOMPARE(prompter.texts(),
             missing ? QStringList{u"検索文字列を入力して下さい。"_s} : QStringList());
}

void TestTextWindowOptions::announcesChanges() {
    RecordingPrompter prompter;
    TextWindowOptions o(prompter);
    QSignalSpy spy(&o, &TextWindowOptions::changed);
    o.setClassBox(TextWindowOptions::DashPeriod, true);
    o.setKanaConversion(KanaConversion::KatakanaToHiragana);
    QCOMPARE(spy.count(), 2);
}

QTEST_GUILESS_MAIN(TestTextWindowOptions)
#include "TestTextWindowOptions.moc"
