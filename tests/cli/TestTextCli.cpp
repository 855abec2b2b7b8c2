#include "CliProcess.h"
#include "dxf/DxfFixtures.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace ornvale::test;
using namespace Qt::StringLiterals;

// Runs the real ornvale-cli text with its folders in a temporary home.
class TestTextCli : public QObject {
    Q_OBJECT
private slots:
    void init();
    void usageErrors_data();
    void usageErrors();
    void acceptedOptionCombinations_data();
    void acceptedOptionCombinations();
    void countsChanges_data();
    void countsChanges();
    void reportsEveryFileInJson();
    void convertsEveryFileWithExitZero();
    void refusesSecondFileForSameOutput();
    void defaultSelectionComesFromStartUp();
    void help();
    void folderArgumentsBringTheirDxfFiles();

private:
    CliRun run(const QStringList& args);
    QString path(const QString& name) const { return m_home->filePath(name); }
    QString fixture(const QString& name, const QString& as);

    std::unique_ptr<QTemporaryDir> m_home;
};

void TestTextCli::init() {
    m_home = std::make_unique<QTemporaryDir>();
    QVERIFY(m_home->isValid());
}

CliRun TestTextCli::run(const QStringList& args) {
    return runCli(*m_home, QStringLiteral("text"), args);
}

QString TestTextCli::fixture(const QString& name, const QString& as) {
    QFile::copy(QStringLiteral(ORNVALE_TEST_DATA "/text/") + name, path(as));
    return path(as);
}

void TestTextCli::usageErrors_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("message");
    // The parser's words are checked in-process; here, that a usage error ends the run.
    QTest::newRow("no file") << QStringList{u"--json"_s} << u"No FILE given."_s;
    QTest::newRow("unknown option")
        << QStringList{u"--frobnicate"_s, u"a.dxf"_s}
        << u"Unknown option '--frobnicate'.\nTry 'ornvale-cli text --help'."_s;
    QTest::newRow("value missing")
        << QStringList{u"a.dxf"_s, u"--search"_s} << u"Missing value after '--search'."_s;
    QTest::newRow("case under numeric")
        << QStringList{u"--case"_s, u"upper"_s, u"--value-condition"_s, u"numeric"_s, u"a.dxf"_s}
        << u"Option '--case' cannot be set with '--value-condition numeric'."_s;
    QTest::newRow("kana under numeric")
        << QStringList{u"--value-condition"_s, u"numeric"_s, u"--kana"_s, u"to-katakana"_s,
                       u"a.dxf"_s}
        << u"Option '--kana' cannot be set with '--value-condition numeric'."_s;
    QTest::newRow("kana under date")
        << QStringList{u"--kana"_s, u"to-hiragana"_s, u"--value-condition"_s, u"date"_s, u"a.dxf"_s}
        << u"Option '--kana' cannot be set with '--value-condition date'."_s;
    QTest::newRow("all under numeric")
        << QStringList{u"--value-condition"_s, u"numeric"_s, u"--classes"_s, u"all"_s, u"a.dxf"_s}
        << u"Option '--classes all' cannot be set with '--value-condition numeric'."_s;
    QTest::newRow("alphabet under numeric")
        << QStringList{u"--value-condition"_s, u"numeric"_s, u"--classes"_s, u"digits,alphabet"_s,
                       u"a.dxf"_s}
        << u"Option '--classes alphabet' cannot be set with '--value-condition numeric'."_s;
    QTest::newRow("half width with hiragana: the window's message")
        << QStringList{u"--kana"_s, u"to-hiragana"_s, u"--width"_s, u"half"_s, u"a.dxf"_s}
        << u"「全角⇒半角 変換」にチェックが入っているため選択できません。　"_s;
    QTest::newRow("replacement without search: the window's message")
        << QStringList{u"--replace"_s, u"x"_s, u"--selection"_s, u"41"_s, u"a.dxf"_s}
        << u"検索文字列を入力して下さい。"_s;
}

void TestTextCli::usageErrors() {
    QFETCH(QStringList, args);
    QFETCH(QString, message);
    const QString input = fixture(u"text_r2004.dxf"_s, u"a.dxf"_s);
    const CliRun result = run(args);
    QCOMPARE(result.exitCode, 2);
    QVERIFY2(result.err.contains(message), qPrintable(result.err));
    QVERIFY(result.outBytes.isEmpty());
    QVERIFY(!QFile::exists(path(u"a-T.dxf"_s)));
}

