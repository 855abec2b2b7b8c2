#include "ReleaseTokens.h"

#include "ProductTable.h"

namespace ornvale {

namespace {

QString pick(const std::array<QString, 4>& tokens, int index) {
    if (index < 0 || index >= static_cast<int>(tokens.size()))
        return {};
    return tokens[static_cast<std::size_t>(index)];
}

} // namespace

QString dxfReleaseToken(quint8 selectionCode, int index) {
    const ProductRow* product = productRow(selectionCode);
    return product ? pick(product->dxfReleaseTokens, index) : QString();
}

QString dwgReleaseToken(quint8 selectionCode, int index) {
    const ProductRow* product = productRow(selectionCode);
    return product ? pick(product->dwgReleaseTokens, index) : QString();
}

} // namespace ornvale
