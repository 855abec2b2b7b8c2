#include "ConvertArguments.h"
#include "ProductTable.h"
#include "SettingsArguments.h"
#include "TextCommandLine.h"
#include "TextWindowOptions.h"

#include <QDir>
#include <QTest>

using namespace ornvale;
using namespace ornvale::cli;
using namespace Qt::StringLiterals;

// The parsers of the three subcommands, called in-process.
class TestCommandLine : public QObject {
    Q_OBJECT
private slots:
    void helpOnEveryCommand_data();
    void helpOnEveryCommand();
    void sameMistakeSameWords_data();
    void sameMistakeSameWords();
    void textChoicesReachTheirValues();
    void orderOfTheCommandLineIsKept();
    void repeatsMustAgree();
    void selectionCodesAreTheProductTables();
    void settingsTakesNoOperandAndShowsAlone();
    void helpListsEveryOption();
};

namespace {

enum class Command { Text, Convert, Settings };

struct Outcome {
    QStringList operands;
    bool help = false;
    QString error;
};

Outcome parse(Command command, const QStringList& args) {
    const auto outcome = [](const auto& parsed) {
        return Outcome{parsed.operands, parsed.help, parsed.error};
    };
    switch (command) {
    case Command::Text:
        return outcome(TextCommandLine::commandLine().parse(args));
    case Command::Convert:
        return outcome(convertCommandLine().parse(args));
    case Command::Settings:
        break;
    }
    return outcome(SettingsArguments::commandLine().parse(args));
}

} // namespace

void TestCommandLine::helpOnEveryCommand_data() {
    QTest::addColumn<int>("command");
    QTest::addColumn<QStringList>("args");
    for (const auto& [name, command] : {std::pair{"text", Command::Text},
                                        {"convert", Command::Convert},
                                        {"settings", Command::Settings}}) {
        QTest::addRow("%s -h", name) << int(command) << QStringList{u"-h"_s};
        QTest::addRow("%s --help", name) << int(command) << QStringList{u"--help"_s};
        // Help wins over whatever else is wrong on the line.
        QTest::addRow("%s --help with a bad option", name)
            << int(command) << QStringList{u"--frobnicate"_s, u"--help"_s};
    }
    QTest::newRow("text -h before a file")
        << int(Command::Text) << QStringList{u"-h"_s, u"a.dxf"_s};
}

void TestCommandLine::helpOnEveryCommand() {
    QFETCH(int, command);
    QFETCH(QStringList, args);
    const Outcome outcome = parse(Command(command), args);
    QVERIFY(outcome.help);
    QVERIFY(!outcome.operands.contains(u"-h"_s));
}

void TestCommandLine::sameMistakeSameWords_data() {
    QTest::addColumn<int>("command");
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("error");
    const QString codes = selectionCodeNames();
    const QList<std::tuple<const char*, Command, QString, QString, QString>> commands{
        {"text", Command::Text, u"search"_s, u"json"_s, u"selection"_s},
        {"convert", Command::Convert, u"output"_s, u"audit"_s, u"selection"_s},
        {"settings", Command::Settings, u"set-output"_s, u"show"_s, u"set-selection"_s}};
    for (const auto& [name, command, valued, flag, selection] : commands) {
        QTest::addRow("%s: unknown option", name) << int(command) << QStringList{u"--frobnicate"_s}
                                                  << u"Unknown option '--frobnicate'."_s;
        QTest::addRow("%s: unknown short option", name)
            << int(command) << QStringList{u"-x"_s} << u"Unknown option '-x'."_s;
        QTest::addRow("%s: value missing", name) << int(command) << QStringList{u"--"_s + valued}
                                                 << u"Missing value after '--%1'."_s.arg(valued);
        QTest::addRow("%s: flag with a value", name)
            << int(command) << QStringList{u"--%1=yes"_s.arg(flag)}
            << u"Unexpected value after '--%1'."_s.arg(flag);
        QTest::addRow("%s: selection of no product", name)
            << int(command) << QStringList{u"--"_s + selection, u"9"_s}
            << u"Invalid value '9' for '--%1' (expected %2)."_s.arg(selection, codes);
    }
    QTest::newRow("text: unknown choice")
        << int(Command::Text) << QStringList{u"--width"_s, u"wide"_s}
        << u"Invalid value 'wide' for '--width' (expected none|full|half)."_s;
    QTest::newRow("text: unknown class, named alone")
        << int(Command::Text) << QStringList{u"--classes=digits,kanji"_s}
        << u"Invalid value 'kanji' for '--classes' (expected all|alphabet|digits|katakana)."_s;
    QTest::newRow("convert: unknown choice")
        << int(Command::Convert) << QStringList{u"--format"_s, u"pdf"_s}
        << u"Invalid value 'pdf' for '--format' (expected dxf|dwg)."_s;
    QTest::newRow("convert: unknown purge code")
        << int(Command::Convert) << QStringList{u"--purge"_s, u"B,X"_s}
        << u"Invalid value 'X' for '--purge' (expected A,B,LA,LT,SH,P,D,ST,M,T,R,MA,V)."_s;
    QTest::newRow("settings: flag not 0 or 1")
        << int(Command::Settings) << QStringList{u"--set-default-install"_s, u"yes"_s}
        << u"Invalid value 'yes' for '--set-default-install' (expected 0|1)."_s;
    QTest::newRow("text: four conditions")
        << int(Command::Text) << QStringList{u"--contains"_s,     u"a"_s, u"--contains"_s, u"b"_s,
                                             u"--not-contains"_s, u"c"_s, u"--contains"_s, u"d"_s}
        << u"At most three '--contains' / '--not-contains' conditions."_s;
}

