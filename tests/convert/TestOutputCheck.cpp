#include "OutputCheck.h"
#include "OutputReview.h"
#include "convert/JobFixture.h"

#include <QTest>

using namespace ornvale;
using namespace ornvale::test;
using namespace Qt::StringLiterals;

// Reading outputs back after a job: the release they carry and whether they are whole.
class TestOutputCheck : public QObject {
    Q_OBJECT
private slots:
    void init() { m_dir = std::make_unique<QTemporaryDir>(); }
    void releaseAskedFor_data();
    void releaseAskedFor();
    void readBack_data();
    void readBack();
    void reviewMarksRowsAndNamesTheOthers();

private:
    QString path(const QString& name) const { return m_dir->filePath(name); }
    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestOutputCheck::releaseAskedFor_data() {
    QTest::addColumn<int>("selection");
    QTest::addColumn<bool>("dxf");
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("version");
    QTest::newRow("2006 DXF 2000/LT2000") << 17 << true << 1 << u"AC1015"_s;
    QTest::newRow("2006 DXF R12") << 17 << true << 2 << u"AC1009"_s;
    QTest::newRow("2006 DWG 2004") << 17 << false << 0 << u"AC1018"_s;
    QTest::newRow("2007 DWG R14") << 41 << false << 3 << u"AC1014"_s;
    QTest::newRow("2007 DXF 2007") << 21 << true << 0 << u"AC1021"_s;
    QTest::newRow("LT 2000i DXF R13") << 3 << true << 2 << u"AC1012"_s;
    QTest::newRow("LT 2000i DWG index 3: no token") << 3 << false << 3 << QString();
    QTest::newRow("no product: no token") << 0 << true << 0 << QString();
}

void TestOutputCheck::releaseAskedFor() {
    QFETCH(int, selection);
    QFETCH(bool, dxf);
    QFETCH(int, index);
    QFETCH(QString, version);
    ConversionOptions options;
    options.outputFormat = dxf ? OutputFormat::Dxf : OutputFormat::Dwg;
    (dxf ? options.dxfVersionIndex : options.dwgVersionIndex) = index;
    QCOMPARE(OutputCheck::expectedVersion(options, static_cast<quint8>(selection)), version);
}

void TestOutputCheck::readBack_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes"); // "<none>": no file
    QTest::addColumn<QString>("expected");
    QTest::addColumn<QString>("version");
    QTest::addColumn<bool>("whole");
    QTest::addColumn<QString>("finding"); // empty: ok
    const QByteArray dxf = dxfBytes(400, "AC1015");
    QTest::newRow("DWG of the release")
        << u"a.dwg"_s << dwgBytes(300) << u"AC1015"_s << u"AC1015"_s << true << QString();
    QTest::newRow("DWG of another release")
        << u"a.dwg"_s << dwgBytes(300, "AC1014") << u"AC1015"_s << u"AC1014"_s << true
        << u"出力ファイルのバージョンは AC1014 です（指定したリリースは AC1015）。"_s;
    QTest::newRow("empty DWG") << u"a.dwg"_s << QByteArray() << u"AC1015"_s << QString() << false
                               << u"出力ファイルが空です。"_s;
    QTest::newRow("no output") << u"a.dwg"_s << QByteArray("<none>") << u"AC1015"_s << QString()
                               << false << u"出力ファイルがありません。"_s;
    QTest::newRow("DXF of the release")
        << u"b.dxf"_s << dxf << u"AC1015"_s << u"AC1015"_s << true << QString();
    QTest::newRow("DXF padded with blanks after EOF")
        << u"b.dxf"_s << dxf + QByteArray(10000, ' ') << u"AC1015"_s << u"AC1015"_s << true
        << QString();
    QTest::newRow("DXF ending EOF without line end")
        << u"b.dxf"_s << dxf.chopped(2) << u"AC1015"_s << u"AC1015"_s << true << QString();
    QTest::newRow("DXF cut short")
        << u"b.dxf"_s << dxf.left(200) << u"AC1015"_s << u"AC1015"_s << false
        << u"出力ファイルが途中で切れています（末尾に EOF がありません）。"_s;
    QTest::newRow("DXF whose last value merely ends in EOF")
        << u"b.dxf"_s << dxf.chopped(5) + "XEOF\r\n"
        << u"AC1015"_s << u"AC1015"_s << false
        << u"出力ファイルが途中で切れています（末尾に EOF がありません）。"_s;
    QTest::newRow("DXF of another release, cut short")
        << u"b.dxf"_s << dxfBytes(400, "AC1018").left(200) << u"AC1015"_s << u"AC1018"_s << false
        << u"出力ファイルのバージョンは AC1018 です（指定したリリースは AC1015）。"
           u"出力ファイルが途中で切れています（末尾に EOF がありません）。"_s;
    QTest::newRow("DXF too short for a version")
        << u"b.dxf"_s << QByteArray("  0\r\nEOF\r\n") << u"AC1015"_s << QString() << true
        << u"出力ファイルのバージョンを読み取れません（指定したリリースは AC1015）。"_s;
    QTest::newRow("no release asked: any version")
        << u"b.dxf"_s << dxfBytes(400, "AC1021") << QString() << u"AC1021"_s << true << QString();
    QTest::newRow("no release asked: still whole")
        << u"a.dwg"_s << QByteArray() << QString() << QString() << false
        << u"出力ファイルが空です。"_s;
}