void TestTextCli::acceptedOptionCombinations_data() {
    QTest::addColumn<QStringList>("args");
    QTest::newRow("hidden case set to the value it holds")
        << QStringList{u"--value-condition"_s, u"numeric"_s, u"--case"_s, u"none"_s};
    QTest::newRow("hidden kana set to the value it holds")
        << QStringList{u"--value-condition"_s, u"date"_s, u"--kana"_s, u"none"_s};
    QTest::newRow("digits under numeric")
        << QStringList{u"--value-condition"_s, u"numeric"_s, u"--classes"_s, u"digits"_s};
    QTest::newRow("search kept in matching mode")
        << QStringList{u"--search"_s, u"s"_s, u"--replace-mode"_s, u"matching"_s};
    QTest::newRow("half width with katakana")
        << QStringList{u"--width"_s, u"half"_s, u"--kana"_s, u"to-katakana"_s};
    QTest::newRow("repeat with the same value")
        << QStringList{u"--case"_s, u"upper"_s, u"--case=upper"_s};
    QTest::newRow("both strings empty") << QStringList{u"--search"_s, u""_s, u"--replace"_s, u""_s};
}

void TestTextCli::acceptedOptionCombinations() {
    QFETCH(QStringList, args);
    fixture(u"text_r2004.dxf"_s, u"a.dxf"_s);
    const CliRun result = run(args + QStringList{u"--selection"_s, u"17"_s, u"a.dxf"_s});
    QCOMPARE(result.err, QString());
    QCOMPARE(result.exitCode, 0);
    QVERIFY(QFile::exists(path(u"a-T.dxf"_s)));
}

void TestTextCli::countsChanges_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QByteArray>("counters");
    // The drawing holds five TEXT and MTEXT values in its entities section, three of them TEXT,
    // all five holding "abc" (one of them in the group-3 chunks of the long MTEXT).
    QTest::newRow("matching values of TEXT only")
        << QStringList{u"--replace-mode"_s, u"matching"_s, u"--replace"_s, u"X"_s,
                       u"--target"_s,       u"text"_s}
        << QByteArray("\"replacedCount\":3,\"toFullWidthCount\":0,\"toHalfWidthCount\":0,"
                      "\"caseChangedCount\":0,\"toKatakanaCount\":0,\"toHiraganaCount\":0");
    QTest::newRow("replace then upper case")
        << QStringList{u"--search"_s, u"abc"_s, u"--replace"_s, u"xyz"_s, u"--case"_s, u"upper"_s}
        << QByteArray("\"replacedCount\":5,\"toFullWidthCount\":0,\"toHalfWidthCount\":0,"
                      "\"caseChangedCount\":5,\"toKatakanaCount\":0,\"toHiraganaCount\":0");
    QTest::newRow("full width with no class given converts all")
        << QStringList{u"--width"_s, u"full"_s}
        << QByteArray("\"replacedCount\":0,\"toFullWidthCount\":5,\"toHalfWidthCount\":0,"
                      "\"caseChangedCount\":0,\"toKatakanaCount\":0,\"toHiraganaCount\":0");
    QTest::newRow("numeric values only: nothing here is a number")
        << QStringList{u"--value-condition"_s, u"numeric"_s, u"--width"_s, u"full"_s}
        << QByteArray("\"replacedCount\":0,\"toFullWidthCount\":0,\"toHalfWidthCount\":0,"
                      "\"caseChangedCount\":0,\"toKatakanaCount\":0,\"toHiraganaCount\":0");
}

void TestTextCli::countsChanges() {
    QFETCH(QStringList, args);
    QFETCH(QByteArray, counters);
    fixture(u"text_r2004.dxf"_s, u"a.dxf"_s);
    const CliRun result =
        run(args + QStringList{u"--json"_s, u"--selection"_s, u"17"_s, u"a.dxf"_s});
    QCOMPARE(result.exitCode, 0);
    QVERIFY2(result.outBytes.endsWith(",\"counters\":{" + counters + "}}\n"),
             result.outBytes.constData());
    QVERIFY(readFile(path(u"a-T.dxf"_s)) != readFile(path(u"a.dxf"_s)) ||
            counters.count(":0") == 6);
}

