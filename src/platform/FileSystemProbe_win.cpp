#include "FileSystemProbe.h"

#include <windows.h>

namespace ornvale {

namespace {

DWORD attributesOf(const QString& path) {
    if (path.isEmpty())
        return INVALID_FILE_ATTRIBUTES;
    return GetFileAttributesW(reinterpret_cast<const wchar_t*>(path.utf16()));
}

} // namespace

bool SystemFileSystemProbe::exists(const QString& path) {
    return attributesOf(path) != INVALID_FILE_ATTRIBUTES;
}

std::optional<int> SystemFileSystemProbe::attributeValue(const QString& path) {
    const DWORD attributes = attributesOf(path);
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return std::nullopt;
    return static_cast<int>(attributes);
}

} // namespace ornvale
