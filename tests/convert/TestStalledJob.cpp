#include "Cp932Codec.h"
#include "StallWatch.h"
#include "StalledJob.h"
#include "convert/JobFixture.h"

#include <QSignalSpy>
#include <QTest>

using namespace ornvale;
using namespace ornvale::test;
using namespace Qt::StringLiterals;

// What a job says and shows when AutoCAD wrote nothing new for the stall limit.
class TestStalledJob : public QObject {
    Q_OBJECT
private slots:
    void waitingFor_data();
    void waitingFor();
    void writtenRowsOnlyOfOutputsThere();
    void writtenAuditsOnlyOfOutputsThere();
    void watchFiresOnlyWhileWatching();
};

void TestStalledJob::waitingFor_data() {
    QTest::addColumn<QList<bool>>("seen");
    QTest::addColumn<int>("expected"); // index into a, b, c, d; -1 for none
    QTest::newRow("nothing written") << QList<bool>{} << 0;
    QTest::newRow("none of four") << QList<bool>{false, false, false, false} << 0;
    QTest::newRow("two written") << QList<bool>{true, true, false, false} << 2;
    // b was skipped without output and AutoCAD went on: it hangs on d, not on b.
    QTest::newRow("one skipped before") << QList<bool>{true, false, true, false} << 3;
    QTest::newRow("all written, no marker") << QList<bool>{true, true, true, true} << -1;
}

void TestStalledJob::waitingFor() {
    QFETCH(QList<bool>, seen);
    QFETCH(int, expected);
    QList<FileEntry> files;
    for (const QString& name : {u"a"_s, u"b"_s, u"c"_s, u"d"_s})
        files.append({u" "_s + name + u".dwg"_s, u"/src/"_s + name + u".dwg"_s});
    QCOMPARE(StalledJob::waitingFor(files, seen),
             expected < 0 ? QString() : files[expected].sourcePath);
    // The message names it, or says the end was not confirmed.
    const QString message = StalledJob::message(5, StalledJob::waitingFor(files, seen));
    QVERIFY(message.startsWith(u"　5分間、"_s));
    QCOMPARE(message.endsWith(u"\r\n"_s + StalledJob::waitingFor(files, seen)), expected >= 0);
}

// Rows keep their list numbers; a drawing without output of this job, or saved in the other
// format, or whose source has gone, has none.
void TestStalledJob::writtenRowsOnlyOfOutputsThere() {
    QTemporaryDir dir;
    const auto at = [&](const QString& name) { return dir.filePath(name); };
    const QDateTime start = QDateTime::currentDateTime().addSecs(-5);
    QList<FileEntry> files;
    QList<ScriptTarget> targets;
    for (const QString& name : {u"a"_s, u"b"_s, u"c"_s, u"d"_s, u"e"_s}) {
        QVERIFY(writeFileBytes(at(u"src/"_s + name + u".dwg"_s), dwgBytes(4096)));
        files.append({u" "_s + name + u".dwg"_s, at(u"src/"_s + name + u".dwg"_s)});
        targets.append({name + u".dwg"_s, at(u"out/"_s + name + u".dwg"_s), name != u"c"_s});
    }
    QVERIFY(writeFileBytes(targets[0].targetPath, dwgBytes(2048)));
    QVERIFY(writeFileBytes(targets[2].targetPath, dwgBytes(2048))); // other format: no row
    QVERIFY(writeFileBytes(targets[3].targetPath, dwgBytes(8192)));
    QVERIFY(QFile::remove(files[3].sourcePath));
    QVERIFY(writeFileBytes(targets[4].targetPath, dwgBytes(2048)));
    QFile old(targets[4].targetPath); // left by an earlier job
    QVERIFY(old.open(QIODevice::ReadWrite));
    QVERIFY(old.setFileTime(start.addSecs(-60), QFileDevice::FileModificationTime));
    old.close();
    const QList<ConversionRow> rows = StalledJob::writtenRows(files, targets, start);
    QCOMPARE(rows.size(), 1);
    QCOMPARE(rows[0].number, 1);
    QCOMPARE(rows[0].after, u"2 KB"_s);
    QCOMPARE(rows[0].ratio, u"50%"_s);
}

// a and c were written, AutoCAD hung on b after auditing it: a's report without errors is
// read and deleted, c's with errors read and kept, b's left alone; d's report is missing.
void TestStalledJob::writtenAuditsOnlyOfOutputsThere() {
    QTemporaryDir dir;
    const auto at = [&](const QString& name) { return dir.filePath(name); };
    const QDateTime start = QDateTime::currentDateTime().addSecs(-5);
    // The summary is two lines from the end for this product.
    const auto report = [](const QString& summary) {
        return "audit\r\n" + Cp932Codec::encode(summary).bytes + "\r\nend\r\n";
    };
    QList<FileEntry> files;
    QList<ScriptTarget> targets;
    for (const QString& name : {u"a"_s, u"b"_s, u"c"_s, u"d"_s}) {
        files.append({u" "_s + name + u".dwg"_s, at(u"src/"_s + name + u".dwg"_s)});
        targets.append({name + u".dwg"_s, at(u"out/"_s + name + u".dwg"_s), true});
    }
    QVERIFY(writeFileBytes(at(u"src/a.adt"_s), report(zeroSummaryOf(17))));
    QVERIFY(writeFileBytes(at(u"src/b.adt"_s), report(zeroSummaryOf(17))));
    QVERIFY(writeFileBytes(at(u"src/c.adt"_s), report(zeroSummaryOf(17, 3, 3))));
    for (int i : {0, 2, 3})
        QVERIFY(writeFileBytes(targets[i].targetPath, dwgBytes(2048)));

    const QList<AuditRow> rows = StalledJob::writtenAudits(files, targets, 17, true, start);
    QCOMPARE(rows.size(), 2);
    QCOMPARE(rows[0].number, 1);
    QVERIFY(!rows[0].errors);
    QVERIFY(!QFile::exists(at(u"src/a.adt"_s)));
    QCOMPARE(rows[1].number, 3);
    QCOMPARE(rows[1].name, u"c.dwg"_s);
    QCOMPARE(rows[1].summary, zeroSummaryOf(17, 3, 3));
    QVERIFY(rows[1].errors && rows[1].reportKept);
    QVERIFY(QFile::exists(at(u"src/c.adt"_s)));
    QVERIFY(QFile::exists(at(u"src/b.adt"_s)));
}

void TestStalledJob::watchFiresOnlyWhileWatching() {
    StallWatch watch;
    QSignalSpy stalled(&watch, &StallWatch::stalled);
    watch.expire();
    watch.start(0); // no limit
    watch.expire();
    QCOMPARE(stalled.count(), 0);
    watch.start(StallWatch::limitMs(3));
    QCOMPARE(watch.currentLimitMs(), 3 * 60'000);
    watch.outputSeen();
    QVERIFY(watch.isActive());
    watch.expire();
    QCOMPARE(stalled.count(), 1);
    watch.stop();
    watch.expire();
    QCOMPARE(stalled.count(), 1);
    qputenv("ORNVALE_TEST_STALL_MINUTE_MS", "40");
    QCOMPARE(StallWatch::limitMs(3), 120);
    qunsetenv("ORNVALE_TEST_STALL_MINUTE_MS");
    QCOMPARE(StallWatch::limitMs(0), 0);
}

QTEST_GUILESS_MAIN(TestStalledJob)
#include "TestStalledJob.moc"
