#pragma once

#include "DxfChangeObserver.h"
#include "DxfLineReader.h"
#include "DxfLongValue.h"
#include "DxfValueCodec.h"
#include "ThreadedByteWriter.h"
#include "ValueTransform.h"

#include <string>

namespace ornvale {

// The copy of one drawing: every line up to "ENTITIES" unchanged, then the main scan, which
// hands the group-1 value of each TEXT and MTEXT entity to the value transform (for MTEXT
// together with the "  3" chunks right in front of it). Only whole lines
// are compared, exactly, with a handful of literals; nothing else of the drawing is parsed.
// A line the pipeline leaves alone is written back byte for byte with its own line end.
class DxfStreamRewriter {
public:
    enum class Outcome { Done, NoEntities, ReadFailed, WriteFailed };

    // What the copy of the last drawing found that its outcome does not say, for a note on it.
    struct Notes {
        int longValuesLeft = 0;     // values too long to convert, written as read
        bool endedInEntity = false; // the input ended inside a TEXT or MTEXT entity
        bool endOfFileSeen = false; // the "  0" / "EOF" pair that ends a drawing
    };

    // Values go through the transform, unless it cannot change any value: then they are copied
    // without being decoded at all.
    DxfStreamRewriter(ValueTransform& transform, DxfEncoding encoding);

    Outcome rewrite(DxfLineReader& reader, ThreadedByteWriter& writer);
    const Notes& notes() const { return m_notes; }

    // Tells `observer` of every value changed from now on, naming `inputPath` as its file.
    void setChangeObserver(DxfChangeObserver* observer, const QString& inputPath = {}) {
        m_changes = observer;
        m_inputPath = inputPath;
    }

private:
    bool copyHeader();
    void mainScan();
    // Returns true when the scan stopped at a "  0" line, left in `line` for the main scan.
    bool entityScan(TextEntityKind kind, DxfLine& line);
    // Unchanged lines are not copied one by one: they lie next to each other in the reader's
    // buffer, so a run of them goes to the writer in one piece.
    void copy(const DxfLine& line) {
        extendRun(line.bytes());
        if (line.continues)
            copyRestOfLine();
    }
    void extendRun(QByteArrayView bytes) {
        if (bytes.data() != m_runEnd) {
            flushRun();
            m_runBegin = bytes.data();
        }
        m_runEnd = bytes.data() + bytes.size();
    }
    void copyRestOfLine();
    void flushRun();
    void writeValue(const DxfLine& line, TextEntityKind kind);
    bool takeChunkPair(DxfLine& line);
    bool takeLastPair(DxfLine& line, TextEntityKind kind);
    bool convertLongValue(const DxfLine& line, TextEntityKind kind, QStringView& result);
    void releaseLongValue();
    void beforeRefill();
    // Where a handle or layer is kept while changes are reported, else null.
    std::string* keptField(const DxfLine& codeLine) {
        if (codeLine.is("  5"))
            return &m_handle;
        if (codeLine.is("  8"))
            return &m_layer;
        return nullptr;
    }
    void reportChange(qint64 line, TextEntityKind kind, QStringView after);
    // Null when values are copied as they are.
    ValueTransform* m_transform = nullptr;
    DxfEncoding m_encoding;
    // Reused for every value, so converting one costs no allocation once they have grown.
    QString m_value;
    QByteArray m_encoded;
    DxfLineReader* m_reader = nullptr;
    ThreadedByteWriter* m_writer = nullptr;
    const char* m_runBegin = nullptr;
    const char* m_runEnd = nullptr;
    // The "  3" run in front of an MTEXT's "  1" pair, and whether the current run was too
    // long to hold and is being copied as read.
    DxfLongValue m_longValue;
    bool m_longValueGivenUp = false;
    // An MTEXT's "  1" line copied into the run while its value line is read.
    QByteArrayView m_valueCode;
    // Change reports: the current entity's handle and layer as read (copied for every text
    // entity, which std::string does in a third of QByteArray's time), the line of the first
    // part of a long value, and room for decoding.
    DxfChangeObserver* m_changes = nullptr;
    QString m_inputPath;
    std::string m_handle;
    std::string m_layer;
    qint64 m_longValueLine = 0;
    QString m_handleText;
    QString m_layerText;
    Notes m_notes;
};

} // namespace ornvale
