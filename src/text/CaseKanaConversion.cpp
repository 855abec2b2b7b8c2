#include "CaseKanaConversion.h"

#include "StringSink.h"

#include <array>

namespace ornvale {

namespace {

constexpr char16_t kKanaOffset = 0x60; // ぁ U+3041 -> ァ U+30A1

// Qt leaves letters with special casing alone; İ still has a one-to-one lower case.
char32_t mapCase(char32_t c, bool upper) {
    if (!upper && c == 0x130)
        return U'i';
    return upper ? QChar::toUpper(c) : QChar::toLower(c);
}

// The mapping of every BMP character, looked up instead of asked of Qt character by character
// (most characters of a drawing text are kanji and kana, which have no case). A BMP character
// whose counterpart lies outside the BMP would be marked 0 and mapped on the slow path; Unicode
// has none today.
// Blocks of 256 characters without any case mapping (kana and kanji among them) are known from
// a small bitmap that stays in the cache, so their characters skip the big table.
struct CaseTable {
    std::array<char16_t, 0x10000> map{};
    std::array<bool, 0x100> blockHasCase{};
    explicit CaseTable(bool upper) {
        for (char32_t c = 0; c < 0x10000; ++c) {
            const char32_t mapped = mapCase(c, upper);
            map[c] = mapped < 0x10000 ? char16_t(mapped) : 0;
            if (map[c] != c)
                blockHasCase[c >> 8] = true;
        }
        // High surrogates lead to characters beyond the BMP, which may have a case.
        for (char16_t block = 0xD8; block <= 0xDB; ++block)
            blockHasCase[block] = true;
    }
};

template <bool Upper> const CaseTable& caseTable() {
    static const CaseTable table(Upper);
    return table;
}

// Simple case mapping over code points; surrogate pairs are mapped as one character.
template <bool Upper, class Sink> void convertCase(QStringView in, Sink& sink) {
    const CaseTable& table = caseTable<Upper>();
    const auto& map = table.map;
    const qsizetype n = in.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = in[i].unicode();
        if (!table.blockHasCase[c >> 8]) {
            sink.put(c);
        } else if (!QChar::isSurrogate(c) && map[c]) {
            sink.put(map[c]);
        } else if (QChar::isHighSurrogate(c) && i + 1 < n && in[i + 1].isLowSurrogate()) {
            sink.putCodePoint(mapCase(QChar::surrogateToUcs4(c, in[i + 1].unicode()), Upper));
            ++i;
        } else {
            sink.putCodePoint(QChar::isSurrogate(c) ? c : mapCase(c, Upper));
        }
    }
}

// Written without branches: kana and other characters alternate in drawing texts.
bool isConvertibleHiragana(char16_t c) {
    return (char16_t(c - 0x3041) <= 0x3096 - 0x3041) | (char16_t(c - 0x309D) <= 1);
}

bool isConvertibleKatakana(char16_t c) {
    return (char16_t(c - 0x30A1) <= 0x30F3 - 0x30A1) | (char16_t(c - 0x30FD) <= 1);
}

} // namespace

void CaseKanaConversion::toUpper(QStringView in, QString& out) {
    StringSink sink(out, 2 * in.size());
    convertCase<true>(in, sink);
}

void CaseKanaConversion::toLower(QStringView in, QString& out) {
    StringSink sink(out, 2 * in.size());
    convertCase<false>(in, sink);
}

char16_t* CaseKanaConversion::toUpper(QStringView in, char16_t* out) {
    RawSink sink(out);
    convertCase<true>(in, sink);
    return sink.end();
}

char16_t* CaseKanaConversion::toLower(QStringView in, char16_t* out) {
    RawSink sink(out);
    convertCase<false>(in, sink);
    return sink.end();
}

void CaseKanaConversion::hiraganaToKatakana(QStringView in, QString& out) {
    StringSink sink(out, in.size());
    for (QChar c : in)
        sink.put(isConvertibleHiragana(c.unicode()) ? char16_t(c.unicode() + kKanaOffset)
                                                    : c.unicode());
}

void CaseKanaConversion::katakanaToHiragana(QStringView in, QString& out) {
    StringSink sink(out, in.size());
    for (QChar c : in)
        sink.put(isConvertibleKatakana(c.unicode()) ? char16_t(c.unicode() - kKanaOffset)
                                                    : c.unicode());
}

QString CaseKanaConversion::toUpper(QStringView in) {
    QString out;
    out.reserve(in.size());
    toUpper(in, out);
    return out;
}

QString CaseKanaConversion::toLower(QStringView in) {
    QString out;
    out.reserve(in.size());
    toLower(in, out);
    return out;
}

QString CaseKanaConversion::hiraganaToKatakana(QStringView in) {
    QString out;
    out.reserve(in.size());
    hiraganaToKatakana(in, out);
    return out;
}

QString CaseKanaConversion::katakanaToHiragana(QStringView in) {
    QString out;
    out.reserve(in.size());
    katakanaToHiragana(in, out);
    return out;
}

} // namespace ornvale
