#include "DxfLineReader.h"

#include <QIODevice>

#include <bit>
#include <cstring>
#include <string_view>

#if defined(__SSE2__) && !defined(ORNVALE_NO_SIMD)
#include <emmintrin.h>
#endif

namespace ornvale {

namespace {

#if defined(__SSE2__) && !defined(ORNVALE_NO_SIMD)
// The pattern's bytes from `from` on agree with the text at `at`. Patterns are short and most
// candidates differ early, so an inline loop beats a library call here.
bool matchesFrom(const char* at, const char* pattern, size_t from, size_t patternSize) {
    for (size_t k = from; k < patternSize; ++k) {
        if (at[k] != pattern[k])
            return false;
    }
    return true;
}
#endif

const char* findBytes(const char* data, size_t size, const char* pattern, size_t patternSize) {
    if (patternSize == 0 || size < patternSize)
        return nullptr;
    size_t at = 0;
#if defined(__SSE2__) && !defined(ORNVALE_NO_SIMD)
    // Sixteen places at a time: a place is a candidate when the pattern's first two and last
    // bytes are there. Faster than a library search for the short stretches between entities.
    const __m128i first = _mm_set1_epi8(pattern[0]);
    const __m128i second = _mm_set1_epi8(pattern[1]);
    const __m128i last = _mm_set1_epi8(pattern[patternSize - 1]);
    for (; patternSize >= 2 && at + patternSize - 1 + 16 <= size; at += 16) {
        const auto* block = reinterpret_cast<const __m128i*>(data + at);
        const auto* blockNext = reinterpret_cast<const __m128i*>(data + at + 1);
        const auto* blockEnd = reinterpret_cast<const __m128i*>(data + at + patternSize - 1);
        const __m128i firstTwo = _mm_and_si128(_mm_cmpeq_epi8(_mm_loadu_si128(block), first),
                                               _mm_cmpeq_epi8(_mm_loadu_si128(blockNext), second));
        unsigned mask = unsigned(_mm_movemask_epi8(
            _mm_and_si128(firstTwo, _mm_cmpeq_epi8(_mm_loadu_si128(blockEnd), last))));
        while (mask) {
            const size_t candidate = at + size_t(std::countr_zero(mask));
            if (matchesFrom(data + candidate, pattern, 2, patternSize - 1))
                return data + candidate;
            mask &= mask - 1;
        }
    }
#endif
    const size_t rest =
        std::string_view(data + at, size - at).find(std::string_view(pattern, patternSize));
    return rest == std::string_view::npos ? nullptr : data + at + rest;
}

// glibc's is faster than the portable one; other C libraries may not have it at all.
const char* findLastByte(const char* data, size_t size, char byte) {
#ifdef __GLIBC__
    return static_cast<const char*>(memrchr(data, byte, size));
#else
    const size_t at = std::string_view(data, size).rfind(byte);
    return at == std::string_view::npos ? nullptr : data + at;
#endif
}

} // namespace

DxfLineReader::DxfLineReader(QIODevice& device, qsizetype blockSize)
    : m_device(device), m_capacity(qMax<qsizetype>(blockSize, 16)),
      m_buffer(static_cast<size_t>(m_capacity + kSearchPadding)) {}

bool DxfLineReader::refill() {
    if (m_atEnd)
        return false;
    if (m_beforeRefill)
        m_beforeRefill();
    if (m_countingLines) {
        countLinesUpTo(m_begin);
        m_countedUpTo = 0; // where m_begin is about to be
    }
    if (m_begin > 0) {
        std::memmove(m_buffer.data(), m_buffer.data() + m_begin, size_t(m_end - m_begin));
        m_end -= m_begin;
        m_begin = 0;
    }
    const qsizetype room = m_capacity - m_end;
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

bool DxfLineReader::startsLine(qsizetype at) const {
    const char* base = m_buffer.data();
    if (at == m_begin || base[at - 1] == '\r')
        return true;
    // An LF is a line end only right after a CR.
    return base[at - 1] == '\n' && at - 1 > m_begin && base[at - 2] == '\r';
}

qsizetype DxfLineReader::lastCompleteLineEnd() const {
    const char* base = m_buffer.data();
    qsizetype end = m_end;
    while (end > m_begin) {
        const char* cr = findLastByte(base + m_begin, size_t(end - m_begin), '\r');
        if (!cr)
            break;
        const qsizetype at = cr - base;
        if (at + 1 < m_end)
            return at + 1 + (base[at + 1] == '\n' ? 1 : 0);
        if (m_atEnd)
            return m_end;
        end = at; // a CR at the very end: whether an LF follows is known only after a read
    }
    return m_begin;
}

bool DxfLineReader::skipLinesBefore(QByteArrayView literal, DxfLine& chunk) {
    if (m_end - m_begin < 4096 && !m_atEnd)
        refill();
    const char* base = m_buffer.data();
    char pattern[32];
    Q_ASSERT(literal.size() < qsizetype(sizeof pattern));
    const size_t patternSize = size_t(qMin<qsizetype>(literal.size(), 31)) + 1;
    std::memcpy(pattern, literal.data(), patternSize - 1);
    pattern[patternSize - 1] = '\r';
    qsizetype from = m_begin;
    qsizetype stop = m_end;
    while (from < m_end) {
        const char* found = findBytes(base + from, size_t(m_end - from), pattern, patternSize);
        if (!found)
            break;
        const qsizetype at = found - base;
        if (startsLine(at)) {
            stop = at;
            break;
        }
        from = at + 1;
    }
    if (stop == m_end && !m_atEnd)
        stop = lastCompleteLineEnd(); // a match may still begin in the unfinished tail
    if (stop == m_begin)
        return false;
    take(chunk, stop, stop, false);
    return true;
}

bool DxfLineReader::nextAtBufferEnd(DxfLine& line) {
    for (;;) {
        const char* base = m_buffer.data();
        const char* cr = findCarriageReturn(base + m_begin, base + m_end);
        if (cr != base + m_end) {
            const qsizetype at = cr - base;
            if (at + 1 < m_end) {
                take(line, at, at + (base[at + 1] == '\n' ? 2 : 1), false);
                return true;
            }
            // A CR at the end of the buffer: whether an LF follows is known only after a read.
            if (m_atEnd) {
                take(line, at, at + 1, false);
                return true;
            }
            if (m_begin == 0 && m_end == m_capacity) {
                // The line fills the whole block: hand out what precedes the CR as a piece.
                take(line, at, at, true);
                return true;
            }
        } else if (m_atEnd) {
            if (m_begin == m_end)
                return false;
            take(line, m_end, m_end, false); // a last line without a line end
            return true;
        } else if (m_begin == 0 && m_end == m_capacity) {
            take(line, m_end, m_end, true);
            return true;
        }
        refill();
    }
}

} // namespace ornvale
