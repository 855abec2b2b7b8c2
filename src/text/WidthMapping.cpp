#include "WidthMapping.h"

#include "StringSink.h"

#include <array>

namespace ornvale {

namespace {

constexpr char16_t kHalfFirst = 0xFF61, kHalfLast = 0xFF9F;
constexpr char16_t kVoicedMark = 0xFF9E, kSemiVoicedMark = 0xFF9F;
constexpr char16_t kFullWidthOffset = 0xFEE0;
constexpr char16_t kIdeographicSpace = 0x3000;

// Full-width forms of U+FF61 ... U+FF9F, in code order.
constexpr char16_t kFullForms[] =
    u"。「」、・ヲァィゥェォャュョッーアイウエオカキクケコサシスセソタチツテトナニヌネノハヒフヘホ"
    u"マミムメモヤユヨラリルレロワン゛゜";
static_assert(sizeof(kFullForms) / 2 == kHalfLast - kHalfFirst + 2);

// Letters whose voiced (+1) or semi-voiced (+2) form follows them in the full-width block.
constexpr QStringView kVoicedBases = u"カキクケコサシスセソタチツテトハヒフヘホ";
constexpr QStringView kSemiVoicedBases = u"ハヒフヘホ";
constexpr char16_t kU = u'ウ', kVu = u'ヴ';

constexpr char16_t kFullFirst = 0x3000, kFullLast = 0x30FF;

struct HalfForms {
    std::array<std::array<char16_t, 2>, kFullLast - kFullFirst + 1> forms{};
    HalfForms() {
        for (char16_t h = kHalfFirst; h <= kHalfLast; ++h)
            forms[kFullForms[h - kHalfFirst] - kFullFirst] = {h, 0};
        for (QChar base : kVoicedBases)
            forms[base.unicode() + 1 - kFullFirst] = {forms[base.unicode() - kFullFirst][0],
                                                      kVoicedMark};
        for (QChar base : kSemiVoicedBases)
            forms[base.unicode() + 2 - kFullFirst] = {forms[base.unicode() - kFullFirst][0],
                                                      kSemiVoicedMark};
        forms[kVu - kFullFirst] = {forms[kU - kFullFirst][0], kVoicedMark};
        forms[kIdeographicSpace - kFullFirst] = {u' ', 0};
    }
};

const HalfForms& halfForms() {
    static const HalfForms forms;
    return forms;
}

// The voiced and semi-voiced full-width letters of the half-width letters, 0 where none.
struct VoicedForms {
    std::array<char16_t, kHalfLast - kHalfFirst + 1> voiced{}, semiVoiced{};
    VoicedForms() {
        for (char16_t h = kHalfFirst; h <= kHalfLast; ++h) {
            const char16_t full = kFullForms[h - kHalfFirst];
            if (kVoicedBases.contains(QChar(full)))
                voiced[h - kHalfFirst] = full + 1;
            if (kSemiVoicedBases.contains(QChar(full)))
                semiVoiced[h - kHalfFirst] = full + 2;
            if (full == kU)
                voiced[h - kHalfFirst] = kVu;
        }
    }
};

const VoicedForms& voicedForms() {
    static const VoicedForms forms;
    return forms;
}

char16_t voicedForm(char16_t half, char16_t mark) {
    if (mark == kVoicedMark)
        return voicedForms().voiced[half - kHalfFirst];
    if (mark == kSemiVoicedMark)
        return voicedForms().semiVoiced[half - kHalfFirst];
    return 0;
}

// The common characters are mapped without branches (mixed text would mispredict them);
// only the half-width katakana, which may combine with a following mark, take a branch.
template <class Sink> void fullWidth(QStringView in, Sink& sink) {
    const qsizetype n = in.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = in[i].unicode();
        if (char16_t(c - kHalfFirst) <= kHalfLast - kHalfFirst) {
            const char16_t voiced = i + 1 < n ? voicedForm(c, in[i + 1].unicode()) : 0;
            sink.put(voiced ? voiced : kFullForms[c - kHalfFirst]);
            i += voiced ? 1 : 0;
            continue;
        }
        const char16_t shifted = char16_t(c + (char16_t(c - 0x21) < 0x5E ? kFullWidthOffset : 0));
        sink.put(c == 0x20 ? kIdeographicSpace : shifted);
    }
}

template <class Sink> void halfWidth(QStringView in, Sink& sink) {
    const HalfForms& half = halfForms();
    for (QChar qc : in) {
        const char16_t c = qc.unicode();
        if (char16_t(c - kFullFirst) <= kFullLast - kFullFirst && half.forms[c - kFullFirst][0]) {
            const auto& form = half.forms[c - kFullFirst];
            sink.put(form[0]);
            if (form[1])
                sink.put(form[1]);
            continue;
        }
        sink.put(char16_t(c - (char16_t(c - 0xFF01) < 0x5E ? kFullWidthOffset : 0)));
    }
}

} // namespace

void WidthMapping::toFullWidth(QStringView in, QString& out) {
    StringSink sink(out, in.size());
    fullWidth(in, sink);
}

void WidthMapping::toHalfWidth(QStringView in, QString& out) {
    StringSink sink(out, 2 * in.size());
    halfWidth(in, sink);
}

char16_t* WidthMapping::toFullWidth(QStringView in, char16_t* out) {
    RawSink sink(out);
    fullWidth(in, sink);
    return sink.end();
}

char16_t* WidthMapping::toHalfWidth(QStringView in, char16_t* out) {
    RawSink sink(out);
    halfWidth(in, sink);
    return sink.end();
}

QString WidthMapping::toFullWidth(QStringView in) {
    QString out;
    out.reserve(in.size());
    toFullWidth(in, out);
    return out;
}

QString WidthMapping::toHalfWidth(QStringView in) {
    QString out;
    out.reserve(in.size() + 8);
    toHalfWidth(in, out);
    return out;
}

} // namespace ornvale
