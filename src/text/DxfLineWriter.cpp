#include "DxfLineWriter.h"

#include <QIODevice>

namespace ornvale {

DxfLineWriter::DxfLineWriter(QIODevice& device, qsizetype bufferSize)
    : m_device(device), m_buffer(static_cast<size_t>(qMax<qsizetype>(bufferSize, 16))) {}

void DxfLineWriter::deviceWrite(QByteArrayView bytes) {
    if (m_failed || bytes.isEmpty())
        return;
    qsizetype done = 0;
    while (done < bytes.size()) {
        const qint64 written = m_device.write(bytes.data() + done, bytes.size() - done);
        if (written <= 0) {
            m_failed = true; // disk full, device gone: the caller discards the output
            return;
        }
        done += written;
    }
    m_written += done;
    if (m_writeHook)
        m_writeHook(m_written);
}

void DxfLineWriter::writeSlow(QByteArrayView bytes) {
    flush();
    if (bytes.size() >= qsizetype(m_buffer.size())) {
        deviceWrite(bytes);
        return;
    }
    std::copy(bytes.begin(), bytes.end(), m_buffer.data());
    m_used = bytes.size();
}

bool DxfLineWriter::flush() {
    deviceWrite(QByteArrayView(m_buffer.data(), m_used));
    m_used = 0;
    return !m_failed;
}

} // namespace ornvale
