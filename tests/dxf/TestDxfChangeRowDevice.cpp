#include "DxfChangeRowDevice.h"
#include "DxfLineWriter.h"
#include "LimitedDevice.h"

#include <QBuffer>
#include <QRandomGenerator>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace ornvale;
using ornvale::test::LimitedDevice;

namespace {

struct OwnedChange {
    QString file, handle, layer, before, after;
    qint64 line;
    TextEntityKind kind;
    DxfValueChange view() const { return {file, line, kind, handle, layer, before, after}; }
};

// Texts of every length up to a few hundred units, with what rows must quote or escape,
// Japanese text and characters outside the basic plane.
QString randomText(QRandomGenerator& random) {
    static const QString pieces[] = {u"a"_s,   u"図面"_s, u","_s,  u"\""_s,        u"\r\n"_s,
                                     u"\\P"_s, u"𠮷"_s,   u"ｶﾀ"_s, u"0123456789"_s};
    QString text;
    const int count = random.bounded(random.bounded(4) == 0 ? 120 : 8);
    for (int i = 0; i < count; ++i)
        text += pieces[random.bounded(int(std::size(pieces)))];
    return text;
}

// Changes of three files in runs, as a batch gives them.
QList<OwnedChange> randomChanges(int count) {
    QRandomGenerator random(11);
    QList<OwnedChange> changes;
    QString file = u"C:/図面/a.dxf"_s;
    for (int i = 0; i < count; ++i) {
        if (random.bounded(20) == 0)
            file = u"/drawings/%1, copy.dxf"_s.arg(random.bounded(3));
        changes.append(
            {file, QString::number(random.bounded(0x10000), 16).toUpper(), randomText(random),
             randomText(random), randomText(random), random.bounded(1, 1 << 30),
             random.bounded(2) ? TextEntityKind::MTextEntity : TextEntityKind::TextEntity});
    }
    return changes;
}

// Packs `changes` as a report does, through a writer of `bufferSize` bytes.
bool packAll(const QList<OwnedChange>& changes, DxfChangeRowDevice& rows, qsizetype bufferSize) {
    rows.open(QIODevice::WriteOnly | QIODevice::Unbuffered);
    DxfLineWriter writer(rows, bufferSize);
    QString packedFile;
    for (const OwnedChange& change : changes) {
        const bool newFile = change.file != packedFile;
        packedFile = change.file;
        DxfChangeRowDevice::pack(change.view(), newFile, writer);
    }
    return writer.flush() && rows.finish();
}

} // namespace

class TestDxfChangeRowDevice : public QObject {
    Q_OBJECT

private slots:
    // Packed changes cut at every kind of place, also inside a header or between the two
    // bytes of a unit, come out as the rows formatted one by one.
    void rowsDoNotDependOnWherePackedChangesAreCut() {
        const QList<OwnedChange> changes = randomChanges(400);
        for (const DxfChangeFormat format : {DxfChangeFormat::Csv, DxfChangeFormat::Jsonl}) {
            QByteArray expected = DxfChangeRowFormat::header(format).toByteArray();
            for (const OwnedChange& change : changes)
                DxfChangeRowFormat::appendRow(expected, change.view(), format);
            for (const qsizetype bufferSize : {16, 17, 33, 4096, 1 << 20}) {
                for (const qsizetype batchSize : {1, 1000, 1 << 20}) {
                    QBuffer target;
                    target.open(QIODevice::WriteOnly);
                    DxfChangeRowDevice rows(target, format, batchSize);
                    QVERIFY(packAll(changes, rows, bufferSize));
                    QCOMPARE(target.data(), expected);
                }
            }
        }
    }

    void writeHookSeesTheTotalWritten() {
        QBuffer target;
        target.open(QIODevice::WriteOnly);
        DxfChangeRowDevice rows(target, DxfChangeFormat::Jsonl, 500);
        QList<qint64> totals;
        rows.setWriteHook([&](qint64 total) { totals.append(total); });
        QVERIFY(packAll(randomChanges(100), rows, 64));
        QVERIFY(totals.size() > 2);
        QVERIFY(std::is_sorted(totals.begin(), totals.end()));
        QCOMPARE(totals.last(), target.size());
    }

    // A target that fails (a full disk) makes the run fail wherever it happens, without a hang.
    void failingTargetIsReported() {
        for (const qint64 limit : {0, 10, 5000, 60000}) {
            for (const qsizetype bufferSize : {16, 4096}) {
                LimitedDevice target(limit, 777);
                target.open(QIODevice::WriteOnly);
                DxfChangeRowDevice rows(target, DxfChangeFormat::Csv, 1000);
                QVERIFY2(!packAll(randomChanges(300), rows, bufferSize),
                         qPrintable(u"limit %1"_s.arg(limit)));
                QCOMPARE(target.received.size(), limit);
            }
        }
    }

    // A change whose rest never came is an error, not a row cut short.
    void changeCutShortIsReported() {
        QBuffer target;
        target.open(QIODevice::WriteOnly);
        DxfChangeRowDevice rows(target, DxfChangeFormat::Csv);
        rows.open(QIODevice::WriteOnly | QIODevice::Unbuffered);
        QBuffer packed;
        packed.open(QIODevice::WriteOnly);
        {
            DxfLineWriter writer(packed);
            DxfChangeRowDevice::pack(randomChanges(1).first().view(), true, writer);
            QVERIFY(writer.flush());
        }
        QCOMPARE(rows.write(packed.data().chopped(1)), packed.data().size() - 1);
        QVERIFY(!rows.finish());
    }
};

QTEST_GUILESS_MAIN(TestDxfChangeRowDevice)
#include "TestDxfChangeRowDevice.moc"
