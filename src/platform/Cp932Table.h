#pragma once

namespace ornvale::cp932 {

inline constexpr char16_t kNoCharacter = 0xFFFF;

// Lead bytes of two-byte sequences: 0x81-0x9F and 0xE0-0xFC.
constexpr bool isLeadByte(unsigned char byte) {
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}
constexpr bool isTrailByte(unsigned char byte) {
    return byte >= 0x40 && byte <= 0xFC && byte != 0x7F;
}
// Position of a lead byte among the 60 lead bytes, and of a trail byte among the 188 trail bytes.
constexpr int leadIndex(unsigned char lead) {
    return lead <= 0x9F ? lead - 0x81 : lead - 0xE0 + 31;
}
constexpr int trailIndex(unsigned char trail) {
    return trail < 0x7F ? trail - 0x40 : trail - 0x41;
}
inline constexpr int kLeadCount = 60;
inline constexpr int kTrailCount = 188;

// Microsoft's decoding of every byte and byte pair, kNoCharacter where a sequence is invalid
// (a lead byte alone among the single bytes).
extern const char16_t kSingleBytes[256];
extern const char16_t kPairs[kLeadCount * kTrailCount];

} // namespace ornvale::cp932
