#include "DxfChangeRowFormat.h"

#include <bit>
#include <charconv>
#include <cstring>
#include <string_view>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace ornvale::DxfChangeRowFormat {

namespace {

using namespace std::string_view_literals;

// The most bytes one UTF-16 unit can take in a field: three as UTF-8, or a doubled quote in
// CSV; "\u001f" in JSON.
constexpr qsizetype kCsvBytesPerUnit = 3;
constexpr qsizetype kJsonBytesPerUnit = 6;

std::string_view entityName(TextEntityKind kind) {
    return kind == TextEntityKind::MTextEntity ? "MTEXT"sv : "TEXT"sv;
}

char* put(char* at, std::string_view bytes) {
    std::memcpy(at, bytes.data(), bytes.size());
    return at + bytes.size();
}

// The characters a JSON string cannot hold as they are.
const char* jsonEscape(char16_t c) {
    static const char* const controls[32] = {
        "\\u0000", "\\u0001", "\\u0002", "\\u0003", "\\u0004", "\\u0005", "\\u0006", "\\u0007",
        "\\b",     "\\t",     "\\n",     "\\u000b", "\\f",     "\\r",     "\\u000e", "\\u000f",
        "\\u0010", "\\u0011", "\\u0012", "\\u0013", "\\u0014", "\\u0015", "\\u0016", "\\u0017",
        "\\u0018", "\\u0019", "\\u001a", "\\u001b", "\\u001c", "\\u001d", "\\u001e", "\\u001f"};
    if (c == u'"')
        return "\\\"";
    if (c == u'\\')
        return "\\\\";
    return c < 0x20 ? controls[c] : nullptr;
}

const char* csvEscape(char16_t c) {
    return c == u'"' ? "\"\"" : nullptr;
}

// Writes the non-ASCII units from `units` on as UTF-8, up to the next ASCII unit or `end`.
char* putNonAscii(char* at, const char16_t*& units, const char16_t* end) {
    while (units < end && *units >= 0x80) {
        char32_t c = *units++;
        if (c < 0x800) {
            *at++ = char(0xC0 | (c >> 6));
            *at++ = char(0x80 | (c & 0x3F));
            continue;
        }
        if (QChar::isSurrogate(c)) {
            if (QChar::isHighSurrogate(c) && units < end && QChar::isLowSurrogate(*units)) {
                c = QChar::surrogateToUcs4(char16_t(c), *units++);
                *at++ = char(0xF0 | (c >> 18));
                *at++ = char(0x80 | ((c >> 12) & 0x3F));
                *at++ = char(0x80 | ((c >> 6) & 0x3F));
                *at++ = char(0x80 | (c & 0x3F));
                continue;
            }
            c = 0xFFFD; // a lone surrogate has no UTF-8 form
        }
        *at++ = char(0xE0 | (c >> 12));
        *at++ = char(0x80 | ((c >> 6) & 0x3F));
        *at++ = char(0x80 | (c & 0x3F));
    }
    return at;
}

#ifdef __SSE2__
// Of the eight units in `group`, how many lead that are ASCII and need no escape.
template <bool json> int plainAsciiLead(__m128i group) {
    const __m128i ascii =
        _mm_cmpeq_epi16(_mm_and_si128(group, _mm_set1_epi16(short(0xFF80))), _mm_setzero_si128());
    __m128i escaped = _mm_cmpeq_epi16(group, _mm_set1_epi16('"'));
    if constexpr (json) {
        escaped = _mm_or_si128(escaped, _mm_cmpeq_epi16(group, _mm_set1_epi16('\\')));
        escaped = _mm_or_si128(escaped, _mm_cmplt_epi16(group, _mm_set1_epi16(0x20)));
    }
    const unsigned plain = unsigned(_mm_movemask_epi8(_mm_andnot_si128(escaped, ascii)));
    return std::countr_zero(~plain) / 2; // 8 when all sixteen bytes are plain
}
#endif

// Writes `text` as UTF-8 at `at`, escaping what the format asks for; `at` must have room for
// the format's most bytes per unit.
template <bool json> char* putText(char* at, QStringView text) {
    const char16_t* units = text.utf16();
    const char16_t* const end = units + text.size();
    while (units < end) {
#ifdef __SSE2__
        // Most values are mostly ASCII: eight units at a time while none needs more care.
        // The eight bytes are stored whole; those past the plain ones are written over next.
        while (end - units >= 8) {
            const __m128i group = _mm_loadu_si128(reinterpret_cast<const __m128i*>(units));
            _mm_storel_epi64(reinterpret_cast<__m128i*>(at), _mm_packus_epi16(group, group));
            const int plain = plainAsciiLead<json>(group);
            units += plain;
            at += plain;
            if (plain < 8)
                break;
        }
        if (units == end)
            break;
#endif
        const char16_t c = *units;
        if (c >= 0x80) {
            at = putNonAscii(at, units, end);
            continue;
        }
        ++units;
        if (const char* escaped = json ? jsonEscape(c) : csvEscape(c)) {
            while (*escaped)
                *at++ = *escaped++;
        } else {
            *at++ = char(c);
        }
    }
    return at;
}

// Whether a CSV field must be quoted: it holds a comma, a quote or a line break.
bool needsQuotes(QStringView text) {
    const char16_t* units = text.utf16();
    qsizetype i = 0;
#ifdef __SSE2__
    for (; i + 8 <= text.size(); i += 8) {
        const __m128i group = _mm_loadu_si128(reinterpret_cast<const __m128i*>(units + i));
        __m128i found = _mm_cmpeq_epi16(group, _mm_set1_epi16(','));
        found = _mm_or_si128(found, _mm_cmpeq_epi16(group, _mm_set1_epi16('"')));
        found = _mm_or_si128(found, _mm_cmpeq_epi16(group, _mm_set1_epi16('\r')));
        found = _mm_or_si128(found, _mm_cmpeq_epi16(group, _mm_set1_epi16('\n')));
        if (_mm_movemask_epi8(found))
            return true;
    }
#endif
    for (; i < text.size(); ++i) {
        const char16_t c = units[i];
        if (c == u',' || c == u'"' || c == u'\r' || c == u'\n')
            return true;
    }
    return false;
}

char* putCsvField(char* at, QStringView text) {
    if (!needsQuotes(text))
        return putText<false>(at, text); // no quote in it either, so nothing is escaped
    *at++ = '"';
    at = putText<false>(at, text);
    *at++ = '"';
    return at;
}

char* putJsonString(char* at, QStringView text) {
    *at++ = '"';
    at = putText<true>(at, text);
    *at++ = '"';
    return at;
}

// The most bytes `text` can take as a field of `format`, quotes included.
qsizetype fieldBound(QStringView text, DxfChangeFormat format) {
    return 2 +
           text.size() * (format == DxfChangeFormat::Csv ? kCsvBytesPerUnit : kJsonBytesPerUnit);
}

// Appends a field written by `putField`, given room for at most `bound` bytes.
template <typename PutField>
void appendBounded(QByteArray& out, qsizetype bound, PutField putField) {
    const qsizetype start = out.size();
    out.resize(start + bound);
    char* const begin = out.data();
    out.truncate(putField(begin + start) - begin);
}

} // namespace

