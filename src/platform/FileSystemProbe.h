#pragma once

#include <QString>

#include <optional>

namespace ornvale {

// File attribute bits as Windows reports them; elsewhere they are synthesised.
namespace FileAttribute {
inline constexpr int ReadOnly = 1;
inline constexpr int Directory = 16;
inline constexpr int Archive = 32;
} // namespace FileAttribute

// The questions the program asks the file system about a path.
class FileSystemProbe {
public:
    virtual ~FileSystemProbe() = default;

    // True when a file or folder exists at the path.
    virtual bool exists(const QString& path) = 0;
    // The attribute value of the path (FileAttribute bits), nullopt when it does not exist.
    virtual std::optional<int> attributeValue(const QString& path) = 0;
};

// The real file system.
class SystemFileSystemProbe : public FileSystemProbe {
public:
    bool exists(const QString& path) override;
    std::optional<int> attributeValue(const QString& path) override;
};

} // namespace ornvale