void TestCommandLine::sameMistakeSameWords() {
    QFETCH(int, command);
    QFETCH(QStringList, args);
    QFETCH(QString, error);
    const Outcome outcome = parse(Command(command), args + QStringList{});
    QCOMPARE(outcome.error, error);
    QVERIFY(!outcome.help);
}

void TestCommandLine::textChoicesReachTheirValues() {
    const auto parsed = TextCommandLine::commandLine().parse(
        {u"--target"_s, u"mtext"_s, u"--value-condition=not-numeric"_s, u"--join"_s, u"and"_s,
         u"--replace-mode"_s, u"matching"_s, u"--width"_s, u"half"_s, u"--case"_s, u"lower"_s,
         u"--kana"_s, u"to-hiragana"_s, u"--selection"_s, u"21"_s, u"a.dxf"_s});
    QVERIFY2(parsed.error.isEmpty(), qPrintable(parsed.error));
    const TextCommandLine& line = parsed.arguments;
    QCOMPARE(line.target, TargetEntities::MTextOnly);
    QCOMPARE(line.valueCondition, ValueCondition::NotNumericOnly);
    QCOMPARE(line.join, ConditionJoin::And);
    QCOMPARE(line.replaceMode, ReplaceMode::ReplaceMatchingText);
    QCOMPARE(line.width, WidthConversion::ToHalfWidth);
    QCOMPARE(line.caseConversion, CaseConversion::ToLower);
    QCOMPARE(line.kanaConversion, KanaConversion::KatakanaToHiragana);
    QCOMPARE(line.selection, std::optional<quint8>(21));
    QCOMPARE(parsed.operands, QStringList{u"a.dxf"_s});

    const auto defaults = TextCommandLine::commandLine().parse({u"a.dxf"_s});
    QVERIFY(!defaults.arguments.valueCondition && !defaults.arguments.kanaConversion);
    QVERIFY(!defaults.arguments.json && !defaults.arguments.dryRun);
}

// Class boxes and conditions replay in the order given; options may follow files; "--" ends
// the options, so a file may start with a dash.
void TestCommandLine::orderOfTheCommandLineIsKept() {
    const auto text = TextCommandLine::commandLine().parse(
        {u"a.dxf"_s, u"--kana-marks"_s, u"--not-contains"_s, u"x"_s, u"--classes"_s,
         u"alphabet,digits"_s, u"--contains=y"_s, u"--dash-period"_s, u"--"_s, u"-h.dxf"_s,
         u"--json"_s});
    QVERIFY2(text.error.isEmpty(), qPrintable(text.error));
    QVERIFY(!text.help && !text.arguments.json);
    QCOMPARE(text.operands, (QStringList{u"a.dxf"_s, u"-h.dxf"_s, u"--json"_s}));
    const TextCommandLine& line = text.arguments;
    QCOMPARE(line.classBoxes,
             (QList<int>{TextWindowOptions::KanaMarks, TextWindowOptions::Alphabet,
                         TextWindowOptions::Digits, TextWindowOptions::DashPeriod}));
    QCOMPARE(line.classOptionNames, (QStringList{u"--kana-marks"_s, u"--classes alphabet"_s,
                                                 u"--classes digits"_s, u"--dash-period"_s}));
    QCOMPARE(line.conditions.size(), 2);
    QCOMPARE(line.conditions[0].pattern, u"x"_s);
    QVERIFY(!line.conditions[0].mustContain);
    QCOMPARE(line.conditions[1].pattern, u"y"_s);
    QVERIFY(line.conditions[1].mustContain);

    const auto convert = convertCommandLine().parse(
        {u"--purge"_s, u"LT,A"_s, u"b.dwg"_s, u"--purge=MA"_s, u"c.dwg"_s});
    QVERIFY2(convert.error.isEmpty(), qPrintable(convert.error));
    QCOMPARE(convert.arguments.purge, (QStringList{u"LT"_s, u"A"_s, u"MA"_s}));
    QCOMPARE(convert.operands, (QStringList{u"b.dwg"_s, u"c.dwg"_s}));
}

