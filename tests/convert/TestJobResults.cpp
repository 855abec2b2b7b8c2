#include "AuditReport.h"
#include "JobRunner.h"
#include "ResultCollector.h"
#include "convert/JobFixture.h"

#include <QTest>

using namespace ornvale;
using namespace Qt::StringLiterals;

// The result rules that the grids and the command line show.
class TestJobResults : public QObject {
    Q_OBJECT
private slots:
    void kilobyteFigures_data();
    void kilobyteFigures();
    void ratioFromRoundedFigures_data();
    void ratioFromRoundedFigures();
    void summaryLine_data();
    void summaryLine();
    void reportPath();
    void reportsOlderThanTheJobAreNotRead();
    void confirmationNamesTheRealFolder();
};

void TestJobResults::kilobyteFigures_data() {
    QTest::addColumn<qint64>("bytes");
    QTest::addColumn<QString>("figure");
    QTest::newRow("empty file") << qint64(0) << QString();
    QTest::newRow("below half a kilobyte") << qint64(511) << QString();
    QTest::newRow("half rounds up") << qint64(512) << u"1"_s;
    QTest::newRow("10 KB") << qint64(10240) << u"10"_s;
    QTest::newRow("no separator") << qint64(5000LL * 1024) << u"5000"_s;
}

void TestJobResults::kilobyteFigures() {
    QFETCH(qint64, bytes);
    QFETCH(QString, figure);
    QCOMPARE(ResultCollector::kilobyteFigure(bytes), figure);
}

void TestJobResults::ratioFromRoundedFigures_data() {
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("after");
    QTest::addColumn<QString>("ratio");
    QTest::addColumn<int>("mark");
    QTest::newRow("halved") << u"10"_s << u"5"_s << u"50%"_s << int(SizeMark::Shrank);
    QTest::newRow("grew by a third") << u"3"_s << u"4"_s << u"133%"_s << int(SizeMark::Grew);
    QTest::newRow("equal") << u"7"_s << u"7"_s << u"100%"_s << int(SizeMark::None);
    QTest::newRow("empty before") << QString() << u"7"_s << QString() << int(SizeMark::None);
    QTest::newRow("empty after") << u"7"_s << QString() << QString() << int(SizeMark::None);
}

void TestJobResults::ratioFromRoundedFigures() {
    QFETCH(QString, before);
    QFETCH(QString, after);
    QFETCH(QString, ratio);
    QFETCH(int, mark);
    QCOMPARE(ResultCollector::ratioText(before, after), ratio);
    QCOMPARE(int(ResultCollector::markFor(before, after)), mark);
}

void TestJobResults::summaryLine_data() {
    QTest::addColumn<QByteArray>("report");
    QTest::addColumn<int>("offset");
    QTest::addColumn<QString>("summary"); // "<none>": too short
    QTest::newRow("second from the end") << QByteArray("head\r\nS\r\nend\r\n") << 2 << u"S"_s;
    QTest::newRow("fourth from the end")
        << QByteArray("head\r\nS\r\n\r\n3\r\nend\r\n") << 4 << u"S"_s;
    QTest::newRow("lone CR and LF line ends") << QByteArray("head\rS\nend\r\n") << 2 << u"S"_s;
    QTest::newRow("code page 932")
        << QByteArray("\x8c\x9f\x8f\x6f\xb4\xd7\xb0\x91\x8d\x90\x94 0\r\nend\r\n") << 2
        << u"検出ｴﾗｰ総数 0"_s;
    QTest::newRow("summary line alone") << QByteArray("S\r\n") << 2 << u"<none>"_s;
    QTest::newRow("empty report") << QByteArray() << 2 << u"<none>"_s;
}

void TestJobResults::summaryLine() {
    QFETCH(QByteArray, report);
    QFETCH(int, offset);
    QFETCH(QString, summary);
    const std::optional<QString> line =
        AuditReport::summaryLine(AuditReport::splitLines(report), offset);
    QCOMPARE(line.value_or(u"<none>"_s), summary);
}

void TestJobResults::reportPath() {
    QCOMPARE(AuditReport::reportPathFor(u"/d/plan.dwg"_s), u"/d/plan.adt"_s);
    QCOMPARE(AuditReport::reportPathFor(u"  /d/plan.DXF"_s), u"/d/plan.adt"_s);
}

// A report left beside the drawing by an earlier run is neither read nor deleted.
void TestJobResults::reportsOlderThanTheJobAreNotRead() {
    QTemporaryDir dir;
    const QString source = dir.filePath(u"plan.dwg"_s);
    const QString report = dir.filePath(u"plan.adt"_s);
    QVERIFY(test::writeFileBytes(report, "x\r\n検出\r\nend\r\n"));
    const QDateTime start = QDateTime::currentDateTime().addSecs(60);
    const AuditReport::Result result =
        AuditReport::collect({{u" plan.dwg"_s, source}}, {}, 17, false, start);
    QVERIFY(result.failure);
    QCOMPARE(result.failure->path, report);
    QVERIFY(QFile::exists(report));

    const AuditReport::Result fresh = AuditReport::collect(
        {{u" plan.dwg"_s, source}}, {}, 17, false, QDateTime::currentDateTime().addSecs(-60));
    QVERIFY(!fresh.failure);
    QCOMPARE(fresh.rows.size(), 1);
    QVERIFY(fresh.rows[0].errors);
    QVERIFY(!QFile::exists(report)); // errors, but reports are not kept
}

void TestJobResults::confirmationNamesTheRealFolder() {
    const QString sentence =
        u"\r\n変換しますか？\r\n\r\n変換されたファイルは、%1フォルダに格納されます。\r\n\r\n"_s;
    QCOMPARE(
        JobRunner::confirmationText(u"/home/u/Desktop/Ornvale/"_s, u"/home/u/Desktop/Ornvale"_s),
        sentence.arg(u"デスクトップ上の「Ornvale」"_s));
    QCOMPARE(JobRunner::confirmationText(u"/srv/変換"_s, u"/home/u/Desktop/Ornvale"_s),
             sentence.arg(u"「/srv/変換」"_s));
}

QTEST_GUILESS_MAIN(TestJobResults)
#include "TestJobResults.moc"
