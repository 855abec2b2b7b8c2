#include "DxfChangeRowFormat.h"

#include <QStringEncoder>

#include <algorithm>
#include <charconv>

namespace ornvale::DxfChangeRowFormat {

namespace {

// Appends `text` as UTF-8; returns where it starts in `out`. Written into room made up
// front, so a row costs no allocation once the row buffer has grown.
qsizetype appendUtf8(QByteArray& out, QStringView text) {
    const qsizetype start = out.size();
    QStringEncoder encoder(QStringEncoder::Utf8, QStringEncoder::Flag::Stateless);
    out.resize(start + encoder.requiredSpace(text.size()));
    out.truncate(encoder.appendToBuffer(out.data() + start, text) - out.constData());
    return start;
}

// Escapes are looked for in the UTF-8 bytes: no byte of a multi-byte character is ASCII.
void appendJsonEscaped(QByteArray& out, char c) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
        out += '\\';
        out += c;
        return;
    }
    if (byte >= 0x20) {
        out += c;
        return;
    }
    // JSON's short forms for 0x08 to 0x0D, where it has one; any other control as \u00XX.
    static constexpr char kShort[] = {'b', 't', 'n', 0, 'f', 'r'};
    if (byte >= 0x08 && byte <= 0x0D && kShort[byte - 0x08]) {
        out += '\\';
        out += kShort[byte - 0x08];
        return;
    }
    static constexpr char kHex[] = "0123456789abcdef";
    out += "\\u00";
    out += kHex[byte >> 4];
    out += kHex[byte & 0xF];
}

bool needsCsvQuotes(char c) {
    return c == ',' || c == '"' || c == '\r' || c == '\n';
}

bool needsJsonEscape(char c) {
    return c == '"' || c == '\\' || static_cast<unsigned char>(c) < 0x20;
}

} // namespace

QByteArrayView header(DxfChangeFormat format) {
    if (format == DxfChangeFormat::Csv)
        return "\xEF\xBB\xBF"
               "file,line,entity,handle,layer,before,after\r\n";
    return {};
}

// Most fields need neither quotes nor escapes: they are encoded once, straight into the row.
void appendCsvField(QByteArray& row, QStringView text) {
    const qsizetype start = appendUtf8(row, text);
    if (std::none_of(row.cbegin() + start, row.cend(), needsCsvQuotes))
        return;
    const QByteArray plain = row.sliced(start);
    row.truncate(start);
    row += '"';
    for (const char c : plain) {
        row += c;
        if (c == '"')
            row += '"';
    }
    row += '"';
}

void appendJsonString(QByteArray& row, QStringView text) {
    row += '"';
    const qsizetype start = appendUtf8(row, text);
    if (std::any_of(row.cbegin() + start, row.cend(), needsJsonEscape)) {
        const QByteArray plain = row.sliced(start);
        row.truncate(start);
        for (const char c : plain)
            appendJsonEscaped(row, c);
    }
    row += '"';
}

void appendRow(QByteArray& row, const DxfValueChange& change, DxfChangeFormat format) {
    char digits[24];
    const QByteArrayView line(
        digits, std::to_chars(digits, digits + sizeof digits, change.line).ptr - digits);
    const char* const entity = change.kind == TextEntityKind::MTextEntity ? "MTEXT" : "TEXT";
    if (format == DxfChangeFormat::Csv) {
        appendCsvField(row, change.inputPath);
        row += ',';
        row += line;
        row += ',';
        row += entity;
        row += ',';
        appendCsvField(row, change.handle);
        row += ',';
        appendCsvField(row, change.layer);
        row += ',';
        appendCsvField(row, change.before);
        row += ',';
        appendCsvField(row, change.after);
        row += "\r\n";
        return;
    }
    row += "{\"file\":";
    appendJsonString(row, change.inputPath);
    row += ",\"line\":";
    row += line;
    row += ",\"entity\":\"";
    row += entity;
    row += "\",\"handle\":";
    appendJsonString(row, change.handle);
    row += ",\"layer\":";
    appendJsonString(row, change.layer);
    row += ",\"before\":";
    appendJsonString(row, change.before);
    row += ",\"after\":";
    appendJsonString(row, change.after);
    row += "}\n";
}

} // namespace ornvale::DxfChangeRowFormat
