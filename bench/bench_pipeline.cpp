// Values per second through TextChangS, against a plain copy loop measured in the same run.
// Rates are per second of processor time of this (single-threaded) process, so that other
// work on the machine does not count against them; the wall-clock rate is printed beside.
#include "TextPipeline.h"

#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QStringList>

#include <algorithm>
#include <cstdio>
#include <ctime>

using namespace ornvale;
using namespace Qt::StringLiterals;

namespace {

// Typical drawing texts: 20 to 40 characters of kanji, kana (both widths), Latin, digits and
// now and then a special code.
QStringList typicalValues(int count) {
    const QStringList pieces = {
        u"配管"_s,   u"詳細図"_s, u"ｶﾞｽ"_s, u"バルブ"_s,   u"ください"_s, u"A-1"_s,     u"φ25"_s,
        u"%%c100"_s, u"ﾃｽﾄ"_s,    u" "_s,   u"Ｗ＝"_s,     u"寸法"_s,     u"の"_s,      u"mm"_s,
        u"2007"_s,   u"ｺﾝｸﾘｰﾄ"_s, u"床"_s,  u"\\U+00B0"_s, u"GL+"_s,      u"おおきい"_s};
    QRandomGenerator random(2007);
    QStringList values;
    for (int i = 0; i < count; ++i) {
        QString v;
        const int length = random.bounded(20, 41);
        while (v.size() < length)
            v += pieces[random.bounded(int(pieces.size()))];
        values.append(v.left(length));
    }
    return values;
}

struct Rate {
    double cpu = 0;  // values per processor second
    double wall = 0; // values per wall-clock second
};

// Best of five passes.
template <class F> Rate rate(const QStringList& values, F&& f) {
    Rate best;
    for (int pass = 0; pass < 5; ++pass) {
        QElapsedTimer timer;
        timer.start();
        const std::clock_t start = std::clock();
        qsizetype sink = 0;
        for (int i = 0; i < values.size(); ++i)
            sink += f(values[i], i);
        const double cpuSeconds = double(std::clock() - start) / CLOCKS_PER_SEC;
        const double wallSeconds = double(timer.nsecsElapsed()) / 1e9;
        best.cpu = std::max(best.cpu, double(values.size()) / cpuSeconds);
        best.wall = std::max(best.wall, double(values.size()) / wallSeconds);
        if (sink == -1)
            std::puts("");
    }
    return best;
}

TextEntityKind kindOf(int i) {
    return i % 3 == 0 ? TextEntityKind::MTextEntity : TextEntityKind::TextEntity;
}

void report(const char* name, Rate r, Rate baseline) {
    std::printf("%-44s %7.2f M values/s  (%5.1f%% of the copy loop; wall clock %.2f M/s)\n", name,
                r.cpu / 1e6, 100.0 * r.cpu / baseline.cpu, r.wall / 1e6);
}

} // namespace

int main() {
    const QStringList values = typicalValues(200000);
    const Rate copy = rate(values, [](const QString& v, int) {
        QString copied(v.constData(), v.size());
        return copied.size();
    });
    std::printf("%-44s %7.2f M values/s  (wall clock %.2f M/s)\n", "baseline: deep QString copy",
                copy.cpu / 1e6, copy.wall / 1e6);

    TextPipeline idle{TextOptions{}};
    report(
        "no option set",
        rate(values, [&](const QString& v, int i) { return idle.transform(v, kindOf(i)).size(); }),
        copy);

    TextOptions all;
    all.searchText = u"配管"_s;
    all.replaceText = u"配線"_s;
    all.widthConversion = WidthConversion::ToFullWidth;
    all.widthAll = true;
    all.caseConversion = CaseConversion::ToUpper;
    all.kanaConversion = KanaConversion::HiraganaToKatakana;
    TextPipeline everything(all);
    report("all on: replace, full width all, upper, kana",
           rate(values,
                [&](const QString& v, int i) { return everything.transform(v, kindOf(i)).size(); }),
           copy);

    all.widthAll = false;
    all.widthAlphabet = all.widthDigits = all.widthKatakana = true;
    all.widthDashPeriod = all.widthKanaMarks = true;
    TextPipeline classes(all);
    report("all on, width by the three tables",
           rate(values,
                [&](const QString& v, int i) { return classes.transform(v, kindOf(i)).size(); }),
           copy);

    all.widthConversion = WidthConversion::ToHalfWidth;
    all.caseConversion = CaseConversion::ToLower;
    all.kanaConversion = KanaConversion::KatakanaToHiragana;
    all.valueCondition = ValueCondition::NeitherDateNorNumeric;
    TextPipeline half(all);
    report(
        "all on, half width by tables, neither test",
        rate(values, [&](const QString& v, int i) { return half.transform(v, kindOf(i)).size(); }),
        copy);
    return 0;
}
