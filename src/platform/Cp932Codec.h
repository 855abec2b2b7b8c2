#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringView>

namespace ornvale {

// Code page 932 exactly as Windows converts it, from Microsoft's own table on every platform,
// with unmappable characters reported, never substituted.
class Cp932Codec {
public:
    struct Decoded {
        QString text;                  // invalid bytes decode to U+FFFD here
        qsizetype firstInvalidAt = -1; // byte offset of the first invalid sequence, -1 when none
        bool ok() const { return firstInvalidAt < 0; }
    };
    struct Encoded {
        QByteArray bytes;                // unrepresentable characters are left out
        QList<char32_t> unrepresentable; // in order of appearance
        bool ok() const { return unrepresentable.isEmpty(); }
    };

    static Decoded decode(QByteArrayView bytes);
    static Encoded encode(QStringView text);
    // The same into a caller's string or byte array, whose capacity is reused: for callers that
    // convert millions of short values. decodeInto returns the byte offset of the first invalid
    // sequence, or -1; encodeInto stops at the first character without a code page 932 form
    // and returns false.
    static qsizetype decodeInto(QByteArrayView bytes, QString& text);
    static bool encodeInto(QStringView text, QByteArray& bytes);
    // True when every character of the text has a code page 932 form.
    static bool canEncode(QStringView text);
};

} // namespace ornvale
