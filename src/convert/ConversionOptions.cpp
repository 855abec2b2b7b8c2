#include "ConversionOptions.h"

#include <array>

namespace ornvale {

namespace {

constexpr std::array<const char16_t*, kPurgeItemCount> kCodes = {
    u"A", u"B", u"LA", u"LT", u"SH", u"P", u"D", u"ST", u"M", u"T", u"R", u"MA", u"V"};

} // namespace

QList<PurgeItem> allPurgeItems() {
    QList<PurgeItem> items;
    for (int i = 0; i < kPurgeItemCount; ++i)
        items.append(static_cast<PurgeItem>(i));
    return items;
}

QString purgeItemCode(PurgeItem item) {
    return QString::fromUtf16(kCodes[static_cast<std::size_t>(item)]);
}

std::optional<PurgeItem> purgeItemFromCode(QStringView code) {
    for (int i = 0; i < kPurgeItemCount; ++i) {
        if (code == QStringView(kCodes[static_cast<std::size_t>(i)]))
            return static_cast<PurgeItem>(i);
    }
    return std::nullopt;
}

} // namespace ornvale