void TestCommandLine::repeatsMustAgree() {
    QCOMPARE(TextCommandLine::commandLine()
                 .parse({u"--width"_s, u"full"_s, u"--width"_s, u"half"_s})
                 .error,
             u"Option '--width' given twice with different values."_s);
    QCOMPARE(convertCommandLine().parse({u"--format=dxf"_s, u"--format"_s, u"dwg"_s}).error,
             u"Option '--format' given twice with different values."_s);
    QCOMPARE(
        SettingsArguments::commandLine().parse({u"--set-output=a"_s, u"--set-output=b"_s}).error,
        u"Option '--set-output' given twice with different values."_s);
    const auto same = TextCommandLine::commandLine().parse(
        {u"--case"_s, u"upper"_s, u"--case=upper"_s, u"--json"_s, u"--json"_s});
    QVERIFY2(same.error.isEmpty(), qPrintable(same.error));
    QCOMPARE(same.arguments.caseConversion, CaseConversion::ToUpper);
}

// Every subcommand takes the codes of the product table and 0, and nothing else.
void TestCommandLine::selectionCodesAreTheProductTables() {
    for (int code = 0; code <= 256; ++code) {
        const QString text = QString::number(code);
        const bool known = isKnownSelectionCode(code);
        QCOMPARE(TextCommandLine::commandLine().parse({u"--selection"_s, text}).error.isEmpty(),
                 known);
        QCOMPARE(convertCommandLine().parse({u"--selection"_s, text}).error.isEmpty(), known);
        const auto settings = SettingsArguments::commandLine().parse({u"--set-selection"_s, text});
        QCOMPARE(settings.error.isEmpty(), known);
        if (known)
            QCOMPARE(settings.arguments.selection, std::optional<quint8>(quint8(code)));
    }
    QVERIFY(!convertCommandLine().parse({u"--selection"_s, u"17x"_s}).error.isEmpty());
    for (const ProductRow& row : productTable())
        QVERIFY(selectionCodeNames().contains(QString::number(row.selectionCode)));
}

void TestCommandLine::settingsTakesNoOperandAndShowsAlone() {
    const CommandLine<SettingsArguments>& settings = SettingsArguments::commandLine();
    QCOMPARE(settings.parse({u"stray"_s}).error, u"Unexpected argument 'stray'."_s);
    const QString alone = u"Option '--show' cannot be combined with '--set-...' options."_s;
    QCOMPARE(settings.parse({u"--show"_s, u"--set-single-document=0"_s}).error, alone);
    QCOMPARE(settings.parse({u"--set-default-install"_s, u"1"_s, u"--show"_s}).error, alone);
    QCOMPARE(settings.parse({u"--set-output="_s}).error,
             u"Invalid value '' for '--set-output' (expected a folder)."_s);

    const auto set = settings.parse({u"--set-custom-path"_s, u"C:\\acad.exe"_s,
                                     u"--set-single-document=1"_s, u"--set-output"_s, u"out"_s});
    QVERIFY2(set.error.isEmpty(), qPrintable(set.error));
    QVERIFY(set.arguments.any() && !set.arguments.show);
    QCOMPARE(set.arguments.customPath, std::optional<QString>(u"C:\\acad.exe"_s));
    QCOMPARE(set.arguments.singleDocument, std::optional<quint8>(1));
    QVERIFY(QDir::isAbsolutePath(*set.arguments.output));
    QVERIFY(!settings.parse({}).arguments.any());
}

// The help is made from the option rows: every option is in it, with the man page's layout
// (two blanks before a term, continuation lines indented deeper).
void TestCommandLine::helpListsEveryOption() {
    const QString text = TextCommandLine::commandLine().helpText();
    QVERIFY(text.startsWith(u"usage: ornvale-cli text [OPTIONS] FILE...\n"_s));
    for (const QString& option :
         {u"  --selection CODE "_s, u"  --kana none|to-katakana|to-hiragana"_s,
          u"  --classes all|alphabet,digits,katakana"_s, u"  --dash-period "_s,
          u"  --changes FILE "_s, u"  -h, --help "_s})
        QVERIFY2(text.contains(option), qPrintable(option));
    const QString convert = convertCommandLine().helpText();
    for (const QString& option : {u"  --format dxf|dwg "_s, u"  --timeout SECONDS "_s,
                                  u"  --purge A,B,LA,... "_s, u"  --json "_s})
        QVERIFY2(convert.contains(option), qPrintable(option));
    const QString settings = SettingsArguments::commandLine().helpText();
    QVERIFY(settings.startsWith(u"usage: ornvale-cli settings [OPTIONS]\n"_s));
    QVERIFY(settings.contains(u"  --set-default-install 0|1 "_s));
    QVERIFY(settings.contains(selectionCodeNames()));
    for (const QString& line : (text + convert + settings).split(u'\n'))
        QVERIFY2(line.isEmpty() || !line.startsWith(u' ') || line.startsWith(u"  "_s),
                 qPrintable(line));
}

QTEST_GUILESS_MAIN(TestCommandLine)
#include "TestCommandLine.moc"
