#include "DxfValueCodec.h"

#include "Cp932Codec.h"

namespace ornvale {

namespace {

void appendEscape(QByteArray& out, char16_t unit) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    out.append("\\U+", 3);
    for (int shift = 12; shift >= 0; shift -= 4)
        out.append(kHex[(unit >> shift) & 0xF]);
}

QByteArray encodeCp932(const QString& text) {
    Cp932Codec::Encoded whole = Cp932Codec::encode(text);
    if (whole.ok())
        return whole.bytes;
    // Rare: encode the representable runs and escape each unit in between.
    QByteArray out;
    qsizetype runStart = 0;
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size; ++i) {
        const QChar c = text[i];
        if (!c.isSurrogate() && Cp932Codec::canEncode(QStringView(&c, 1)))
            continue;
        out.append(Cp932Codec::encode(QStringView(text).mid(runStart, i - runStart)).bytes);
        appendEscape(out, c.unicode());
        runStart = i + 1;
    }
    out.append(Cp932Codec::encode(QStringView(text).mid(runStart)).bytes);
    return out;
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

std::optional<QString> DxfValueCodec::decode(QByteArrayView bytes, DxfEncoding encoding) {
    if (encoding == DxfEncoding::Utf8) {
        if (!isValidUtf8(bytes))
            return std::nullopt;
        return QString::fromUtf8(bytes);
    }
    Cp932Codec::Decoded decoded = Cp932Codec::decode(bytes);
    if (!decoded.ok())
        return std::nullopt;
    return std::move(decoded.text);
}

QByteArray DxfValueCodec::encode(const QString& text, DxfEncoding encoding) {
    if (encoding == DxfEncoding::Utf8)
        return text.toUtf8();
    return encodeCp932(text);
}

} // namespace ornvale
