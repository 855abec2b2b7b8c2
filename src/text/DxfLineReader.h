#pragma once

#include <QByteArrayView>
#include <QtGlobal>

#include <functional>
#include <vector>

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
    bool is(QByteArrayView literal) const { return !continues && text == literal; }
};

// Splits a stream into lines with the drawing line rule: a line ends at CR, an LF right after
// that CR belongs to the line end, an LF anywhere else is an ordinary character. Reads large
// blocks and searches them with memchr, so the memory used is one block whatever the file size;
// a line longer than a block comes out in pieces.
class DxfLineReader {
public:
    static constexpr qsizetype kDefaultBlockSize = qsizetype(1) << 20;

    explicit DxfLineReader(QIODevice& device, qsizetype blockSize = kDefaultBlockSize);

    // The next line or piece; false at the end of the input or after a read error.
    bool next(DxfLine& line);

    bool failed() const { return m_failed; }
    qint64 bytesRead() const { return m_bytesRead; }
    // Called after every block read with the total number of bytes read so far.
    void setBlockHook(std::function<void(qint64)> hook) { m_blockHook = std::move(hook); }

private:
    // Moves the unread bytes to the front and reads more; false when nothing more came.
    bool refill();
    DxfLine take(qsizetype textEnd, qsizetype lineEnd, bool continues);

    QIODevice& m_device;
    std::vector<char> m_buffer;
    qsizetype m_begin = 0; // first unread byte
    qsizetype m_end = 0;   // one past the last byte in the buffer
    qint64 m_bytesRead = 0;
    bool m_atEnd = false;
    bool m_failed = false;
    std::function<void(qint64)> m_blockHook;
};

} // namespace ornvale