void TestTextCli::reportsEveryFileInJson() {
    const QString good = fixture(u"text_r2004.dxf"_s, u"good.dxf"_s);
    const QString old = fixture(u"text_r12.dxf"_s, u"old.DXF"_s);
    const QString newer = fixture(u"text_r2007.dxf"_s, u"newer.dxf"_s);
    const QString notes = fixture(u"text_r2004.dxf"_s, u"notes.txt"_s);
    const QString broken = path(u"broken.dxf"_s);
    QVERIFY(writeFile(broken, joinLines(headerLines("AC1015") + fileEnd())));

    const CliRun result =
        run({u"--json"_s, u"--selection"_s, u"17"_s, good, old, newer, notes, broken});
    QCOMPARE(result.exitCode, 1);
    const auto s = [](const QString& text) { return text.toUtf8(); };
    const QByteArray expected =
        "{\"files\":["
        "{\"input\":\"" +
        s(good) + "\",\"output\":\"" + s(path(u"good-T.dxf"_s)) +
        "\",\"status\":\"converted\",\"message\":\"\",\"notes\":[]},"
        "{\"input\":\"" +
        s(old) + "\",\"output\":null,\"status\":\"refused\",\"message\":\"" + s(kTooOldMessage) +
        "\",\"notes\":[]},"
        "{\"input\":\"" +
        s(newer) + "\",\"output\":null,\"status\":\"refused\",\"message\":\"" +
        s(kIncompatibleMessage) +
        "\",\"notes\":[]},"
        "{\"input\":\"" +
        s(notes) +
        "\",\"output\":null,\"status\":\"skipped\",\"message\":\"not a DXF file name (.dxf or "
        ".DXF)\",\"notes\":[]},"
        "{\"input\":\"" +
        s(broken) + "\",\"output\":null,\"status\":\"failed\",\"message\":\"" +
        s(u"ENTITIES セクションが見つからないため、変換できません。"_s) +
        "\",\"notes\":[]}],"
        "\"counters\":{\"replacedCount\":0,\"toFullWidthCount\":0,\"toHalfWidthCount\":0,"
        "\"caseChangedCount\":0,\"toKatakanaCount\":0,\"toHiraganaCount\":0}}\n";
    QCOMPARE(result.outBytes, expected);
    // The window's messages on stderr, in file order; no progress when stderr is no terminal.
    const QString expectedErr =
        old + u" は、 \n\n"_s + kTooOldMessage + u'\n' + newer + u" は、 \n\n"_s +
        kIncompatibleMessage + u"\nornvale-cli text: skipped "_s + notes +
        u": not a DXF file name (.dxf or .DXF)\n"_s + broken +
        u" は、 \n\nENTITIES セクションが見つからないため、変換できません。\n"_s;
    QCOMPARE(result.err, expectedErr);
    QCOMPARE(readFile(path(u"good-T.dxf"_s)), readFile(good));
    QVERIFY(!QFile::exists(path(u"broken-T.dxf"_s)));
}

void TestTextCli::convertsEveryFileWithExitZero() {
#ifdef Q_OS_WIN
    // There PLAN-T.dxf would be the second input itself, which refusesSecondFileForSameOutput's
    // relatives cover.
    const QString second = u"other-T.dxf"_s;
#else
    const QString second = u"plan-T.dxf"_s;
#endif
    fixture(u"text_r2000.dxf"_s, u"PLAN.DXF"_s);
    fixture(u"text_r2007.dxf"_s, second);
    const CliRun result = run({u"--selection"_s, u"41"_s, u"PLAN.DXF"_s, second});
    QCOMPARE(result.err, QString());
    QCOMPARE(result.exitCode, 0);
    QVERIFY(result.outBytes.isEmpty());
    QCOMPARE(readFile(path(u"PLAN-T.dxf"_s)), readFile(path(u"PLAN.DXF"_s)));
    QCOMPARE(readFile(path(second.chopped(4) + u"-T.dxf"_s)), readFile(path(second)));
}

