#include "DxfChangeRowFormat.h"

#include <charconv>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace ornvale::DxfChangeRowFormat {

namespace {

QStringView entityName(TextEntityKind kind) {
    return kind == TextEntityKind::MTextEntity ? u"MTEXT" : u"TEXT";
}

// Appends `text` as UTF-8, each character given by `escape` written as what it returns
// (nothing: as it is). Writes into room made up front, so a row costs no allocation once the
// row buffer has grown.
template <typename Escape> void appendUtf8(QByteArray& out, QStringView text, Escape escape) {
    const qsizetype start = out.size();
    out.resize(start + text.size() * 6); // the longest escape, or 3 bytes per unit
    char* at = out.data() + start;
    const char16_t* units = text.utf16();
    for (qsizetype i = 0; i < text.size(); ++i) {
#ifdef __SSE2__
        // Most values are mostly ASCII: eight units at a time while none needs more care.
        while (i + 8 <= text.size() && units[i] < 0x80) {
            const __m128i group = _mm_loadu_si128(reinterpret_cast<const __m128i*>(units + i));
            const __m128i wide = _mm_and_si128(group, _mm_set1_epi16(short(0xFF80)));
            __m128i special = _mm_cmpeq_epi16(wide, _mm_setzero_si128());
            special = _mm_xor_si128(special, _mm_set1_epi16(-1)); // units of 0x80 and above
            special = _mm_or_si128(special, _mm_cmpeq_epi16(group, _mm_set1_epi16('"')));
            special = _mm_or_si128(special, _mm_cmpeq_epi16(group, _mm_set1_epi16('\\')));
            special = _mm_or_si128(special, _mm_cmplt_epi16(group, _mm_set1_epi16(0x20)));
            if (_mm_movemask_epi8(special))
                break;
            _mm_storel_epi64(reinterpret_cast<__m128i*>(at), _mm_packus_epi16(group, group));
            at += 8;
            i += 8;
        }
        if (i >= text.size())
            break;
#endif
        char32_t c = units[i];
        if (c < 0x80) {
            if (const char* escaped = escape(char(c))) {
                while (*escaped)
                    *at++ = *escaped++;
            } else {
                *at++ = char(c);
            }
            continue;
        }
        if (QChar::isHighSurrogate(c) && i + 1 < text.size() &&
            QChar::isLowSurrogate(units[i + 1])) {
            c = QChar::surrogateToUcs4(char16_t(c), units[++i]);
        } else if (QChar::isSurrogate(c)) {
            c = 0xFFFD; // a lone surrogate has no UTF-8 form
        }
        if (c < 0x800) {
            *at++ = char(0xC0 | (c >> 6));
        } else {
            if (c < 0x10000) {
                *at++ = char(0xE0 | (c >> 12));
            } else {
                *at++ = char(0xF0 | (c >> 18));
                *at++ = char(0x80 | ((c >> 12) & 0x3F));
            }
            *at++ = char(0x80 | ((c >> 6) & 0x3F));
        }
        *at++ = char(0x80 | (c & 0x3F));
    }
    out.truncate(at - out.data());
}

} // namespace

QByteArrayView header(DxfChangeFormat format) {
    if (format == DxfChangeFormat::Csv)
        return "\xEF\xBB\xBF"
               "file,line,entity,handle,layer,before,after\r\n";
    return {};
}

// The fields in their order; what stands in front of each differs by format.
void appendRow(QByteArray& row, const DxfValueChange& change, DxfChangeFormat format) {
    static constexpr const char* csvStarts[7] = {"", ",", ",", ",", ",", ",", ","};
    static constexpr const char* jsonStarts[7] = {
        "{\"file\":",  ",\"line\":",   ",\"entity\":", ",\"handle\":",
        ",\"layer\":", ",\"before\":", ",\"after\":"};
    const bool csv = format == DxfChangeFormat::Csv;
    const char* const* starts = csv ? csvStarts : jsonStarts;
    const auto appendText = csv ? appendCsvField : appendJsonString;
    char number[24];
    const auto digits = std::to_chars(number, number + sizeof number, change.line);
    row += starts[0];
    appendText(row, change.inputPath);
    row += starts[1];
    row += QByteArrayView(number, digits.ptr - number);
    row += starts[2];
    appendText(row, entityName(change.kind));
    row += starts[3];
    appendText(row, change.handle);
    row += starts[4];
    appendText(row, change.layer);
    row += starts[5];
    appendText(row, change.before);
    row += starts[6];
    appendText(row, change.after);
    row += csv ? "\r\n" : "}\n";
}

void appendCsvField(QByteArray& row, QStringView text) {
    // Without branches, so the compiler can look at many units at once.
    int specials = 0;
    const char16_t* units = text.utf16();
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = units[i];
        specials |= int(c == u',') | int(c == u'"') | int(c == u'\r') | int(c == u'\n');
    }
    const bool quoted = specials != 0;
    if (!quoted) {
        appendUtf8(row, text, [](char) -> const char* { return nullptr; });
        return;
    }
    row += '"';
    appendUtf8(row, text, [](char c) -> const char* { return c == '"' ? "\"\"" : nullptr; });
    row += '"';
}

void appendJsonString(QByteArray& row, QStringView text) {
    static const char* const controls[32] = {
        "\\u0000", "\\u0001", "\\u0002", "\\u0003", "\\u0004", "\\u0005", "\\u0006", "\\u0007",
        "\\b",     "\\t",     "\\n",     "\\u000b", "\\f",     "\\r",     "\\u000e", "\\u000f",
        "\\u0010", "\\u0011", "\\u0012", "\\u0013", "\\u0014", "\\u0015", "\\u0016", "\\u0017",
        "\\u0018", "\\u0019", "\\u001a", "\\u001b", "\\u001c", "\\u001d", "\\u001e", "\\u001f"};
    row += '"';
    appendUtf8(row, text, [](char c) -> const char* {
        if (c == '"')
            return "\\\"";
        if (c == '\\')
            return "\\\\";
        return static_cast<unsigned char>(c) < 0x20 ? controls[static_cast<unsigned char>(c)]
                                                    : nullptr;
    });
    row += '"';
}

} // namespace ornvale::DxfChangeRowFormat
