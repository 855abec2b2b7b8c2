#include "CharacterTables.h"

#include <QRandomGenerator>
#include <QTest>

using namespace ornvale;
using namespace Qt::StringLiterals;
using Table = CharacterTables::Table;

Q_DECLARE_METATYPE(CharacterTables::Table)

namespace {

const Table kAllTables[] = {Table::AFZTEXT, Table::AFHTEXT, Table::SSZTEXT,
                            Table::SSHTEXT, Table::KTZTEXT, Table::KTHTEXT};

// The definition of a table: its rows as replace-all passes, one after another.
QString byRowPasses(Table table, QString v, bool optionalRows) {
    for (const auto& row : CharacterTables::rows(table, optionalRows))
        v.replace(row.from, row.to);
    return v;
}

// Random strings over every source and target character of every table, plus neighbours
// that no table touches.
QString randomValue(QRandomGenerator& random) {
    static const QString alphabet = [] {
        QString chars = u" +,/:;xyzAZaz09-.ﾞﾟ･｢｣ヰヱヮヵヶあがぱ゛゜・漢"_s;
        for (Table table : kAllTables) {
            for (const auto& row : CharacterTables::rows(table, true))
                chars += row.from + row.to;
        }
        return chars;
    }();
    QString v;
    const int length = random.bounded(0, 24);
    for (int i = 0; i < length; ++i)
        v += alphabet[random.bounded(int(alphabet.size()))];
    return v;
}

} // namespace

class TestCharacterTables : public QObject {
    Q_OBJECT
private slots:
    void rowCounts_data();
    void rowCounts();
    void examples_data();
    void examples();
    void singleScanEqualsRowPasses();
    void twiceEqualsOnce();
    void katakanaRoundTripForEveryLetter();
    void keptCharacters_data();
    void keptCharacters();
};

void TestCharacterTables::rowCounts_data() {
    QTest::addColumn<Table>("table");
    QTest::addColumn<int>("fixed");
    QTest::addColumn<int>("optional");
    QTest::newRow("AFZTEXT") << Table::AFZTEXT << 52 << 0;
    QTest::newRow("AFHTEXT") << Table::AFHTEXT << 52 << 0;
    QTest::newRow("SSZTEXT") << Table::SSZTEXT << 10 << 2;
    QTest::newRow("SSHTEXT") << Table::SSHTEXT << 10 << 2;
    QTest::newRow("KTZTEXT") << Table::KTZTEXT << 81 << 3;
    QTest::newRow("KTHTEXT") << Table::KTHTEXT << 81 << 3;
}

void TestCharacterTables::rowCounts() {
    QFETCH(Table, table);
    QFETCH(int, fixed);
    QFETCH(int, optional);
    QCOMPARE(CharacterTables::rows(table, false).size(), fixed);
    QCOMPARE(CharacterTables::rows(table, true).size(), fixed + optional);
    // Two-character rows come first in KTZTEXT, so voiced letters are combined.
    if (table == Table::KTZTEXT) {
        const auto rows = CharacterTables::rows(table, false);
        QCOMPARE(rows.first().from, u"ｳﾞ"_s);
        QCOMPARE(rows.at(25).from.size(), 2);
        QCOMPARE(rows.at(26).from.size(), 1);
    }
}

