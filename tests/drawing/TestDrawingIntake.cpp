#include "DrawingIntake.h"
#include "drawing/DrawingFiles.h"
#include "mock/RecordingPrompter.h"

#include <QTemporaryDir>
#include <QTest>

using namespace ornvale;
using namespace ornvale::test;
using namespace Qt::StringLiterals;
using Verdict = DropIntake::Verdict;

Q_DECLARE_METATYPE(ornvale::DropIntake::Verdict)

// The main window's rule for one dropped path, on real files.
class TestDrawingIntake : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;

private slots:
    void examine_data();
    void examine();
};

void TestDrawingIntake::examine_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<int>("selection");
    QTest::addColumn<Verdict>("verdict");
    QTest::addColumn<QString>("reason"); // of the one message shown, empty for none

    const QString dir = m_dir.path();
    const QString incompatible = u"互換性のないバージョンで作成されています。"_s;
    const QString unsafe = u"スクリプトに使用できない文字がファイル名に含まれています。"_s;
    const QString r2007 = writeFile(dir, u"r2007.dxf"_s, dxfHead("AC1021"));
    const QString r14 = writeFile(dir, u"R14.DWG"_s, dwgHead("AC1014"));
    const QString blank = writeFile(dir, u"blank.dxf"_s, dxfHead("AC1015 "));
    const QString lfOnly = writeFile(dir, u"lf.dxf"_s, dxfHead("AC1015", "\n"));
    const QString empty = writeFile(dir, u"empty.dwg"_s, {});
    const QString missing = dir + u"/missing.dwg"_s;
    QDir().mkpath(dir + u"/folder.dwg"_s);

    QTest::newRow("2007 dxf with AutoCAD 2006") << r2007 << 17 << Verdict::Refuse << incompatible;
    QTest::newRow("2007 dxf with AutoCAD 2007") << r2007 << 41 << Verdict::Accept << QString();
    QTest::newRow("2007 dxf with no product") << r2007 << 0 << Verdict::Accept << QString();
    QTest::newRow("R14 dwg with LT 2000i") << r14 << 3 << Verdict::Accept << QString();
    QTest::newRow("code with trailing blank") << blank << 41 << Verdict::Refuse << incompatible;
    QTest::newRow("LF-only dxf") << lfOnly << 41 << Verdict::Refuse << incompatible;
    // What cannot be read is named as such, with or without a product to test against.
    QTest::newRow("empty dwg") << empty << 41 << Verdict::Refuse << u"ファイルが空です。"_s;
    QTest::newRow("empty dwg, no product")
        << empty << 0 << Verdict::Refuse << u"ファイルが空です。"_s;
    QTest::newRow("missing file") << missing << 21 << Verdict::Refuse
                                  << u"ファイルが見つかりません。"_s;
    QTest::newRow("mixed-case ending")
        << writeFile(dir, u"Plan.Dwg"_s, dwgHead("AC1015")) << 41 << Verdict::Skip << QString();
    QTest::newRow("folder with a drawing's name")
        << dir + u"/folder.dwg"_s << 41 << Verdict::Skip << QString();
    QTest::newRow("folder, no product")
        << dir + u"/folder.dwg"_s << 0 << Verdict::Skip << QString();
    QTest::newRow("japanese name") << writeFile(dir, u"図面～１.dwg"_s, dwgHead("AC1015")) << 41
                                   << Verdict::Accept << QString();
#ifndef Q_OS_WIN // Windows file names cannot hold these characters
    QTest::newRow("double quote") << writeFile(dir, u"a\"b.dwg"_s, dwgHead("AC1015")) << 41
                                  << Verdict::Refuse << unsafe;
    QTest::newRow("line feed") << writeFile(dir, u"a\nb.dwg"_s, dwgHead("AC1015")) << 41
                               << Verdict::Refuse << unsafe;
    QTest::newRow("carriage return, no product")
        << writeFile(dir, u"a\rb.dwg"_s, dwgHead("AC1015")) << 0 << Verdict::Refuse << unsafe;
#endif
    QTest::newRow("outside code page 932")
        << writeFile(dir, u"caf\u00e9.dwg"_s, dwgHead("AC1015")) << 41 << Verdict::Refuse << unsafe;
#ifndef Q_OS_WIN
    // The version test comes first: one message per file, the version one.
    QTest::newRow("unsafe and incompatible") << writeFile(dir, u"q\"2007.dxf"_s, dxfHead("AC1021"))
                                             << 17 << Verdict::Refuse << incompatible;
    QTest::newRow("unsafe non-drawing is passed over")
        << writeFile(dir, u"q\".txt"_s, "x") << 41 << Verdict::Skip << QString();
#endif
}

void TestDrawingIntake::examine() {
    QFETCH(QString, path);
    QFETCH(int, selection);
    QFETCH(Verdict, verdict);
    QFETCH(QString, reason);
    RecordingPrompter prompter;
    const DrawingIntake intake{quint8(selection)};
    QCOMPARE(intake.examine(path, prompter), verdict);
    if (reason.isEmpty()) {
        QCOMPARE(prompter.messages().size(), 0);
    } else {
        QCOMPARE(prompter.messages().size(), 1);
        QCOMPARE(prompter.messages()[0].text, path + u" は、 \r\n\r\n"_s + reason);
        QCOMPARE(prompter.messages()[0].title, u"確認"_s);
    }
}

QTEST_GUILESS_MAIN(TestDrawingIntake)
#include "TestDrawingIntake.moc"
