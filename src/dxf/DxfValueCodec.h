#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

namespace ornvale {

// The two encodings of a drawing's text values: code page 932 before release 2007, UTF-8
// (without byte-order mark) from it.
enum class DxfEncoding { Cp932, Utf8 };

// Decodes and encodes one group value into a caller's string or byte array, reusing its
// capacity: the driver converts millions of values. Decoding refuses bytes that are not valid
// in the encoding, so such a value can be left exactly as it was.
class DxfValueCodec {
public:
    // False when the bytes are not valid in the encoding; `text` is then unspecified.
    static bool decodeInto(QByteArrayView bytes, DxfEncoding encoding, QString& text);
    // A character code page 932 cannot hold is written as AutoCAD's escape \U+XXXX; one
    // outside the basic plane as the escapes of its two UTF-16 surrogates.
    static void encodeInto(QStringView text, DxfEncoding encoding, QByteArray& bytes);
    // Strict UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF.
    static bool isValidUtf8(QByteArrayView bytes);
};

} // namespace ornvale
