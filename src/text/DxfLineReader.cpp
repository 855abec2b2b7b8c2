#include "DxfLineReader.h"

#include <QIODevice>

#include <cstring>

namespace ornvale {

DxfLineReader::DxfLineReader(QIODevice& device, qsizetype blockSize)
    : m_device(device), m_buffer(static_cast<size_t>(qMax<qsizetype>(blockSize, 16))) {}

bool DxfLineReader::refill() {
    if (m_atEnd)
        return false;
    if (m_begin > 0) {
        std::memmove(m_buffer.data(), m_buffer.data() + m_begin, size_t(m_end - m_begin));
        m_end -= m_begin;
        m_begin = 0;
    }
    const qsizetype room = qsizetype(m_buffer.size()) - m_end;
    if (room == 0)
        return false;
    const qint64 got = m_device.read(m_buffer.data() + m_end, room);
    if (got <= 0) {
        m_atEnd = true;
        m_failed = got < 0;
        return false;
    }
    m_end += got;
    m_bytesRead += got;
    if (m_blockHook)
        m_blockHook(m_bytesRead);
    return true;
}

DxfLine DxfLineReader::take(qsizetype textEnd, qsizetype lineEnd, bool continues) {
    const char* base = m_buffer.data();
    DxfLine line;
    line.text = QByteArrayView(base + m_begin, textEnd - m_begin);
    line.end = QByteArrayView(base + textEnd, lineEnd - textEnd);
    line.continues = continues;
    m_begin = lineEnd;
    return line;
}

bool DxfLineReader::next(DxfLine& line) {
    for (;;) {
        const char* base = m_buffer.data();
        const auto* cr =
            static_cast<const char*>(std::memchr(base + m_begin, '\r', size_t(m_end - m_begin)));
        if (cr) {
            const qsizetype at = cr - base;
            if (at + 1 < m_end) {
                line = take(at, at + (base[at + 1] == '\n' ? 2 : 1), false);
                return true;
            }
            // A CR at the end of the buffer: whether an LF follows is known only after a read.
            if (m_atEnd) {
                line = take(at, at + 1, false);
                return true;
            }
            if (m_begin == 0 && m_end == qsizetype(m_buffer.size())) {
                // The line fills the whole block: hand out what precedes the CR as a piece.
                line = take(at, at, true);
                return true;
            }
        } else if (m_atEnd) {
            if (m_begin == m_end)
                return false;
            line = take(m_end, m_end, false); // a last line without a line end
            return true;
        } else if (m_begin == 0 && m_end == qsizetype(m_buffer.size())) {
            line = take(m_end, m_end, true);
            return true;
        }
        refill();
    }
}

} // namespace ornvale
