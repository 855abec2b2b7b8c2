#include "WidthMapping.h"

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

char16_t voicedForm(char16_t full, char16_t mark) {
    if (mark == kVoicedMark) {
        if (full == kU)
            return kVu;
        return kVoicedBases.contains(QChar(full)) ? full + 1 : 0;
    }
    if (mark == kSemiVoicedMark)
        return kSemiVoicedBases.contains(QChar(full)) ? full + 2 : 0;
    return 0;
}

} // namespace

void WidthMapping::toFullWidth(QStringView in, QString& out) {
    const qsizetype n = in.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = in[i].unicode();
        if (c > 0x20 && c < 0x7F) {
            out.append(QChar(char16_t(c + kFullWidthOffset)));
        } else if (c == 0x20) {
            out.append(QChar(kIdeographicSpace));
        } else if (c >= kHalfFirst && c <= kHalfLast) {
            const char16_t full = kFullForms[c - kHalfFirst];
            const char16_t voiced = i + 1 < n ? voicedForm(full, in[i + 1].unicode()) : 0;
            out.append(QChar(voiced ? voiced : full));
            i += voiced ? 1 : 0;
        } else {
            out.append(QChar(c));
        }
    }
}

void WidthMapping::toHalfWidth(QStringView in, QString& out) {
    const HalfForms& half = halfForms();
    for (QChar qc : in) {
        const char16_t c = qc.unicode();
        if (c >= 0xFF01 && c <= 0xFF5E) {
            out.append(QChar(char16_t(c - kFullWidthOffset)));
        } else if (c >= kFullFirst && c <= kFullLast && half.forms[c - kFullFirst][0]) {
            const auto& form = half.forms[c - kFullFirst];
            out.append(QChar(form[0]));
            if (form[1])
                out.append(QChar(form[1]));
        } else {
            out.append(qc);
        }
    }
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
