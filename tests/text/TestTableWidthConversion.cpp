#include "SpecialCodeProtection.h"
#include "TableWidthConversion.h"

#include <QRandomGenerator>
#include <QTest>

using namespace ornvale;
using namespace Qt::StringLiterals;
using Table = CharacterTables::Table;

namespace {

// Pieces of drawing texts, with the traps of the shared split: text holding "%" ("%%Ｃ" turns
// into the code "%%C" under AFHTEXT), text behind a lone backslash ("\Ｐ" into "\P",
// "\ｕ+００ｂ０" into "\u+00b0"), placeholder characters, and codes in both forms.
QString randomValue(QRandomGenerator& random) {
    static const QStringList tokens = {u"\\"_s,
                                       u"%"_s,
                                       u"%%"_s,
                                       u"%%C"_s,
                                       u"%%c"_s,
                                       u"%%%"_s,
                                       u"%%Ｃ"_s,
                                       u"%%ｃ"_s,
                                       u"%%１"_s,
                                       u"%%Ａ"_s,
                                       u"\\U+00B0"_s,
                                       u"\\u+00b0"_s,
                                       u"\\ｕ+"_s,
                                       u"００ｂ０"_s,
                                       u"\\Ｐ"_s,
                                       u"\\P"_s,
                                       u"\\fArial;"_s,
                                       u";"_s,
                                       u"{"_s,
                                       u"}"_s,
                                       u"￥"_s,
                                       u"\\U+4E00"_s,
                                       u"\\M+18140"_s,
                                       u"P"_s,
                                       u"{\\fProxy 1|b0|i0|c128|p0;"_s,
                                       u"Ｐｒｏｘｙ"_s,
                                       u"a"_s,
                                       u"Z"_s,
                                       u"ａ"_s,
                                       u"Ｚ"_s,
                                       u"0"_s,
                                       u"9"_s,
                                       u"０"_s,
                                       u"９"_s,
                                       u"-"_s,
                                       u"."_s,
                                       u"－"_s,
                                       u"．"_s,
                                       u"ｶ"_s,
                                       u"ﾞ"_s,
                                       u"ﾟ"_s,
                                       u"ﾊ"_s,
                                       u"ｰ"_s,
                                       u"､"_s,
                                       u"ガ"_s,
                                       u"パ"_s,
                                       u"ー"_s,
                                       u"。"_s,
                                       u"ア"_s,
                                       u"あ"_s,
                                       u"漢"_s,
                                       u" "_s,
                                       u"凹"_s,
                                       SpecialCodeProtection::rowPlaceholder(4)};
    QString v;
    const int count = random.bounded(0, 10);
    for (int i = 0; i < count; ++i)
        v += tokens[random.bounded(int(tokens.size()))];
    return v;
}

// Every selection of tables in pipeline order, for one direction.
QList<TableWidthConversion::Steps> selections(bool full, bool dashPeriod, bool kanaMarks) {
    const Table tables[] = {full ? Table::AFZTEXT : Table::AFHTEXT,
                            full ? Table::SSZTEXT : Table::SSHTEXT,
                            full ? Table::KTZTEXT : Table::KTHTEXT};
    const bool optional[] = {false, dashPeriod, kanaMarks};
    QList<TableWidthConversion::Steps> result;
    for (int mask = 1; mask < 8; ++mask) {
        TableWidthConversion::Steps steps;
        for (int k = 0; k < 3; ++k) {
            if (mask & (1 << k))
                steps.append({tables[k], optional[k]});
        }
        result.append(steps);
    }
    return result;
}

} // namespace

class TestTableWidthConversion : public QObject {
    Q_OBJECT
private slots:
    void sharedSplitEqualsStepByStep();
};

// The one-split conversion gives the result and the per-step changes of the sub-steps run one
// by one, each inside its own protection.
void TestTableWidthConversion::sharedSplitEqualsStepByStep() {
    QRandomGenerator random(20070401);
    int changedSteps = 0;
    for (int i = 0; i < 4000; ++i) {
        const QString v = randomValue(random);
        for (auto kind : {TextEntityKind::TextEntity, TextEntityKind::MTextEntity}) {
            for (bool full : {true, false}) {
                const bool dashPeriod = random.bounded(2), kanaMarks = random.bounded(2);
                for (const auto& steps : selections(full, dashPeriod, kanaMarks)) {
                    QString fast = u"stale"_s, reference;
                    TableWidthConversion::Changes fastChanged{}, referenceChanged{};
                    TableWidthConversion::convert(v, kind, steps, fast, fastChanged);
                    TableWidthConversion::convertStepByStep(v, kind, steps, reference,
                                                            referenceChanged);
                    if (fast != reference || fastChanged != referenceChanged)
                        qWarning() << "value" << v << "kind" << int(kind) << "full" << full;
                    QCOMPARE(fast, reference);
                    QCOMPARE(fastChanged, referenceChanged);
                    changedSteps += int(std::count(fastChanged.begin(), fastChanged.end(), true));
                }
            }
        }
    }
    QVERIFY(changedSteps > 50000); // the values really give the tables something to do
}

QTEST_GUILESS_MAIN(TestTableWidthConversion)
#include "TestTableWidthConversion.moc"
