#pragma once

#include <QIODevice>

namespace ornvale {

// Takes every byte written and keeps none: the output of a dry run, which goes through the
// whole rewrite without creating any file.
class DxfNullDevice : public QIODevice {
public:
    bool isSequential() const override { return true; }

protected:
    qint64 readData(char* data, qint64 maxSize) override {
        Q_UNUSED(data)
        Q_UNUSED(maxSize)
        return -1;
    }
    qint64 writeData(const char* data, qint64 size) override {
        Q_UNUSED(data)
        return size;
    }
};

} // namespace ornvale
