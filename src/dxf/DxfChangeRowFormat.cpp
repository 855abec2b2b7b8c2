#include "DxfChangeRowFormat.h"

#include <QStringEncoder>

#include <algorithm>
#include <charconv>
#include <cstring>
#include <string_view>

namespace ornvale::DxfChangeRowFormat {

namespace {

using namespace std::string_view_literals;

// The most bytes a field can take, quotes included: three for each UTF-16 unit as UTF-8 (a
// doubled CSV quote takes two), six for a JSON escape ("\u001f").
qsizetype room(QStringView text) {
    return 2 + 6 * text.size();
}

char* put(char* at, std::string_view bytes) {
    std::memcpy(at, bytes.data(), bytes.size());
    return at + bytes.size();
}

char* putUtf8(char* at, QStringView text) {
    QStringEncoder encoder(QStringEncoder::Utf8, QStringEncoder::Flag::Stateless);
    return encoder.appendToBuffer(at, text);
}

// How many units need quotes or escapes. Counted rather than searched for, so that the
// compiler looks at many units at once: most fields hold none.
template <typename Special> int countOf(QStringView text, Special special) {
    int count = 0;
    for (const char16_t c : std::u16string_view(text.utf16(), size_t(text.size())))
        count += special(c);
    return count;
}

int csvSpecial(char16_t c) {
    return (c == u',') + (c == u'"') + (c == u'\r') + (c == u'\n');
}

int jsonSpecial(char16_t c) {
    return (c == u'"') + (c == u'\\') + (c < 0x20);
}

char* putJsonEscape(char* at, char16_t c) {
    static constexpr char kShort[] = {'b', 't', 'n', 0, 'f', 'r'}; // 0x08 to 0x0D
    static constexpr char kHex[] = "0123456789abcdef";
    *at++ = '\\';
    if (c == u'"' || c == u'\\') {
        *at++ = char(c);
    } else if (c >= 0x08 && c <= 0x0D && kShort[c - 0x08]) {
        *at++ = kShort[c - 0x08];
    } else {
        at = put(at, "u00"sv);
        *at++ = kHex[c >> 4];
        *at++ = kHex[c & 0xF];
    }
    return at;
}

char* putCsvField(char* at, QStringView text) {
    if (countOf(text, csvSpecial) == 0)
        return putUtf8(at, text);
    *at++ = '"';
    for (qsizetype quote; (quote = text.indexOf(u'"')) >= 0; text = text.sliced(quote + 1)) {
        at = putUtf8(at, text.first(quote + 1));
        *at++ = '"'; // doubled
    }
    at = putUtf8(at, text);
    *at++ = '"';
    return at;
}

// The runs between escapes are encoded as they are.
char* putJsonString(char* at, QStringView text) {
    *at++ = '"';
    const char16_t* run = text.utf16();
    const char16_t* const end = run + text.size();
    if (countOf(text, jsonSpecial) != 0) {
        const auto escaped = [](char16_t c) { return c == u'"' || c == u'\\' || c < 0x20; };
        for (const char16_t* c; (c = std::find_if(run, end, escaped)) != end; run = c + 1)
            at = putJsonEscape(putUtf8(at, QStringView(run, c)), *c);
    }
    at = putUtf8(at, QStringView(run, end));
    *at++ = '"';
    return at;
}

} // namespace

QByteArrayView header(DxfChangeFormat format) {
    if (format == DxfChangeFormat::Csv)
        return "\xEF\xBB\xBF"
               "file,line,entity,handle,layer,before,after\r\n";
    return {};
}

QByteArray field(QStringView text, DxfChangeFormat format) {
    QByteArray bytes(room(text), Qt::Uninitialized);
    const auto putField = format == DxfChangeFormat::Csv ? putCsvField : putJsonString;
    bytes.truncate(putField(bytes.data(), text) - bytes.constData());
    return bytes;
}

// The row is written into room made once for its longest form.
void appendRow(QByteArray& row, QByteArrayView fileField, const DxfValueChange& change,
               DxfChangeFormat format) {
    const bool csv = format == DxfChangeFormat::Csv;
    const auto putField = csv ? putCsvField : putJsonString;
    constexpr qsizetype kFixedRoom = 128; // keys, separators, the line number, the entity
    const qsizetype start = row.size();
    row.resize(start + kFixedRoom + fileField.size() + room(change.handle) + room(change.layer) +
               room(change.before) + room(change.after));
    char* at = row.data() + start;
    at = put(at, csv ? ""sv : "{\"file\":"sv);
    at = put(at, {fileField.data(), size_t(fileField.size())});
    at = put(at, csv ? ","sv : ",\"line\":"sv);
    at = std::to_chars(at, at + 24, change.line).ptr;
    at = put(at, csv ? ","sv : ",\"entity\":\""sv);
    at = put(at, change.kind == TextEntityKind::MTextEntity ? "MTEXT"sv : "TEXT"sv);
    at = put(at, csv ? ","sv : "\",\"handle\":"sv);
    at = putField(at, change.handle);
    at = put(at, csv ? ","sv : ",\"layer\":"sv);
    at = putField(at, change.layer);
    at = put(at, csv ? ","sv : ",\"before\":"sv);
    at = putField(at, change.before);
    at = put(at, csv ? ","sv : ",\"after\":"sv);
    at = putField(at, change.after);
    at = put(at, csv ? "\r\n"sv : "}\n"sv);
    row.truncate(at - row.constData());
}

} // namespace ornvale::DxfChangeRowFormat