QByteArrayView header(DxfChangeFormat format) {
    if (format == DxfChangeFormat::Csv)
        return "\xEF\xBB\xBF"
               "file,line,entity,handle,layer,before,after\r\n";
    return {};
}

QByteArray fileField(QStringView inputPath, DxfChangeFormat format) {
    QByteArray field;
    appendBounded(field, fieldBound(inputPath, format), [&](char* at) {
        return format == DxfChangeFormat::Csv ? putCsvField(at, inputPath)
                                              : putJsonString(at, inputPath);
    });
    return field;
}

void appendRow(QByteArray& row, const DxfValueChange& change, DxfChangeFormat format) {
    appendRow(row, fileField(change.inputPath, format), change, format);
}

// The fields in their order; what stands in front of each differs by format. The row is
// written into room made for its longest form, so it costs no allocation once the row buffer
// has grown.
void appendRow(QByteArray& row, QByteArrayView fileField, const DxfValueChange& change,
               DxfChangeFormat format) {
    static constexpr std::string_view csvStarts[6] = {",", ",", ",", ",", ",", ","};
    static constexpr std::string_view jsonStarts[6] = {",\"line\":"sv,   ",\"entity\":"sv,
                                                       ",\"handle\":"sv, ",\"layer\":"sv,
                                                       ",\"before\":"sv, ",\"after\":"sv};
    const bool csv = format == DxfChangeFormat::Csv;
    const std::string_view* starts = csv ? csvStarts : jsonStarts;
    const auto putField = csv ? putCsvField : putJsonString;
    constexpr qsizetype kFixedBound = 128; // keys, separators, the line number, the entity
    const qsizetype bound = kFixedBound + fileField.size() + fieldBound(change.handle, format) +
                            fieldBound(change.layer, format) + fieldBound(change.before, format) +
                            fieldBound(change.after, format);
    appendBounded(row, bound, [&](char* at) {
        if (!csv)
            at = put(at, "{\"file\":"sv);
        at = put(at, {fileField.data(), size_t(fileField.size())});
        at = put(at, starts[0]);
        at = std::to_chars(at, at + 24, change.line).ptr;
        at = put(at, starts[1]);
        if (!csv)
            *at++ = '"';
        at = put(at, entityName(change.kind));
        if (!csv)
            *at++ = '"';
        at = put(at, starts[2]);
        at = putField(at, change.handle);
        at = put(at, starts[3]);
        at = putField(at, change.layer);
        at = put(at, starts[4]);
        at = putField(at, change.before);
        at = put(at, starts[5]);
        at = putField(at, change.after);
        return put(at, csv ? "\r\n"sv : "}\n"sv);
    });
}

void appendCsvField(QByteArray& row, QStringView text) {
    appendBounded(row, fieldBound(text, DxfChangeFormat::Csv),
                  [&](char* at) { return putCsvField(at, text); });
}

void appendJsonString(QByteArray& row, QStringView text) {
    appendBounded(row, fieldBound(text, DxfChangeFormat::Jsonl),
                  [&](char* at) { return putJsonString(at, text); });
}

} // namespace ornvale::DxfChangeRowFormat
