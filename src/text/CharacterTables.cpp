#include "CharacterTables.h"

#include "StringSink.h"

#include <algorithm>
#include <array>

namespace ornvale {

namespace {

using Table = CharacterTables::Table;

constexpr char16_t kFullWidthOffset = 0xFEE0; // '!' U+0021 -> '！' U+FF01
constexpr char16_t kVoicedMark = 0xFF9E;      // ﾞ
constexpr char16_t kSemiVoicedMark = 0xFF9F;  // ﾟ

// The one-character katakana rows, half-width and full-width in the same order.
constexpr char16_t kHalfLetters[] = u"ｱｲｳｴｵｶｷｸｹｺｻｼｽｾｿﾀﾁﾂﾃﾄﾅﾆﾇﾈﾉﾊﾋﾌﾍﾎﾏﾐﾑﾒﾓﾔﾕﾖﾗﾘﾙﾚﾛﾜｦﾝｧｨｩｪｫｯｬｭｮ";
constexpr char16_t kFullLetters[] = u"アイウエオカキクケコサシスセソタチツテトナニヌネノハヒフヘホ"
                                    u"マミムメモヤユヨラリルレロワヲンァィゥェォッャュョ";
// The two-character rows: a half-width letter, its mark, and the voiced letter.
constexpr char16_t kVoicedBase[] = u"ｳｶｷｸｹｺｻｼｽｾｿﾀﾁﾂﾃﾄﾊﾋﾌﾍﾎﾊﾋﾌﾍﾎ";
constexpr char16_t kVoicedMarks[] = u"ﾞﾞﾞﾞﾞﾞﾞﾞﾞﾞﾞﾞﾞﾞﾞﾞﾟﾟﾟﾟﾟﾞﾞﾞﾞﾞ";
constexpr char16_t kVoicedFull[] = u"ヴガギグゲゴザジズゼゾダヂヅデドパピプペポバビブベボ";
// Optional rows behind widthKanaMarks.
constexpr char16_t kHalfMarks[] = u"ｰ､｡";
constexpr char16_t kFullMarks[] = u"ー、。";

constexpr int kLetterCount = 55;
constexpr int kVoicedCount = 26;
constexpr int kMarkCount = 3;
static_assert(sizeof(kHalfLetters) / 2 == kLetterCount + 1);
static_assert(sizeof(kFullLetters) / 2 == kLetterCount + 1);
static_assert(sizeof(kVoicedBase) / 2 == kVoicedCount + 1);
static_assert(sizeof(kVoicedMarks) / 2 == kVoicedCount + 1);
static_assert(sizeof(kVoicedFull) / 2 == kVoicedCount + 1);

constexpr char16_t kHalfFirst = 0xFF61, kHalfLast = 0xFF9F;
constexpr char16_t kFullFirst = 0x3001, kFullLast = 0x30FC;

// Lookup arrays built once from the rows above, so rows() and apply() cannot disagree.
struct KanaMaps {
    std::array<char16_t, kHalfLast - kHalfFirst + 1> toFull{};     // letters
    std::array<char16_t, kHalfLast - kHalfFirst + 1> toFullMark{}; // optional rows
    std::array<char16_t, kHalfLast - kHalfFirst + 1> voiced{};     // letter + ﾞ
    std::array<char16_t, kHalfLast - kHalfFirst + 1> semiVoiced{}; // letter + ﾟ
    std::array<std::array<char16_t, 2>, kFullLast - kFullFirst + 1> toHalf{};
    std::array<bool, kFullLast - kFullFirst + 1> toHalfOptional{};