void TestOutputCheck::readBack() {
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, expected);
    QFETCH(QString, version);
    QFETCH(bool, whole);
    QFETCH(QString, finding);
    if (bytes != "<none>")
        QVERIFY(writeFileBytes(path(name), bytes));
    const OutputCheckResult result = OutputCheck::check(path(name), expected);
    QCOMPARE(result.version, version);
    QCOMPARE(result.whole, whole);
    QCOMPARE(result.ok(), finding.isEmpty());
    QCOMPARE(OutputCheck::finding(result, expected), finding);
}

// Rows of the size comparison carry their finding; every drawing has an output row; an output
// from before the job is missing; the message names only the failed outputs without a row.
void TestOutputCheck::reviewMarksRowsAndNamesTheOthers() {
    const QDateTime start = QDateTime::currentDateTime().addSecs(-5);
    QList<FileEntry> files;
    QList<ScriptTarget> targets;
    const auto add = [&](const QString& source, const QString& output, bool row,
                         const QByteArray& bytes) {
        files.append({u" "_s + source, path(source)});
        targets.append({output, path(u"out/"_s + output), row});
        if (!bytes.isNull())
            QVERIFY(writeFileBytes(path(u"out/"_s + output), bytes));
    };
    add(u"a.dwg"_s, u"a.dwg"_s, true, dwgBytes(100, "AC1018"));
    add(u"b.dwg"_s, u"b.dwg"_s, true, dwgBytes(100, "AC1015"));
    add(u"c.dxf"_s, u"c.dwg"_s, false, QByteArray(""));
    add(u"d.dxf"_s, u"d.dwg"_s, false, dwgBytes(100, "AC1015"));
    add(u"e.dxf"_s, u"e.dwg"_s, false, QByteArray()); // never written
    add(u"f.dxf"_s, u"f.dwg"_s, false, dwgBytes(100, "AC1015"));
    QFile old(path(u"out/f.dwg"_s));
    QVERIFY(old.open(QIODevice::ReadWrite));
    QVERIFY(old.setFileTime(start.addSecs(-60), QFileDevice::FileModificationTime));
    old.close();

    JobOutcome outcome;
    for (int i = 0; i < 2; ++i) {
        ConversionRow row;
        row.number = i + 1;
        row.name = targets[i].outputName;
        row.output = targets[i].targetPath;
        outcome.conversions.append(row);
    }
    OutputReview::review(outcome, files, targets, u"AC1015"_s, start);

    QCOMPARE(outcome.conversions[0].versionOk, false);
    QCOMPARE(outcome.conversions[0].version, u"AC1018"_s);
    QVERIFY(outcome.conversions[0].finding.contains(u"AC1018"_s));
    QCOMPARE(outcome.conversions[1].versionOk, true);
    QCOMPARE(outcome.conversions[1].finding, QString());
    QCOMPARE(outcome.outputs.size(), 6);
    QList<bool> ok;
    for (const OutputRow& row : outcome.outputs)
        ok.append(row.versionOk);
    QCOMPARE(ok, (QList<bool>{false, true, false, true, false, false}));
    QCOMPARE(outcome.outputs[3].number, 4);
    QCOMPARE(outcome.outputs[3].version, u"AC1015"_s);
    QCOMPARE(outcome.outputs[5].finding, u"出力ファイルがありません。"_s);
    QVERIFY(!outcome.outputsOk());

    const QString expected =
        u"次の図面の出力は、指定したリリースの完全な図面ではありません。\r\n\r\n"_s +
        targets[2].targetPath + u"\r\n　出力ファイルが空です。\r\n"_s + targets[4].targetPath +
        u"\r\n　出力ファイルがありません。\r\n"_s + targets[5].targetPath +
        u"\r\n　出力ファイルがありません。"_s;
    QCOMPARE(OutputReview::message(outcome.outputs), expected);

    outcome.outputs.removeAt(5);
    outcome.outputs.removeAt(4);
    outcome.outputs.removeAt(2);
    QCOMPARE(OutputReview::message(outcome.outputs), QString()); // a's failure is in the grid
}

QTEST_GUILESS_MAIN(TestOutputCheck)
#include "TestOutputCheck.moc"
