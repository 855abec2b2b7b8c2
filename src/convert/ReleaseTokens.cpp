#include "ReleaseTokens.h"

#include <array>

namespace ornvale {

namespace {

using Tokens = std::array<const char16_t*, 4>;

enum class Generation { None, Lt2000, R2004, R2007 };

Generation generationOf(quint8 selectionCode) {
    switch (selectionCode) {
    case 3:
    case 4:
        return Generation::Lt2000;
    case 5:
    case 6:
    case 7:
    case 16:
    case 17:
    case 18:
        return Generation::R2004;
    case 21:
    case 41:
        return Generation::R2007;
    default:
        return Generation::None;
    }
}

QString pick(const Tokens& tokens, int index) {
    if (index < 0 || index >= static_cast<int>(tokens.size()))
        return {};
    return QString::fromUtf16(tokens[static_cast<std::size_t>(index)]);
}

} // namespace

QString dxfReleaseToken(quint8 selectionCode, int index) {
    switch (generationOf(selectionCode)) {
    case Generation::Lt2000:
        return pick({u"2000", u"R14", u"R13", u"R12"}, index);
    case Generation::R2004:
        return pick({u"2004", u"2000", u"R12", u""}, index);
    case Generation::R2007:
        return pick({u"2007", u"2004", u"2000", u"R12"}, index);
    case Generation::None:
        break;
    }
    return {};
}

QString dwgReleaseToken(quint8 selectionCode, int index) {
    switch (generationOf(selectionCode)) {
    case Generation::Lt2000:
        return pick({u"2000", u"R14", u"R13", u""}, index);
    case Generation::R2004:
        return pick({u"2004", u"2000", u"", u""}, index);
    case Generation::R2007:
        return pick({u"2007", u"2004", u"2000", u"R14"}, index);
    case Generation::None:
        break;
    }
    return {};
}

} // namespace ornvale