    KanaMaps() {
        for (int i = 0; i < kLetterCount; ++i) {
            toFull[kHalfLetters[i] - kHalfFirst] = kFullLetters[i];
            toHalf[kFullLetters[i] - kFullFirst] = {kHalfLetters[i], 0};
        }
        for (int i = 0; i < kVoicedCount; ++i) {
            auto& slot = kVoicedMarks[i] == kVoicedMark ? voiced : semiVoiced;
            slot[kVoicedBase[i] - kHalfFirst] = kVoicedFull[i];
            toHalf[kVoicedFull[i] - kFullFirst] = {kVoicedBase[i], kVoicedMarks[i]};
        }
        for (int i = 0; i < kMarkCount; ++i) {
            toFullMark[kHalfMarks[i] - kHalfFirst] = kFullMarks[i];
            toHalf[kFullMarks[i] - kFullFirst] = {kHalfMarks[i], 0};
            toHalfOptional[kFullMarks[i] - kFullFirst] = true;
        }
    }
};

const KanaMaps& kanaMaps() {
    static const KanaMaps maps;
    return maps;
}

bool inRange(char16_t c, char16_t first, char16_t last) {
    return c >= first && c <= last;
}

template <class Sink> void applyKth(QStringView in, Sink& sink, bool optionalRows) {
    const KanaMaps& maps = kanaMaps();
    for (QChar qc : in) {
        const char16_t c = qc.unicode();
        if (inRange(c, kFullFirst, kFullLast)) {
            const auto& half = maps.toHalf[c - kFullFirst];
            if (half[0] && (optionalRows || !maps.toHalfOptional[c - kFullFirst])) {
                sink.put(half[0]);
                if (half[1])
                    sink.put(half[1]);
                continue;
            }
        }
        sink.put(qc);
    }
}

template <class Sink> void applyKtz(QStringView in, Sink& sink, bool optionalRows) {
    const KanaMaps& maps = kanaMaps();
    const qsizetype n = in.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = in[i].unicode();
        if (inRange(c, kHalfFirst, kHalfLast) && i + 1 < n) {
            const char16_t next = in[i + 1].unicode();
            const char16_t combined = next == kVoicedMark       ? maps.voiced[c - kHalfFirst]
                                      : next == kSemiVoicedMark ? maps.semiVoiced[c - kHalfFirst]
                                                                : 0;
            if (combined) {
                sink.put(combined);
                ++i;
                continue;
            }
        }
        char16_t mapped = 0;
        if (inRange(c, kHalfFirst, kHalfLast)) {
            mapped = maps.toFull[c - kHalfFirst];
            if (!mapped && optionalRows)
                mapped = maps.toFullMark[c - kHalfFirst];
        }
        sink.put(mapped ? mapped : c);
    }
}

// The alphabet and digit tables shift whole ranges by one offset; the optional dash and period
// are neighbours too (U+002D, U+002E). No target falls into a source range.
void shiftRanges(Table table, char16_t* data, qsizetype size, bool optionalRows) {
    // Branch-free, so that mixed text costs no mispredictions and the loop vectorises; both
    // ranges of a table in one pass.
    auto mapRanges = [data, size](char16_t first1, char16_t last1, char16_t first2, char16_t last2,
                                  int shift) {
        const char16_t span1 = last1 - first1, span2 = last2 - first2;
        for (qsizetype i = 0; i < size; ++i) {
            const char16_t c = data[i];
            const bool hit = (char16_t(c - first1) <= span1) | (char16_t(c - first2) <= span2);
            data[i] = char16_t(c + (hit ? shift : 0));
        }
    };
    const int toFull = kFullWidthOffset;
    switch (table) {
    case Table::AFZTEXT:
        mapRanges(u'A', u'Z', u'a', u'z', toFull);
        break;
    case Table::AFHTEXT:
        mapRanges(u'Ａ', u'Ｚ', u'ａ', u'ｚ', -toFull);
        break;
    case Table::SSZTEXT:
        // Without the optional rows the second range is the digits again.
        mapRanges(u'0', u'9', optionalRows ? u'-' : u'0', optionalRows ? u'.' : u'9', toFull);
        break;
    case Table::SSHTEXT:
        mapRanges(u'０', u'９', optionalRows ? u'－' : u'０', optionalRows ? u'．' : u'９',
                  -toFull);
        break;
    default:
        break;
    }
}

} // namespace