void TestTextCli::refusesSecondFileForSameOutput() {
#ifdef Q_OS_WIN
    QSKIP("names differing only in letter case are one file here");
#else
    const QString lower = fixture(u"text_r2004.dxf"_s, u"a.dxf"_s);
    const QString upper = fixture(u"text_r2000.dxf"_s, u"a.DXF"_s);
    const CliRun result = run({u"--json"_s, u"--selection"_s, u"17"_s, lower, upper});
    QCOMPARE(result.exitCode, 1);
    const QByteArray reason =
        u"出力ファイル %1 は先に変換した %2 の出力のため、上書きできません。"_s
            .arg(path(u"a-T.dxf"_s), lower)
            .toUtf8();
    QVERIFY2(result.outBytes.contains("{\"input\":\"" + upper.toUtf8() +
                                      "\",\"output\":null,\"status\":\"failed\",\"message\":\"" +
                                      reason + "\",\"notes\":[]}"),
             result.outBytes.constData());
    QVERIFY(result.outBytes.contains("\"status\":\"converted\""));
    QCOMPARE(readFile(path(u"a-T.dxf"_s)), readFile(lower));
#endif
}

void TestTextCli::defaultSelectionComesFromStartUp() {
    // No settings file and no AutoCAD installed: start-up settles "no AutoCAD", which takes no
    // DXF file at all.
    fixture(u"text_r2000.dxf"_s, u"a.dxf"_s);
    const CliRun result = run({u"a.dxf"_s});
    QCOMPARE(result.exitCode, 1);
    QVERIFY2(result.err.contains(u"a.dxf は、 \n\n"_s + kIncompatibleMessage),
             qPrintable(result.err));
    QVERIFY(!QFile::exists(path(u"a-T.dxf"_s)));
}

// -h is the help, not a file to convert.
void TestTextCli::help() {
    for (const QString& option : {u"--help"_s, u"-h"_s}) {
        const CliRun result = run({option});
        QCOMPARE(result.exitCode, 0);
        QVERIFY(result.outBytes.startsWith("usage: ornvale-cli text [OPTIONS] FILE..."));
        QVERIFY(result.err.isEmpty());
    }
}

// A folder stands for the DXF files in it and its subfolders; run again, it does not take the
// outputs of the first run for drawings.
void TestTextCli::folderArgumentsBringTheirDxfFiles() {
    QVERIFY(QDir().mkpath(path(u"set/b/c"_s)));
    QVERIFY(QDir().mkpath(path(u"set/nothing"_s)));
    fixture(u"text_r2000.dxf"_s, u"set/b/c/deep.dxf"_s);
    fixture(u"text_r2004.dxf"_s, u"set/a.DXF"_s);
    fixture(u"text_r2004.dxf"_s, u"set/b/mixed.Dxf"_s); // not a DXF ending
    fixture(u"text_r2004.dxf"_s, u"set/notes.txt"_s);
    fixture(u"text_r2004.dxf"_s, u"set/mine-T.dxf"_s); // no source beside it: a drawing
    const QStringList expected{path(u"set/a-T.dxf"_s), path(u"set/b/c/deep-T.dxf"_s),
                               path(u"set/mine-T-T.dxf"_s)};
    for (int round = 1; round <= 2; ++round) {
        const CliRun result = run({u"--json"_s, u"--selection"_s, u"41"_s, u"set"_s});
        QVERIFY2(result.exitCode == 0, qPrintable(result.err));
        QCOMPARE(result.err, QString());
        const QJsonArray files = QJsonDocument::fromJson(result.outBytes)[u"files"_s].toArray();
        QStringList outputs;
        for (const QJsonValue& file : files)
            outputs.append(
                QDir(m_home->path())
                    .absoluteFilePath(QDir::fromNativeSeparators(file[u"output"_s].toString())));
        QCOMPARE(outputs, expected);
    }
    QVERIFY(!QFile::exists(path(u"set/a-T-T.dxf"_s)));

    const CliRun empty = run({u"--selection"_s, u"41"_s, u"set/nothing"_s});
    QCOMPARE(empty.exitCode, 1);
    // Nothing accepted: the start check's sentence follows, as in the window.
    QCOMPARE(empty.err, u"set/nothing は、 \n\nDXFファイルが含まれていません。\n"
                        "ファイルを選択して下さい。\n"_s);
}

QTEST_GUILESS_MAIN(TestTextCli)
#include "TestTextCli.moc"