void TestCharacterTables::examples_data() {
    QTest::addColumn<Table>("table");
    QTest::addColumn<bool>("optionalRows");
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("expected");
    QTest::newRow("alphabet only, digits and blank stay")
        << Table::AFZTEXT << false << u"AutoCAD 2007"_s << u"ＡｕｔｏＣＡＤ 2007"_s;
    QTest::newRow("alphabet back")
        << Table::AFHTEXT << false << u"ＡｕｔｏＣＡＤ ２００７"_s << u"AutoCAD ２００７"_s;
    QTest::newRow("digits without dash and period")
        << Table::SSZTEXT << false << u"-1.5"_s << u"-１.５"_s;
    QTest::newRow("digits with dash and period")
        << Table::SSZTEXT << true << u"-1.5"_s << u"－１．５"_s;
    QTest::newRow("digits leave plus comma slash blank")
        << Table::SSZTEXT << true << u"+1,2/3 4"_s << u"+１,２/３ ４"_s;
    QTest::newRow("digits back with dash and period")
        << Table::SSHTEXT << true << u"－１．５＋"_s << u"-1.5＋"_s;
    QTest::newRow("digits back without") << Table::SSHTEXT << false << u"－１．５"_s << u"－1．5"_s;
    QTest::newRow("voiced letters combine") << Table::KTZTEXT << false << u"ｶﾞｲﾄﾞ"_s << u"ガイド"_s;
    QTest::newRow("long mark only with kana marks")
        << Table::KTZTEXT << false << u"ﾊﾟｰﾂ"_s << u"パｰツ"_s;
    QTest::newRow("long mark with kana marks")
        << Table::KTZTEXT << true << u"ﾊﾟｰﾂ"_s << u"パーツ"_s;
    QTest::newRow("comma and stop with kana marks")
        << Table::KTZTEXT << true << u"ｱ､ｲ｡"_s << u"ア、イ。"_s;
    QTest::newRow("lone voiced mark after a plain letter")
        << Table::KTZTEXT << false << u"ｱﾞ"_s << u"アﾞ"_s;
    QTest::newRow("semi-voiced mark on a ka-row letter")
        << Table::KTZTEXT << false << u"ｶﾟ"_s << u"カﾟ"_s;
    QTest::newRow("vu") << Table::KTZTEXT << false << u"ｳﾞｨ"_s << u"ヴィ"_s;
    QTest::newRow("middle dot not in the table")
        << Table::KTHTEXT << false << u"ゼロ・テスト"_s << u"ｾﾞﾛ・ﾃｽﾄ"_s;
    QTest::newRow("voiced letters split") << Table::KTHTEXT << false << u"ガヴパ"_s << u"ｶﾞｳﾞﾊﾟ"_s;
    QTest::newRow("long mark kept without kana marks")
        << Table::KTHTEXT << false << u"パーツ、"_s << u"ﾊﾟーﾂ、"_s;
    QTest::newRow("long mark with kana marks")
        << Table::KTHTEXT << true << u"パーツ、。"_s << u"ﾊﾟｰﾂ､｡"_s;
}

void TestCharacterTables::examples() {
    QFETCH(Table, table);
    QFETCH(bool, optionalRows);
    QFETCH(QString, input);
    QFETCH(QString, expected);
    QCOMPARE(CharacterTables::apply(table, input, optionalRows), expected);
    QCOMPARE(byRowPasses(table, input, optionalRows), expected);
}

void TestCharacterTables::singleScanEqualsRowPasses() {
    QRandomGenerator random(20061001);
    for (Table table : kAllTables) {
        for (bool optionalRows : {false, true}) {
            for (int i = 0; i < 3000; ++i) {
                const QString v = randomValue(random);
                const QString converted = byRowPasses(table, v, optionalRows);
                QCOMPARE(CharacterTables::apply(table, v, optionalRows), converted);
                // The quick pre-test may say yes too often, never wrongly no.
                QVERIFY(converted == v || CharacterTables::touches(table, v, optionalRows));
            }
        }
    }
}

void TestCharacterTables::twiceEqualsOnce() {
    QRandomGenerator random(7);
    for (Table table : kAllTables) {
        for (bool optionalRows : {false, true}) {
            for (int i = 0; i < 1000; ++i) {
                const QString once =
                    CharacterTables::apply(table, randomValue(random), optionalRows);
                QCOMPARE(CharacterTables::apply(table, once, optionalRows), once);
            }
        }
    }
}

void TestCharacterTables::katakanaRoundTripForEveryLetter() {
    const auto rows = CharacterTables::rows(Table::KTHTEXT, true);
    QCOMPARE(rows.size(), 84);
    QString all;
    for (const auto& row : rows) {
        const QString half = CharacterTables::kthText(row.from, true);
        QCOMPARE(half, row.to);
        QCOMPARE(CharacterTables::ktzText(half, true), row.from);
        all += row.from;
    }
    // All letters in one value, so neighbours cannot combine by mistake.
    QCOMPARE(CharacterTables::ktzText(CharacterTables::kthText(all, true), true), all);
}

void TestCharacterTables::keptCharacters_data() {
    QTest::addColumn<QString>("value");
    QTest::newRow("letters outside the tables") << u"ヰヱヮヵヶ"_s;
    QTest::newRow("hiragana") << u"あがぱん"_s;
    QTest::newRow("half-width middle dot and brackets") << u"･｢｣"_s;
    QTest::newRow("lone marks") << u"ﾞﾟ"_s;
}

void TestCharacterTables::keptCharacters() {
    QFETCH(QString, value);
    for (Table table : kAllTables)
        QCOMPARE(CharacterTables::apply(table, value, true), value);
}

QTEST_GUILESS_MAIN(TestCharacterTables)
#include "TestCharacterTables.moc"