QList<CharacterTables::Row> CharacterTables::rows(Table table, bool optionalRows) {
    QList<Row> result;
    auto add = [&](char16_t from, char16_t to) {
        result.append({QString(QChar(from)), QString(QChar(to))});
    };
    switch (table) {
    case Table::AFZTEXT:
    case Table::AFHTEXT: {
        const bool toFull = table == Table::AFZTEXT;
        for (char16_t c = u'A'; c <= u'Z'; ++c)
            toFull ? add(c, c + kFullWidthOffset) : add(c + kFullWidthOffset, c);
        for (char16_t c = u'a'; c <= u'z'; ++c)
            toFull ? add(c, c + kFullWidthOffset) : add(c + kFullWidthOffset, c);
        break;
    }
    case Table::SSZTEXT:
    case Table::SSHTEXT: {
        const bool toFull = table == Table::SSZTEXT;
        for (char16_t c = u'0'; c <= u'9'; ++c)
            toFull ? add(c, c + kFullWidthOffset) : add(c + kFullWidthOffset, c);
        if (optionalRows) {
            for (char16_t c : {u'-', u'.'})
                toFull ? add(c, c + kFullWidthOffset) : add(c + kFullWidthOffset, c);
        }
        break;
    }
    case Table::KTZTEXT:
        for (int i = 0; i < kVoicedCount; ++i) {
            const QChar pair[] = {QChar(kVoicedBase[i]), QChar(kVoicedMarks[i])};
            result.append({QString(pair, 2), QString(QChar(kVoicedFull[i]))});
        }
        for (int i = 0; i < kLetterCount; ++i)
            add(kHalfLetters[i], kFullLetters[i]);
        for (int i = 0; optionalRows && i < kMarkCount; ++i)
            add(kHalfMarks[i], kFullMarks[i]);
        break;
    case Table::KTHTEXT:
        for (int i = 0; i < kLetterCount; ++i)
            add(kFullLetters[i], kHalfLetters[i]);
        for (int i = 0; i < kVoicedCount; ++i) {
            const QChar pair[] = {QChar(kVoicedBase[i]), QChar(kVoicedMarks[i])};
            result.append({QString(QChar(kVoicedFull[i])), QString(pair, 2)});
        }
        for (int i = 0; optionalRows && i < kMarkCount; ++i)
            add(kFullMarks[i], kHalfMarks[i]);
        break;
    }
    return result;
}

void CharacterTables::apply(Table table, QStringView in, QString& out, bool optionalRows) {
    if (table == Table::KTHTEXT || table == Table::KTZTEXT) {
        StringSink sink(out, 2 * in.size());
        table == Table::KTHTEXT ? applyKth(in, sink, optionalRows)
                                : applyKtz(in, sink, optionalRows);
        return;
    }
    const qsizetype start = out.size();
    out.append(in);
    shiftRanges(table, reinterpret_cast<char16_t*>(out.data() + start), in.size(), optionalRows);
}

char16_t* CharacterTables::apply(Table table, QStringView in, char16_t* out, bool optionalRows) {
    if (table == Table::KTHTEXT || table == Table::KTZTEXT) {
        RawSink sink(out);
        table == Table::KTHTEXT ? applyKth(in, sink, optionalRows)
                                : applyKtz(in, sink, optionalRows);
        return sink.end();
    }
    std::copy(in.utf16(), in.utf16() + in.size(), out);
    shiftRanges(table, out, in.size(), optionalRows);
    return out + in.size();
}

QString CharacterTables::apply(Table table, QStringView in, bool optionalRows) {
    QString out;
    out.reserve(in.size() + 8);
    apply(table, in, out, optionalRows);
    return out;
}

bool CharacterTables::touches(Table table, QStringView in, bool optionalRows) {
    // Branch-free range tests; a value that no row can match skips the table altogether.
    auto any = [in](auto&& test) {
        bool hit = false;
        for (QChar c : in)
            hit |= test(c.unicode());
        return hit;
    };
    auto within = [](char16_t c, char16_t first, char16_t last) {
        return char16_t(c - first) <= char16_t(last - first);
    };
    switch (table) {
    case Table::AFZTEXT:
        return any([&](char16_t c) { return within(c | 0x20, u'a', u'z'); });
    case Table::AFHTEXT:
        return any([&](char16_t c) { return within(c, u'Ａ', u'Ｚ') || within(c, u'ａ', u'ｚ'); });
    case Table::SSZTEXT:
        return any([&](char16_t c) {
            return within(c, u'0', u'9') || (optionalRows && within(c, u'-', u'.'));
        });
    case Table::SSHTEXT:
        return any([&](char16_t c) {
            return within(c, u'０', u'９') || (optionalRows && within(c, u'－', u'．'));
        });
    case Table::KTZTEXT:
        return any([&](char16_t c) { return within(c, kHalfFirst, kHalfLast); });
    case Table::KTHTEXT:
        return any([&](char16_t c) { return within(c, kFullFirst, kFullLast); });
    }
    return true;
}

} // namespace ornvale
