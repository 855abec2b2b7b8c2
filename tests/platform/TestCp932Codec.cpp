#include "Cp932Codec.h"

#include <QFile>
#include <QTest>

using ornvale::Cp932Codec;

// Checks the codec against Microsoft's table of every valid sequence and every exact encoding.
class TestCp932Codec : public QObject {
    Q_OBJECT

private:
    struct Row {
        QByteArray bytes;
        char32_t codePoint;
    };
    QList<Row> m_decodeRows;
    QList<Row> m_encodeRows;

private slots:
    void initTestCase() {
        QFile file(QStringLiteral(ORNVALE_TEST_DATA "/cp932.tsv"));
        QVERIFY2(file.open(QIODevice::ReadOnly), "tests/data/cp932.tsv is missing");
        while (!file.atEnd()) {
            const QByteArray line = file.readLine().trimmed();
            if (line.isEmpty() || line.startsWith('#'))
                continue;
            const QList<QByteArray> f = line.split(' ');
            QCOMPARE(f.size(), 3);
            if (f[0] == "D")
                m_decodeRows.append({QByteArray::fromHex(f[1]), f[2].toUInt(nullptr, 16)});
            else
                m_encodeRows.append({QByteArray::fromHex(f[2]), f[1].toUInt(nullptr, 16)});
        }
        QVERIFY(m_decodeRows.size() > 7000);
        QVERIFY(m_encodeRows.size() > 7000);
    }

    void decodesEveryValidSequence() {
        int wrong = 0;
        for (const Row& row : m_decodeRows) {
            const Cp932Codec::Decoded d = Cp932Codec::decode(row.bytes);
            if (!d.ok() || d.text.size() != 1 || d.text[0].unicode() != row.codePoint) {
                if (++wrong < 5)
                    qWarning("decode %s -> U+%04X expected", row.bytes.toHex().constData(),
                             unsigned(row.codePoint));
            }
        }
        QCOMPARE(wrong, 0);
    }

    void encodesEveryExactRow() {
        int wrong = 0;
        QByteArray reused = "left over from an earlier value";
        for (const Row& row : m_encodeRows) {
            const QString text = QString::fromUcs4(&row.codePoint, 1);
            const Cp932Codec::Encoded e = Cp932Codec::encode(text);
            const bool intoOk = Cp932Codec::encodeInto(text, reused);
            if (!e.ok() || e.bytes != row.bytes || !intoOk || reused != row.bytes) {
                if (++wrong < 5)
                    qWarning("encode U+%04X -> %s expected, got %s", unsigned(row.codePoint),
                             row.bytes.toHex().constData(), e.bytes.toHex().constData());
            }
        }
        QCOMPARE(wrong, 0);
    }

    void reportsEveryCharacterWithoutAnEncodeRow() {
        QSet<char32_t> encodable;
        for (const Row& row : m_encodeRows)
            encodable.insert(row.codePoint);
        int wrong = 0;
        for (char32_t c = 0; c <= 0xFFFF; ++c) {
            if (c >= 0xD800 && c <= 0xDFFF)
                continue;
            const QString text(QChar(static_cast<char16_t>(c))); // fromUcs4 would drop U+FEFF
            QByteArray bytes;
            const bool ok = Cp932Codec::encode(text).ok();
            if ((ok != encodable.contains(c) || Cp932Codec::encodeInto(text, bytes) != ok) &&
                ++wrong < 5)
                qWarning("U+%04X encodable=%d", unsigned(c), ok);
        }
        QCOMPARE(wrong, 0);
    }

    void reportsInvalidSequences() {
        QSet<QByteArray> valid;
        for (const Row& row : m_decodeRows)
            valid.insert(row.bytes);
        int wrong = 0;
        for (int lead = 0x81; lead <= 0xFC; ++lead) {
            for (int trail = 0; trail <= 0xFF; ++trail) {
                QByteArray bytes;
                bytes.append(static_cast<char>(lead)).append(static_cast<char>(trail));
                if (!valid.contains(bytes.left(1)) && !valid.contains(bytes)) {
                    if (Cp932Codec::decode(bytes).ok() && ++wrong < 5)
                        qWarning("%s decoded", bytes.toHex().constData());
                }
            }
        }
        QCOMPARE(wrong, 0);
        const Cp932Codec::Decoded cut = Cp932Codec::decode(QByteArray("ab\x82"));
        QCOMPARE(cut.firstInvalidAt, 2);
        QCOMPARE(cut.text, QStringLiteral("ab\uFFFD"));
        // An unassigned pair is one invalid sequence, found at its lead byte.
        const Cp932Codec::Decoded unassigned = Cp932Codec::decode(QByteArray("ab\x85\x40"
                                                                             "c"));
        QCOMPARE(unassigned.firstInvalidAt, 2);
        QCOMPARE(unassigned.text, QStringLiteral("ab\uFFFDc"));
    }

    void namesUnrepresentableCharactersInOrder() {
        const Cp932Codec::Encoded e =
            Cp932Codec::encode(QStringLiteral("a\u00E9b\U0001F600c\u4E02"));
        QCOMPARE(e.bytes, QByteArray("abc"));
        QCOMPARE(e.unrepresentable, (QList<char32_t>{0xE9, 0x1F600, 0x4E02}));
        QVERIFY(Cp932Codec::canEncode(QStringLiteral("図面ﾃｽﾄ①")));
        QVERIFY(!Cp932Codec::canEncode(QStringLiteral("caf\u00E9")));
    }

    void mixedTextRoundTrips() {
        const QString text = QStringLiteral("C:\\図面\\ﾌﾟﾗﾝ 01 ①Ⅱ～.dxf");
        const Cp932Codec::Encoded e = Cp932Codec::encode(text);
        QVERIFY(e.ok());
        QCOMPARE(Cp932Codec::decode(e.bytes).text, text);
        // Into reused buffers: a longer earlier content leaves nothing behind.
        QString decoded = QStringLiteral("an earlier, much longer value than this one");
        QCOMPARE(Cp932Codec::decodeInto(e.bytes, decoded), -1);
        QCOMPARE(decoded, text);
        QCOMPARE(Cp932Codec::decodeInto(QByteArray("ab\x82"), decoded), 2);
        QByteArray encoded = QByteArray(200, 'x');
        QVERIFY(Cp932Codec::encodeInto(text, encoded));
        QCOMPARE(encoded, e.bytes);
        QVERIFY(!Cp932Codec::encodeInto(QStringLiteral("caf\u00E9"), encoded));
        // ASCII runs of every length around the sixteen-byte groups, between two-byte ones.
        QString runs;
        for (int length = 0; length <= 40; ++length)
            runs += QString(length, QChar(u'0' + length % 10)) + QStringLiteral("図ｶ");
        QCOMPARE(Cp932Codec::decode(Cp932Codec::encode(runs).bytes).text, runs);
        QCOMPARE(Cp932Codec::decodeInto(QByteArray(40, 'a') + "\x82", decoded), 40);
    }
};

QTEST_GUILESS_MAIN(TestCp932Codec)
#include "TestCp932Codec.moc"
