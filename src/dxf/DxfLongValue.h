#pragma once

#include "DxfValueCodec.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringView>

namespace ornvale {

class ThreadedByteWriter;

// A long MTEXT value: AutoCAD writes its first 250-character chunks as "  3" pairs in front of
// the "  1" pair with the rest. The "  3" lines are held here, exactly as read, until the pair
// after them shows whether they belong to such a value; the conversions then see the value
// whole, so a formatting code cut by a chunk boundary stays one code. A changed value is cut
// into chunks again, however many it now needs.
class DxfLongValue {
public:
    // The lines held at most; a longer run is written as read, so memory stays bounded.
    static constexpr qsizetype kMaxBytes = qsizetype(1) << 20;
    // The chunk length AutoCAD reads back, in UTF-16 code units.
    static constexpr qsizetype kChunkUnits = 250;

    bool isEmpty() const { return m_lines.isEmpty(); }
    bool hasParts() const { return !m_parts.isEmpty(); }
    // The lines held, as read.
    QByteArrayView lines() const { return m_lines; }
    void clear() {
        m_lines.resize(0);
        m_parts.resize(0);
    }

    // False when the line would take the run past kMaxBytes; nothing is added then.
    bool addCodeLine(QByteArrayView bytes);
    bool addPart(QByteArrayView text, QByteArrayView end);
    // True when a last part of `size` bytes still fits.
    bool fits(qsizetype size) const { return m_lines.size() + size <= kMaxBytes; }

    // The parts held, then `last`, decoded one by one; false when any of them does not decode.
    bool decodeInto(QByteArrayView last, DxfEncoding encoding, QString& value);

    // Writes `value` as chunks of at most kChunkUnits units, never cutting a surrogate pair:
    // every chunk but the last as a "  3" pair, the last as the "  1" pair, each line ending
    // with `lineEnd`.
    static void writeChunks(QStringView value, QByteArrayView lineEnd, DxfEncoding encoding,
                            ThreadedByteWriter& writer, QByteArray& scratch);

private:
    struct Part {
        qsizetype offset;
        qsizetype size;
    };
    QByteArray m_lines;
    QList<Part> m_parts; // where the group-3 values lie in m_lines
    QString m_decoded;   // reused for each part
};

} // namespace ornvale
