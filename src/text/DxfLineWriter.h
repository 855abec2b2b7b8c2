#pragma once

#include <QByteArrayView>
#include <QtGlobal>

#include <algorithm>
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

private:
    void writeSlow(QByteArrayView bytes);
    void deviceWrite(QByteArrayView bytes);

    QIODevice& m_device;
    std::vector<char> m_buffer;
    qsizetype m_used = 0;
    bool m_failed = false;
};

} // namespace ornvale
