#include "LimitedDevice.h"
#include "ThreadedByteWriter.h"

#include <QBuffer>
#include <QRandomGenerator>
#include <QTest>

#include <atomic>

using namespace ornvale;
using ornvale::test::LimitedDevice;

class TestThreadedByteWriter : public QObject {
    Q_OBJECT

private slots:
    void deliversEveryByteInOrder() {
        QRandomGenerator random(7);
        for (const qsizetype bufferSize : {16, 17, 64, 4096}) {
            QByteArray expected;
            QByteArray target;
            QBuffer out(&target);
            out.open(QIODevice::WriteOnly);
            std::atomic<qint64> lastTotal = 0;
            bool totalsGrow = true;
            {
                ThreadedByteWriter writer(out, bufferSize);
                writer.setWriteHook([&](qint64 total) {
                    totalsGrow = totalsGrow && total > lastTotal;
                    lastTotal = total;
                });
                for (int n = 0; n < 3000; ++n) {
                    // Mostly short pieces, now and then one larger than the whole buffer.
                    const qsizetype size = random.bounded(20) == 0 ? random.bounded(3 * bufferSize)
                                                                   : random.bounded(9);
                    QByteArray piece(size, Qt::Uninitialized);
                    for (char& c : piece)
                        c = char(random.bounded(256));
                    expected += piece;
                    writer.write(piece);
                }
                QVERIFY(writer.flush());
                QCOMPARE(writer.bytesWritten(), expected.size());
            }
            QCOMPARE(target.size(), expected.size());
            QVERIFY2(target == expected, qPrintable(QString::number(bufferSize)));
            QVERIFY(totalsGrow);
            QCOMPARE(lastTotal.load(), expected.size());
        }
    }

    void smallOutputIsWrittenAtFlush() {
        QByteArray target;
        QBuffer out(&target);
        out.open(QIODevice::WriteOnly);
        ThreadedByteWriter writer(out);
        writer.write("  0\r\nEOF\r\n");
        QVERIFY(target.isEmpty());
        QVERIFY(writer.flush());
        QCOMPARE(target, QByteArray("  0\r\nEOF\r\n"));
        writer.write("more");
        QVERIFY(writer.flush());
        QCOMPARE(target, QByteArray("  0\r\nEOF\r\nmore"));
    }

    void partialDeviceWritesAreCompleted() {
        LimitedDevice device(1 << 20, 5);
        device.open(QIODevice::WriteOnly);
        ThreadedByteWriter writer(device, 64);
        QByteArray expected;
        for (int n = 0; n < 100; ++n) {
            const QByteArray line = QByteArray::number(n) + "\r\n";
            writer.write(line);
            expected += line;
        }
        QVERIFY(writer.flush());
        QCOMPARE(device.received, expected);
    }

    void aFailingDeviceIsReportedWithoutHanging() {
        for (const qint64 limit : {0, 10, 100, 1000}) {
            LimitedDevice device(limit, 1 << 20);
            device.open(QIODevice::WriteOnly);
            ThreadedByteWriter writer(device, 32);
            for (int n = 0; n < 200; ++n)
                writer.write("0123456789\r\n");
            QVERIFY(!writer.flush());
            QVERIFY(writer.failed());
            QVERIFY(writer.bytesWritten() <= limit);
            QCOMPARE(device.received, QByteArray("0123456789\r\n").repeated(200).left(limit));
        }
    }

    void leavingWithoutFlushDoesNotHang() {
        QByteArray target;
        QBuffer out(&target);
        out.open(QIODevice::WriteOnly);
        {
            ThreadedByteWriter writer(out, 16);
            for (int n = 0; n < 100; ++n)
                writer.write("abcdefgh");
        } // the caller gave up, e.g. after a read error; the output is discarded
        QVERIFY(target.size() <= 800);
        QVERIFY(QByteArray("abcdefgh").repeated(100).startsWith(target));
    }
};

QTEST_GUILESS_MAIN(TestThreadedByteWriter)
#include "TestThreadedByteWriter.moc"
