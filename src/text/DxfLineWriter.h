#pragma once

#include <QByteArrayView>
#include <QtGlobal>

#include <algorithm>
#include <functional>
#include <vector>

class QIODevice;

namespace ornvale {

// Collects output bytes in its own large buffer and hands them to the device in big writes:
// one device write per line would cost several times the copy itself.
class DxfLineWriter {
public:
    static constexpr qsizetype kDefaultBufferSize = qsizetype(1) << 20;

    explicit DxfLineWriter(QIODevice& device, qsizetype bufferSize = kDefaultBufferSize);

    void write(QByteArrayView bytes) {
        if (bytes.size() <= qsizetype(m_buffer.size()) - m_used) {
            std::copy(bytes.begin(), bytes.end(), m_buffer.data() + m_used);
            m_used += bytes.size();
        } else {
            writeSlow(bytes);
        }
    }
    // Hands everything buffered to the device; false once any write has failed.
    bool flush();
    bool failed() const { return m_failed; }
    qint64 bytesWritten() const { return m_written; }
    // Called after every write to the device with the total number of bytes written so far.
    void setWriteHook(std::function<void(qint64)> hook) { m_writeHook = std::move(hook); }

private:
    void writeSlow(QByteArrayView bytes);
    void deviceWrite(QByteArrayView bytes);

    QIODevice& m_device;
    std::vector<char> m_buffer;
    qsizetype m_used = 0;
    bool m_failed = false;
    qint64 m_written = 0;
    std::function<void(qint64)> m_writeHook;
};

} // namespace ornvale
