#include "Cp932Codec.h"

#include "Cp932Table.h"

#include <algorithm>
#include <array>
#include <bit>
#include <memory>

#if defined(__SSE2__) && !defined(ORNVALE_NO_SIMD)
#include <emmintrin.h>
#endif

namespace ornvale {

namespace {

using cp932::isLeadByte;
using cp932::isTrailByte;

// Widens the ASCII bytes at the start of `in` to characters, sixteen at a time while sixteen
// bytes remain; returns how many it took (0 when fewer than sixteen remain). Writes whole
// groups, so up to fifteen characters after the run are scratch for the caller to overwrite.
qsizetype widenAscii(const char* in, qsizetype size, QChar* out) {
    qsizetype done = 0;
#if defined(__SSE2__) && !defined(ORNVALE_NO_SIMD)
    const __m128i zero = _mm_setzero_si128();
    for (; done + 16 <= size; done += 16) {
        const __m128i group = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + done));
        auto* target = reinterpret_cast<__m128i*>(out + done);
        _mm_storeu_si128(target, _mm_unpacklo_epi8(group, zero));
        _mm_storeu_si128(target + 1, _mm_unpackhi_epi8(group, zero));
        if (const unsigned other = unsigned(_mm_movemask_epi8(group)))
            return done + std::countr_zero(other);
    }
#else
    Q_UNUSED(in)
    Q_UNUSED(size)
    Q_UNUSED(out)
#endif
    return done;
}

// Lookup tables spread out once from Microsoft's table (Cp932Table.cpp), the same on every
// platform: conversions are plain lookups, so the text driver can convert millions of values
// quickly, and no system converter with its own idea of the code page is involved.
struct Tables {
    static constexpr char16_t kNone = cp932::kNoCharacter;
    std::array<char16_t, 256> single{};
    std::array<char16_t, 65536> pair{};  // (lead << 8 | trail) -> character, kNone = invalid
    std::array<quint16, 65536> encode{}; // character -> bytes: < 0x100 one byte, else two
    std::array<bool, 65536> encodable{};

    Tables() {
        std::copy(std::begin(cp932::kSingleBytes), std::end(cp932::kSingleBytes), single.begin());
        pair.fill(kNone);
        for (int lead = 0x81; lead <= 0xFC; ++lead) {
            if (!isLeadByte(static_cast<unsigned char>(lead)))
                continue;
            for (int trail = 0x40; trail <= 0xFC; ++trail) {
                if (!isTrailByte(static_cast<unsigned char>(trail)))
                    continue;
                pair[(lead << 8) | trail] =
                    cp932::kPairs[cp932::leadIndex(static_cast<unsigned char>(lead)) *
                                      cp932::kTrailCount +
                                  cp932::trailIndex(static_cast<unsigned char>(trail))];
            }
        }
        buildEncodeTable();
    }

    // Windows writes a character with several forms in its first form in byte order, except
    // that the NEC-selected copies of IBM's extensions (lead bytes 0xED and 0xEE) give way to
    // any other form.
    void buildEncodeTable() {
        auto isCopy = [](quint16 code) { return code >> 8 == 0xED || code >> 8 == 0xEE; };
        auto offer = [&](char16_t character, quint16 code) {
            if (character == kNone)
                return;
            if (encodable[character] && !(isCopy(encode[character]) && !isCopy(code)))
                return;
            encode[character] = code;
            encodable[character] = true;
        };
        for (int b = 0; b < 256; ++b)
            offer(single[b], static_cast<quint16>(b));
        for (int code = 0x8140; code <= 0xFCFC; ++code)
            offer(pair[code], static_cast<quint16>(code));
    }
};

const Tables& tables() {
    static const auto instance = std::make_unique<Tables>();
    return *instance;
}

} // namespace

qsizetype Cp932Codec::decodeInto(QByteArrayView bytes, QString& text) {
    const Tables& t = tables();
    qsizetype firstInvalidAt = -1;
    text.resize(bytes.size());
    QChar* out = text.data();
    qsizetype n = 0;
    const qsizetype size = bytes.size();
    for (qsizetype i = 0; i < size; ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        if (b < 0x80) {
            // ASCII stands for itself: a run of it goes sixteen bytes at a time.
            const qsizetype run = widenAscii(bytes.data() + i, size - i, out + n);
            if (run > 0) {
                i += run - 1;
                n += run;
                continue;
            }
        }
        const qsizetype start = i;
        char16_t c = Tables::kNone;
        if (!isLeadByte(b)) {
            c = t.single[b];
        } else if (i + 1 < size && isTrailByte(static_cast<unsigned char>(bytes[i + 1]))) {
            c = t.pair[(b << 8) | static_cast<unsigned char>(bytes[i + 1])];
            ++i;
        }
        if (c == Tables::kNone) {
            if (firstInvalidAt < 0)
                firstInvalidAt = start;
            c = QChar::ReplacementCharacter;
        }
        out[n++] = QChar(c);
    }
    text.truncate(n);
    return firstInvalidAt;
}

Cp932Codec::Decoded Cp932Codec::decode(QByteArrayView bytes) {
    Decoded result;
    result.firstInvalidAt = decodeInto(bytes, result.text);
    return result;
}

bool Cp932Codec::encodeInto(QStringView text, QByteArray& bytes) {
    const Tables& t = tables();
    // Written through a pointer into room for the longest form: appending byte by byte costs
    // more than the lookups when the text driver encodes millions of values.
    bytes.resize(text.size() * 2);
    char* out = bytes.data();
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (QChar::isSurrogate(u) || !t.encodable[u]) {
            bytes.truncate(out - bytes.constData());
            return false;
        }
        const quint16 code = t.encode[u];
        if (code > 0xFF)
            *out++ = static_cast<char>(code >> 8);
        *out++ = static_cast<char>(code & 0xFF);
    }
    bytes.truncate(out - bytes.constData());
    return true;
}

Cp932Codec::Encoded Cp932Codec::encode(QStringView text) {
    const Tables& t = tables();
    Encoded result;
    result.bytes.resize(text.size() * 2);
    char* out = result.bytes.data();
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size; ++i) {
        const char16_t u = text[i].unicode();
        if (QChar::isSurrogate(u)) {
            // Nothing outside the basic plane exists in code page 932.
            char32_t unit = u;
            if (QChar::isHighSurrogate(u) && i + 1 < size && text[i + 1].isLowSurrogate()) {
                unit = QChar::surrogateToUcs4(u, text[i + 1].unicode());
                ++i;
            }
            result.unrepresentable.append(unit);
            continue;
        }
        if (!t.encodable[u]) {
            result.unrepresentable.append(u);
            continue;
        }
        const quint16 code = t.encode[u];
        if (code > 0xFF)
            *out++ = static_cast<char>(code >> 8);
        *out++ = static_cast<char>(code & 0xFF);
    }
    result.bytes.truncate(out - result.bytes.constData());
    return result;
}

bool Cp932Codec::canEncode(QStringView text) {
    const Tables& t = tables();
    for (QChar c : text) {
        if (c.isSurrogate() || !t.encodable[c.unicode()])
            return false;
    }
    return true;
}

} // namespace ornvale
