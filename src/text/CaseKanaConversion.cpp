#include "CaseKanaConversion.h"

namespace ornvale {

namespace {

constexpr char16_t kKanaOffset = 0x60; // ぁ U+3041 -> ァ U+30A1

template <bool Upper> char32_t mapCase(char32_t c) {
    if (c < 0x80) {
        if (Upper)
            return c >= U'a' && c <= U'z' ? c - 0x20 : c;
        return c >= U'A' && c <= U'Z' ? c + 0x20 : c;
    }
    // Qt leaves letters with special casing alone; İ still has a one-to-one lower case.
    if (!Upper && c == 0x130)
        return U'i';
    return Upper ? QChar::toUpper(c) : QChar::toLower(c);
}

// Simple case mapping over code points; surrogate pairs are mapped as one character.
template <bool Upper> void convertCase(QStringView in, QString& out) {
    const qsizetype n = in.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = in[i];
        if (c.isHighSurrogate() && i + 1 < n && in[i + 1].isLowSurrogate()) {
            const char32_t mapped = mapCase<Upper>(QChar::surrogateToUcs4(c, in[i + 1]));
            if (QChar::requiresSurrogates(mapped)) {
                out.append(QChar(QChar::highSurrogate(mapped)));
                out.append(QChar(QChar::lowSurrogate(mapped)));
            } else {
                out.append(QChar(char16_t(mapped)));
            }
            ++i;
            continue;
        }
        const char32_t mapped = c.isSurrogate() ? c.unicode() : mapCase<Upper>(c.unicode());
        if (QChar::requiresSurrogates(mapped)) {
            out.append(QChar(QChar::highSurrogate(mapped)));
            out.append(QChar(QChar::lowSurrogate(mapped)));
        } else {
            out.append(QChar(char16_t(mapped)));
        }
    }
}

bool isConvertibleHiragana(char16_t c) {
    return (c >= 0x3041 && c <= 0x3096) || c == 0x309D || c == 0x309E;
}

bool isConvertibleKatakana(char16_t c) {
    return (c >= 0x30A1 && c <= 0x30F3) || c == 0x30FD || c == 0x30FE;
}

} // namespace

void CaseKanaConversion::toUpper(QStringView in, QString& out) {
    convertCase<true>(in, out);
}

void CaseKanaConversion::toLower(QStringView in, QString& out) {
    convertCase<false>(in, out);
}

void CaseKanaConversion::hiraganaToKatakana(QStringView in, QString& out) {
    for (QChar c : in)
        out.append(isConvertibleHiragana(c.unicode()) ? QChar(char16_t(c.unicode() + kKanaOffset))
                                                      : c);
}

void CaseKanaConversion::katakanaToHiragana(QStringView in, QString& out) {
    for (QChar c : in)
        out.append(isConvertibleKatakana(c.unicode()) ? QChar(char16_t(c.unicode() - kKanaOffset))
                                                      : c);
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
