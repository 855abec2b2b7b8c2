#pragma once

#include <QByteArrayView>
#include <QtGlobal>

#include <algorithm>
#include <bit>
#include <cstring>
#include <functional>
#include <vector>

#if defined(__SSE2__) && !defined(ORNVALE_NO_SIMD)
#include <emmintrin.h>
#endif

class QIODevice;

namespace ornvale {

// One line of a drawing, or one piece of a line longer than the reader's block. The views point
// into the reader's buffer and stay valid only until the next call of next().
struct DxfLine {
    QByteArrayView text;    // without the line end
    QByteArrayView end;     // "\r\n", "\r", or empty for a last line without one (or a piece)
    bool continues = false; // more of this line follows in the next piece

    // The bytes exactly as read: text and end lie next to each other in the buffer.
    QByteArrayView bytes() const { return QByteArrayView(text.data(), text.size() + end.size()); }
    // A whole-line, case-sensitive comparison; a piece of an over-long line never matches.
    // Runs for every line, so it compares a known length inline.
    template <size_t N> bool is(const char (&literal)[N]) const {
        if (continues || text.size() != qsizetype(N - 1))
            return false;
        for (size_t i = 0; i + 1 < N; ++i) { // unrolled for the short literals used
            if (text.data()[i] != literal[i])
                return false;
        }
        return true;
    }
};

// Splits a stream into lines with the drawing line rule: a line ends at CR, an LF right after
// that CR belongs to the line end, an LF anywhere else is an ordinary character. Reads large
// blocks and searches them for CR, so the memory used is one block whatever the file size;
// a line longer than a block comes out in pieces.
class DxfLineReader {
public:
    static constexpr qsizetype kDefaultBlockSize = qsizetype(1) << 20;

    explicit DxfLineReader(QIODevice& device, qsizetype blockSize = kDefaultBlockSize);

    // The next line or piece; false at the end of the input or after a read error. The usual
    // case, a whole line in the buffer with the byte after its CR there too, is inline.
    bool next(DxfLine& line) {
        const char* base = m_buffer.data();
        const char* cr = findCarriageReturn(base + m_begin, base + m_end);
        const qsizetype at = cr - base;
        if (at + 1 >= m_end)
            return nextAtBufferEnd(line);
        take(line, at, at + (base[at + 1] == '\n' ? 2 : 1), false);
        return true;
    }

    // Passes over whole lines up to the next line that is exactly `literal`, handing them out
    // as one chunk (text only, no line end of its own). False when no line can be passed
    // over: the next line is such a line, or it is incomplete in the buffer, or the input is
    // exhausted; next() then goes on line by line. Lets the driver skip the many lines between
    // entities with one search instead of one per line.
    bool skipLinesBefore(QByteArrayView literal, DxfLine& chunk);

    bool failed() const { return m_failed; }
    qint64 bytesRead() const { return m_bytesRead; }
    // Called after every block read with the total number of bytes read so far.
    void setBlockHook(std::function<void(qint64)> hook) { m_blockHook = std::move(hook); }
    // Called before the buffer is rearranged, which ends the life of every view handed out.
    void setBeforeRefill(std::function<void()> hook) { m_beforeRefill = std::move(hook); }

    // Line numbers, for reports that name lines. Off unless asked for: counting passes over
    // the bytes once more, though only up to the lines asked about and at each refill.
    void setCountingLines(bool on) { m_countingLines = on; }
    // The 1-based number of the line that starts at `at`: a position in a line handed out
    // since the last refill, and no earlier than any position asked about before.
    qint64 lineNumberAt(const char* at) {
        countLinesUpTo(at - m_buffer.data());
        return m_linesBefore + 1;
    }

private:
    // The first CR in [from, end), or `end`. Reads whole 16-byte groups, so it may look at up
    // to 15 bytes past `end`: the buffer has that much room behind its last byte. Most lines
    // are a few bytes long, and one inline step finds their end where a library call would
    // cost more than the search.
    static const char* findCarriageReturn(const char* from, const char* end) {
#if defined(__SSE2__) && !defined(ORNVALE_NO_SIMD)
        const __m128i cr = _mm_set1_epi8('\r');
        for (; from < end; from += 16) {
            const auto* group = reinterpret_cast<const __m128i*>(from);
            const unsigned mask =
                unsigned(_mm_movemask_epi8(_mm_cmpeq_epi8(_mm_loadu_si128(group), cr)));
            if (mask) {
                const char* at = from + std::countr_zero(mask);
                return at < end ? at : end;
            }
        }
        return end;
#else
        const auto* cr = static_cast<const char*>(std::memchr(from, '\r', size_t(end - from)));
        return cr ? cr : end;
#endif
    }
    // next() when no CR with a byte after it is in the buffer: refills, or hands out a last
    // line, a piece of an over-long line, or nothing at the end.
    bool nextAtBufferEnd(DxfLine& line);
    // Moves the unread bytes to the front and reads more; false when nothing more came.
    bool refill();
    bool startsLine(qsizetype at) const;
    // The end of the last line that ends inside the buffer (its line end known whole).
    qsizetype lastCompleteLineEnd() const;
    // Fills the caller's line field by field: building a temporary and copying it costs a
    // store-forwarding stall on every line.
    void take(DxfLine& line, qsizetype textEnd, qsizetype lineEnd, bool continues) {
        const char* base = m_buffer.data();
        line.text = QByteArrayView(base + m_begin, textEnd - m_begin);
        line.end = QByteArrayView(base + textEnd, lineEnd - textEnd);
        line.continues = continues;
        m_begin = lineEnd;
    }

    // Adds the line ends in [m_countedUpTo, to) to m_linesBefore. A line ends at a CR. Counted
    // in runs of 240 bytes into a byte-sized count, which the compiler keeps in byte lanes of
    // whole vector groups; a count of the whole range widens every byte to 64 bits and takes
    // five times as long.
    void countLinesUpTo(qsizetype to) {
        const char* at = m_buffer.data() + m_countedUpTo;
        const char* const end = m_buffer.data() + to;
        while (at < end) {
            const char* const runEnd = at + qMin<qsizetype>(end - at, 240);
            unsigned char run = 0;
            for (; at < runEnd; ++at)
                run += *at == '\r' ? 1 : 0;
            m_linesBefore += run;
        }
        m_countedUpTo = to;
    }

    // Room behind the last byte for searches that read whole 16-byte groups.
    static constexpr qsizetype kSearchPadding = 16;

    QIODevice& m_device;
    qsizetype m_capacity; // the block size: bytes the buffer holds at most
    std::vector<char> m_buffer;
    qsizetype m_begin = 0; // first unread byte
    qsizetype m_end = 0;   // one past the last byte in the buffer
    qint64 m_bytesRead = 0;
    bool m_atEnd = false;
    bool m_failed = false;
    std::function<void(qint64)> m_blockHook;
    std::function<void()> m_beforeRefill;
    bool m_countingLines = false;
    qint64 m_linesBefore = 0;    // line ends before m_countedUpTo
    qsizetype m_countedUpTo = 0; // a buffer position
};

} // namespace ornvale
