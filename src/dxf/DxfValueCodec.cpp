#include "DxfValueCodec.h"

#include "Cp932Codec.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace ornvale {

namespace {

void appendEscape(QByteArray& out, char16_t unit) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    out.append("\\U+", 3);
    for (int shift = 12; shift >= 0; shift -= 4)
        out.append(kHex[(unit >> shift) & 0xF]);
}

// Appends the UTF-8 form of the text; false when it held a lone surrogate, which came out as
// U+FFFD.
bool appendUtf8(QByteArray& out, QStringView text) {
    // At most three bytes for each UTF-16 unit (a surrogate pair gives four for two units).
    const qsizetype start = out.size();
    out.resize(start + text.size() * 3);
    QStringEncoder encoder(QStringEncoder::Utf8, QStringEncoder::Flag::Stateless);
    const char* end = encoder.appendToBuffer(out.data() + start, text);
    out.truncate(end - out.constData());
    return !encoder.hasError();
}

void appendCp932(QByteArray& out, QStringView text) {
    out.append(Cp932Codec::encode(text).bytes);
}

// The slow way, for the rare value holding something the encoding cannot: the runs the
// encoding holds are encoded, each unit in between is escaped.
template <class Holds, class Append>
void encodeWithEscapes(QStringView text, QByteArray& out, Holds holds, Append append) {
    out.resize(0);
    qsizetype runStart = 0;
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size;) {
        const qsizetype held = holds(text, i); // units from i on the encoding holds as one
        if (held > 0) {
            i += held;
            continue;
        }
        append(out, text.mid(runStart, i - runStart));
        appendEscape(out, text[i].unicode());
        runStart = ++i;
    }
    append(out, text.mid(runStart));
}

// Code page 932 has nothing outside the basic plane, so a surrogate pair becomes two escapes.
void encodeCp932(QStringView text, QByteArray& out) {
    if (Cp932Codec::encodeInto(text, out))
        return;
    const auto holds = [](QStringView t, qsizetype i) -> qsizetype {
        const QChar c = t[i];
        return !c.isSurrogate() && Cp932Codec::canEncode(QStringView(&c, 1)) ? 1 : 0;
    };
    encodeWithEscapes(text, out, holds, appendCp932);
}

// UTF-8 holds every character; only a lone surrogate, which no valid UTF-8 can carry, is
// escaped like a character code page 932 lacks.
void encodeUtf8(QStringView text, QByteArray& out) {
    out.resize(0);
    if (appendUtf8(out, text))
        return;
    const auto holds = [](QStringView t, qsizetype i) -> qsizetype {
        if (!t[i].isSurrogate())
            return 1;
        const bool pair = t[i].isHighSurrogate() && i + 1 < t.size() && t[i + 1].isLowSurrogate();
        return pair ? 2 : 0;
    };
    encodeWithEscapes(text, out, holds, [](QByteArray& o, QStringView run) { appendUtf8(o, run); });
}

} // namespace

bool DxfValueCodec::isValidUtf8(QByteArrayView bytes) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const auto* const end = p + bytes.size();
    while (p < end) {
        const unsigned char b = *p;
        if (b < 0x80) {
            ++p;
            continue;
        }
        int extra = 0;
        char32_t min = 0;
        char32_t cp = 0;
        if ((b & 0xE0) == 0xC0) {
            extra = 1, min = 0x80, cp = b & 0x1F;
        } else if ((b & 0xF0) == 0xE0) {
            extra = 2, min = 0x800, cp = b & 0x0F;
        } else if ((b & 0xF8) == 0xF0) {
            extra = 3, min = 0x10000, cp = b & 0x07;
        } else {
            return false;
        }
        if (end - p <= extra)
            return false;
        for (int k = 1; k <= extra; ++k) {
            if ((p[k] & 0xC0) != 0x80)
                return false;
            cp = (cp << 6) | (p[k] & 0x3F);
        }
        if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
            return false;
        p += extra + 1;
    }
    return true;
}

bool DxfValueCodec::decodeInto(QByteArrayView bytes, DxfEncoding encoding, QString& text) {
    if (encoding == DxfEncoding::Cp932)
        return Cp932Codec::decodeInto(bytes, text) < 0;
    if (!isValidUtf8(bytes))
        return false;
    // Valid UTF-8 never needs more UTF-16 units than it has bytes. A U+FEFF at the start of a
    // value is part of the value, not a byte-order mark to drop.
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless |
                                                     QStringDecoder::Flag::ConvertInitialBom);
    text.resize(bytes.size());
    const QChar* end = decoder.appendToBuffer(text.data(), bytes);
    text.truncate(end - text.constData());
    return true;
}

void DxfValueCodec::encodeInto(QStringView text, DxfEncoding encoding, QByteArray& bytes) {
    if (encoding == DxfEncoding::Cp932)
        encodeCp932(text, bytes);
    else
        encodeUtf8(text, bytes);
}

} // namespace ornvale
