#pragma once

#include "FileSystemProbe.h"

#include <QHash>
#include <QStringList>

namespace ornvale::test {

// A file system of the paths the test names; records every existence test in order.
class FakeFileSystemProbe : public FileSystemProbe {
public:
    QHash<QString, int> attributes; // path -> attribute value
    QStringList tested;

    void addFile(const QString& path, int value = FileAttribute::Archive) {
        attributes.insert(path, value);
    }
    bool exists(const QString& path) override {
        tested.append(path);
        return attributes.contains(path);
    }
    std::optional<int> attributeValue(const QString& path) override {
        const auto it = attributes.constFind(path);
        return it == attributes.cend() ? std::nullopt : std::optional<int>(*it);
    }
};

} // namespace ornvale::test
